#include "DialogButtons.h"
#include "LogCapture.h"
#include "ModalDriver.h"
#include "TempDir.h"

#include <joxgui/FileDirChooser.h>
#include <joxgui/ParameterWidgetCheck.h>
#include <joxgui/ParameterWidgetCombo.h>
#include <joxgui/ParameterWidgetPathSelection.h>
#include <joxgui/ParameterWidgetReadOnly.h>
#include <joxgui/ParameterWidgetSliderSpinGradient.h>
#include <joxgui/ParameterWidgetSliderSpinMonochrome.h>
#include <joxgui/ParameterWidgetSpin.h>
#include <joxgui/SliderWidget.h>
#include <joxgui/SynchronizableContainer.h>
#include <joxcore/AbstractContainer.h>
#include <joxraw/ParameterPath.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace JoxGui;
using JoxCore::AbstractContainer;
using joxguitest::ClickDialogButton;
using joxguitest::ModalDriver;
using Values = QList<QVariant>;

namespace {

// A real container that also records what reaches SetState.
class RecordingContainer : public AbstractContainer
{
public:
    using AbstractContainer::SetState;
    bool SetState(const QString& rName, int state, const Values& rValues) override
    {
        mCalls.append({rName, rValues});
        return AbstractContainer::SetState(rName, state, rValues);
    }
    bool SetState(const QString& rName, int state, const QVariant& rValue, int index) override
    {
        mCalls.append({rName, Values{rValue}});
        return AbstractContainer::SetState(rName, state, rValue, index);
    }
    QList<QPair<QString, Values>> mCalls;
};

class BindingTest : public ::testing::Test
{
protected:
    void Type(QLineEdit* pEdit, const QString& rText)
    {
        pEdit->setFocus();
        pEdit->selectAll();
        QTest::keyClicks(pEdit, rText);
        QTest::keyClick(pEdit, Qt::Key_Return);
    }
    QVariant Current(const QString& rName) { return mContainer.GetState(rName, 0).value(0); }

    LogCapture mLog{"AbstractContainer"};
    RecordingContainer mContainer;
    QWidget mWindow;
};

TEST_F(BindingTest, WidgetsAndContainerStayInStep)
{
    mContainer.SetState(QStringLiteral("clip/name"), 0, QStringLiteral("intro"), -1);
    mContainer.SetState(QStringLiteral("clip/count"), 0, 3, -1);
    mContainer.SetState(QStringLiteral("clip/loop"), 0, false, -1);
    mContainer.SetState(QStringLiteral("clip/gain"), 0, 10, -1);
    mContainer.SetState(QStringLiteral("clip/file"), 0, QStringLiteral("/a"), -1);
    auto* pName = new QLineEdit(&mWindow);
    auto* pCount = new QSpinBox(&mWindow);
    auto* pLoop = new QCheckBox(&mWindow);
    auto* pGain = new QSlider(&mWindow);
    auto* pFile = new CustomWidgets::FileDirChooser(QStringLiteral("File"), QFileDialog::AnyFile, &mWindow);
    auto* pTitle = new QLabel(&mWindow);
    mWindow.show();
    SynchronizableContainer sync(&mContainer);
    sync.Bind(QStringLiteral("clip/name"), pName);
    sync.Bind(QStringLiteral("clip/name"), pTitle);
    sync.Bind(QStringLiteral("clip/count"), pCount);
    sync.Bind(QStringLiteral("clip/loop"), pLoop);
    sync.Bind(QStringLiteral("clip/gain"), pGain);
    sync.Bind(QStringLiteral("clip/file"), pFile);
    EXPECT_EQ(pName->text(), QStringLiteral("intro"));
    EXPECT_EQ(pTitle->text(), QStringLiteral("intro"));
    EXPECT_EQ(pCount->value(), 3);
    EXPECT_EQ(pGain->value(), 10);
    EXPECT_EQ(pFile->GetLineEdit()->text(), QStringLiteral("/a"));

    // Widgets to the container.
    Type(pName, QStringLiteral("outro"));
    pCount->setValue(7);
    pLoop->setChecked(true);
    pGain->setValue(42);
    pFile->GetLineEdit()->setText(QStringLiteral("/b"));
    EXPECT_EQ(Current(QStringLiteral("clip/name")), QVariant(QStringLiteral("outro")));
    EXPECT_EQ(Current(QStringLiteral("clip/count")), QVariant(7));
    EXPECT_EQ(Current(QStringLiteral("clip/loop")), QVariant(true));
    EXPECT_EQ(Current(QStringLiteral("clip/gain")), QVariant(42));
    EXPECT_EQ(Current(QStringLiteral("clip/file")), QVariant(QStringLiteral("/b")));
    QTest::qWait(0);
    EXPECT_EQ(pTitle->text(), QStringLiteral("outro")); // the other widget of the key follows

    // The container to the widgets.
    QSignalSpy changed(&sync, qOverload<const QString&>(&SynchronizableContainer::Changed));
    QSignalSpy countSignals(pCount, &QSpinBox::valueChanged);
    mContainer.mCalls.clear();
    mContainer.SetState(QStringLiteral("clip/count"), 0, 12, -1);
    mContainer.SetState(QStringLiteral("clip/loop"), 0, false, -1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return changed.count() == 2; }, 2000));
    EXPECT_EQ(pCount->value(), 12);
    EXPECT_FALSE(pLoop->isChecked());
    EXPECT_EQ(countSignals.count(), 0);
    EXPECT_EQ(mContainer.mCalls.size(), 2); // no echo back into the container
}

TEST_F(BindingTest, ChangeFromAnUnboundWidgetStoresNothing)
{
    SynchronizableContainer sync(&mContainer);
    QLineEdit stray;
    QObject::connect(&stray, SIGNAL(editingFinished()), &sync, SLOT(Changed()));
    mLog.Clear();
    emit stray.editingFinished();
    EXPECT_TRUE(mContainer.mCalls.isEmpty());
    ASSERT_EQ(mLog.Messages().size(), 1u);
    EXPECT_EQ(mLog.Messages()[0],
              "GetAtom(\"\") could not create standalone atom (atom could not be found).");
}

TEST_F(BindingTest, RadioButtonsStandForAllowedValues)
{
    mContainer.SetState(QStringLiteral("mode"), 0, QStringLiteral("a"), -1);
    mContainer.SetAtomParameter(AbstractContainer::ParameterAllowedValues, QStringLiteral("mode"),
                                Values{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    QList<QRadioButton*> buttons;
    for (int i = 0; i < 3; ++i)
        buttons << new QRadioButton(&mWindow);
    SynchronizableContainer sync(&mContainer);
    sync.BindRadioButtons(QStringLiteral("mode"), buttons);
    EXPECT_TRUE(buttons[0]->isChecked());
    mContainer.mCalls.clear();
    buttons[1]->setChecked(true);
    ASSERT_FALSE(mContainer.mCalls.isEmpty());
    EXPECT_EQ(mContainer.mCalls.last(), qMakePair(QStringLiteral("mode"), Values{QStringLiteral("b")}));
    EXPECT_EQ(Current(QStringLiteral("mode")), QVariant(QStringLiteral("b")));
}

TEST_F(BindingTest, ComboBoxTextsDataAndLengthCut)
{
    mContainer.SetState(QStringLiteral("pick"), 0, QStringLiteral("x"), -1);
    mContainer.SetAtomParameter(AbstractContainer::ParameterAllowedValues, QStringLiteral("pick"),
                                Values{QStringLiteral("x"), QStringLiteral("y")});
    mContainer.SetAtomParameter(AbstractContainer::ParameterMaxLength, QStringLiteral("pick"), 4);
    mContainer.SetState(QStringLiteral("free"), 0, QStringLiteral("init"), -1);
    mContainer.SetAtomParameter(AbstractContainer::ParameterMaxLength, QStringLiteral("free"), 4);
    mContainer.SetState(QStringLiteral("coded"), 0, QStringLiteral("1"), -1);

    auto* pPick = new QComboBox(&mWindow);
    pPick->setEditable(true);
    pPick->addItems({QStringLiteral("x"), QStringLiteral("y")});
    auto* pFree = new QComboBox(&mWindow);
    pFree->setEditable(true);
    auto* pCoded = new QComboBox(&mWindow);
    pCoded->addItem(QStringLiteral("one"), QStringLiteral("1"));
    pCoded->addItem(QStringLiteral("plain")); // no user data
    mWindow.show();
    SynchronizableContainer sync(&mContainer);
    sync.Bind(QStringLiteral("pick"), pPick);
    sync.Bind(QStringLiteral("free"), pFree);
    sync.Bind(QStringLiteral("coded"), pCoded);
    mContainer.mCalls.clear();

    Type(pPick->lineEdit(), QStringLiteral("abcdefg"));
    ASSERT_FALSE(mContainer.mCalls.isEmpty());
    EXPECT_EQ(mContainer.mCalls.last().second, Values{QStringLiteral("abcd")});
    Type(pPick->lineEdit(), QStringLiteral("x"));
    EXPECT_EQ(mContainer.mCalls.last().second, Values{QStringLiteral("x")});

    // A free-text atom gets the cut text too, and keeps it.
    Type(pFree->lineEdit(), QStringLiteral("abcdefg"));
    EXPECT_EQ(Current(QStringLiteral("free")), QVariant(QStringLiteral("abcd")));

    QTest::keyClick(pCoded, Qt::Key_Down);
    EXPECT_EQ(Current(QStringLiteral("coded")), QVariant(QStringLiteral("plain")));
    QTest::keyClick(pCoded, Qt::Key_Up);
    EXPECT_EQ(Current(QStringLiteral("coded")), QVariant(QStringLiteral("1")));
}

TEST_F(BindingTest, DeletedWidgetLeavesItsBindings)
{
    mContainer.SetState(QStringLiteral("clip/name"), 0, QStringLiteral("intro"), -1);
    mContainer.SetState(QStringLiteral("clip/mode"), 0, QStringLiteral("a"), -1);
    mContainer.SetAtomParameter(AbstractContainer::ParameterAllowedValues, QStringLiteral("clip/mode"),
                                Values{QStringLiteral("a"), QStringLiteral("b")});
    auto* pKept = new QLineEdit(&mWindow);
    auto* pGone = new QLineEdit(&mWindow);
    auto* pGoneCombo = new QComboBox(&mWindow);
    pGoneCombo->setEditable(true);
    QList<QRadioButton*> buttons{new QRadioButton(&mWindow), new QRadioButton(&mWindow)};
    SynchronizableContainer sync(&mContainer);
    sync.Bind(QStringLiteral("clip/name"), pGone);
    sync.Bind(QStringLiteral("clip/name"), pGoneCombo);
    sync.Bind(QStringLiteral("clip/name"), pKept);
    sync.BindRadioButtons(QStringLiteral("clip/mode"), buttons);
    delete pGone;
    delete pGoneCombo;
    delete buttons.takeFirst();

    // A change in the model reaches only the widgets still there.
    QSignalSpy changed(&sync, qOverload<const QString&>(&SynchronizableContainer::Changed));
    mContainer.SetState(QStringLiteral("clip/name"), 0, QStringLiteral("outro"), -1);
    mContainer.SetState(QStringLiteral("clip/mode"), 0, QStringLiteral("b"), -1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() == 2; }, 2000));
    EXPECT_EQ(pKept->text(), QStringLiteral("outro"));
    // The button left still stands for "b", not for the place it moved to.
    EXPECT_TRUE(buttons[0]->isChecked());
    mContainer.SetState(QStringLiteral("clip/mode"), 0, QStringLiteral("a"), -1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() == 3; }, 2000));
    EXPECT_FALSE(buttons[0]->isChecked());
    buttons[0]->setChecked(true);
    EXPECT_EQ(Current(QStringLiteral("clip/mode")), QVariant(QStringLiteral("b")));

    // So does an edit of the widget that is left.
    pKept->setText(QStringLiteral("credits"));
    emit pKept->editingFinished();
    EXPECT_EQ(Current(QStringLiteral("clip/name")), QVariant(QStringLiteral("credits")));
    EXPECT_EQ(sync.WidgetBindingName(pKept), QStringLiteral("clip/name"));
    EXPECT_EQ(sync.WidgetBindingName(buttons[0]), QStringLiteral("clip/mode"));
}

TEST_F(BindingTest, OnlyTheOperatorsEditsReachTheModel)
{
    mContainer.SetState(QStringLiteral("pick"), 0, QStringLiteral("y"), -1);
    mContainer.SetState(QStringLiteral("count"), 0, 500, -1);
    mContainer.SetState(QStringLiteral("gain"), 0, 80, -1);
    auto* pPick = new QComboBox(&mWindow);
    auto* pCount = new QSpinBox(&mWindow);
    pCount->setRange(0, 1000);
    auto* pGain = new QSlider(&mWindow);
    pGain->setRange(0, 100);
    SynchronizableContainer sync(&mContainer);
    sync.Bind(QStringLiteral("pick"), pPick);
    sync.Bind(QStringLiteral("count"), pCount);
    sync.Bind(QStringLiteral("gain"), pGain);
    ASSERT_EQ(pCount->value(), 500);
    mContainer.mCalls.clear();

    // Filling and clearing the list, and ranges that no longer hold the
    // model's value, change the widgets but are no edits.
    pPick->addItems({QStringLiteral("x"), QStringLiteral("y")});
    pPick->clear();
    pPick->addItems({QStringLiteral("x"), QStringLiteral("y")});
    pCount->setRange(0, 100);
    pGain->setRange(0, 50);
    EXPECT_EQ(pCount->value(), 100);
    EXPECT_EQ(pGain->value(), 50);
    EXPECT_TRUE(mContainer.mCalls.isEmpty());
    EXPECT_EQ(Current(QStringLiteral("pick")), QVariant(QStringLiteral("y")));
    EXPECT_EQ(Current(QStringLiteral("count")), QVariant(500));
    EXPECT_EQ(Current(QStringLiteral("gain")), QVariant(80));

    // What the operator does is written, the range's end included.
    QTest::keyClick(pPick, Qt::Key_Down);
    EXPECT_EQ(Current(QStringLiteral("pick")), QVariant(QStringLiteral("y")));
    QTest::keyClick(pPick, Qt::Key_Up);
    EXPECT_EQ(Current(QStringLiteral("pick")), QVariant(QStringLiteral("x")));
    QTest::keyClick(pCount, Qt::Key_Down);
    EXPECT_EQ(Current(QStringLiteral("count")), QVariant(99));
    QTest::keyClick(pCount, Qt::Key_Up);
    EXPECT_EQ(Current(QStringLiteral("count")), QVariant(100));
    QTest::keyClick(pGain, Qt::Key_Down);
    EXPECT_EQ(Current(QStringLiteral("gain")), QVariant(49));
}

TEST_F(BindingTest, MultiValueRadioButtonsKeepEveryValue)
{
    mContainer.SetState(QStringLiteral("tags"), 0, QStringLiteral("a"), -1);
    mContainer.SetAtomParameter(AbstractContainer::ParameterMaxNumberStateValues, QStringLiteral("tags"), 3);
    mContainer.SetAtomParameter(AbstractContainer::ParameterAllowedValues, QStringLiteral("tags"),
                                Values{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    mContainer.SetState(QStringLiteral("tags"), 0, Values{QStringLiteral("a"), QStringLiteral("c")});
    ASSERT_EQ(mContainer.GetState(QStringLiteral("tags"), 0).size(), 2);
    QList<QRadioButton*> buttons;
    for (int i = 0; i < 3; ++i) {
        buttons << new QRadioButton(&mWindow);
        buttons.last()->setAutoExclusive(false);
    }
    mWindow.show();
    SynchronizableContainer sync(&mContainer);
    sync.BindRadioButtons(QStringLiteral("tags"), buttons);
    EXPECT_TRUE(buttons[0]->isChecked());
    EXPECT_FALSE(buttons[1]->isChecked());
    EXPECT_TRUE(buttons[2]->isChecked());

    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(mContainer.GetState(QStringLiteral("tags"), 0),
              (Values{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    for (QRadioButton* pButton : buttons)
        EXPECT_FALSE(pButton->autoExclusive());
}

TEST_F(BindingTest, TypedComboTextIsWrittenOncePerBinding)
{
    mContainer.SetState(QStringLiteral("free"), 0, QStringLiteral("init"), -1);
    auto* pFree = new QComboBox(&mWindow);
    pFree->setEditable(true);
    QSignalSpy activated(pFree, &QComboBox::textActivated);
    SynchronizableContainer sync(&mContainer);
    sync.Bind(QStringLiteral("free"), pFree);
    sync.Unbind(pFree);
    sync.Bind(QStringLiteral("free"), pFree);
    mContainer.mCalls.clear();

    pFree->lineEdit()->setText(QStringLiteral("typed"));
    emit pFree->lineEdit()->editingFinished();
    EXPECT_EQ(mContainer.mCalls.size(), 1);
    EXPECT_EQ(Current(QStringLiteral("free")), QVariant(QStringLiteral("typed")));

    // Unbound, the combo box's edits go nowhere, and its own signals are its own.
    sync.Unbind(pFree);
    pFree->lineEdit()->setText(QStringLiteral("later"));
    emit pFree->lineEdit()->editingFinished();
    EXPECT_EQ(mContainer.mCalls.size(), 1);
    EXPECT_EQ(activated.count(), 0);
}

TEST_F(BindingTest, EditGoesToTheWidgetsOwnKey)
{
    mContainer.SetState(QStringLiteral("cam/iso"), 0, 100, -1);
    mContainer.SetState(QStringLiteral("cam/gain"), 0, 1, -1);
    auto* pAll = new QSpinBox(&mWindow);
    pAll->setRange(0, 10000);
    auto* pIso = new QSpinBox(&mWindow);
    pIso->setRange(0, 10000);
    SynchronizableContainer sync(&mContainer);
    sync.Bind(QStringLiteral("cam/*"), pAll);
    sync.Bind(QStringLiteral("cam/iso"), pIso);
    EXPECT_EQ(sync.MatchingBindingNames(QStringLiteral("cam/iso"), true),
              (QStringList{QStringLiteral("cam/*"), QStringLiteral("cam/iso")}));
    pIso->setValue(400);
    EXPECT_EQ(Current(QStringLiteral("cam/iso")), QVariant(400));
    EXPECT_EQ(sync.WidgetBindingName(pIso), QStringLiteral("cam/iso"));
    EXPECT_EQ(sync.WidgetBindingName(&mWindow), QString());
}

TEST_F(BindingTest, MatchCacheFollowsTheFlagAndTheBindings)
{
    SynchronizableContainer sync(&mContainer);
    auto* pEdit = new QLineEdit(&mWindow);
    sync.Bind(QStringLiteral("track[2]"), pEdit);
    EXPECT_TRUE(sync.MatchingBindingNames(QStringLiteral("track[1]"), true).isEmpty());
    EXPECT_EQ(sync.MatchingBindingNames(QStringLiteral("track[1]"), false), QStringList{QStringLiteral("track[2]")});
    EXPECT_TRUE(sync.MatchingBindingNames(QString(), false).isEmpty());

    EXPECT_TRUE(sync.MatchingBindingNames(QStringLiteral("bus/level"), true).isEmpty());
    sync.Bind(QStringLiteral("bus/*"), new QLineEdit(&mWindow));
    EXPECT_EQ(sync.MatchingBindingNames(QStringLiteral("bus/level"), true), QStringList{QStringLiteral("bus/*")});
    sync.Unbind(pEdit);
    EXPECT_TRUE(sync.MatchingBindingNames(QStringLiteral("track[1]"), false).isEmpty());
}

TEST(ParameterWidgetTest, PathSelectionBrowses)
{
    tandriltest::TempDir dir;
    const QString folder = QString::fromStdString(dir.Path());
    const QString chosen = folder + QStringLiteral("/take2.mxf");
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    JoxRaw::ParameterPath parameter(7, QStringLiteral("take1.mxf"), QStringLiteral("Pick a take"),
                                    {QStringLiteral("Media (*.mxf)")});
    ParameterWidgetPathSelection widget(7, &parameter);
    widget.show();
    QVariant seenByListener;
    QObject::connect(&widget, &ParameterWidget::ValueChanged,
                     [&](JoxRaw::Pid, const QVariant&) { seenByListener = parameter.GetValue(); });
    QSignalSpy changed(&widget, &ParameterWidget::ValueChanged);
    QString title;
    QString shownName;
    {
        ModalDriver driver([&](QDialog* pDialog) {
            auto* pFileDialog = qobject_cast<QFileDialog*>(pDialog);
            title = pFileDialog->windowTitle();
            auto* pName = pFileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            shownName = pName->text();
            EXPECT_EQ(pFileDialog->fileMode(), QFileDialog::ExistingFile);
            EXPECT_EQ(pFileDialog->nameFilters(), QStringList{QStringLiteral("Media (*.mxf)")});
            pName->setText(chosen);
            ClickDialogButton(pDialog, QDialogButtonBox::Open);
        });
        widget.GetBrowseButton()->click();
    }
    EXPECT_EQ(title, QStringLiteral("Pick a take"));
    EXPECT_EQ(shownName, QStringLiteral("take1.mxf"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 7);
    EXPECT_EQ(changed.at(0).at(1).toString(), chosen);
    EXPECT_EQ(seenByListener.toString(), chosen);
    EXPECT_EQ(widget.GetLineEdit()->text(), chosen);

    // Without a parameter object the choice is only reported.
    ParameterWidgetPathSelection bare(8, nullptr);
    QSignalSpy bareChanged(&bare, &ParameterWidget::ValueChanged);
    {
        ModalDriver driver([&](QDialog* pDialog) {
            title = pDialog->windowTitle();
            pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(chosen);
            ClickDialogButton(pDialog, QDialogButtonBox::Open);
        });
        bare.GetBrowseButton()->click();
    }
    EXPECT_EQ(title, QStringLiteral("Select file"));
    ASSERT_EQ(bareChanged.count(), 1);
    EXPECT_EQ(bareChanged.at(0).at(1).toString(), chosen);
}

TEST(ParameterWidgetTest, EditorsReportTheirValues)
{
    JoxRaw::ParameterInterface choice(1, QStringLiteral("b"));
    ParameterWidgetCombo combo(1, &choice);
    combo.GetComboBox()->addItem(QStringLiteral("Alpha"), QStringLiteral("a"));
    combo.GetComboBox()->addItem(QStringLiteral("Beta"), QStringLiteral("b"));
    combo.UpdateFromParameter();
    EXPECT_EQ(combo.GetComboBox()->currentIndex(), 1);
    QSignalSpy comboChanged(&combo, &ParameterWidget::ValueChanged);
    combo.GetComboBox()->setCurrentIndex(0);
    ASSERT_EQ(comboChanged.count(), 1);
    EXPECT_EQ(comboChanged.at(0).at(1).toString(), QStringLiteral("a"));

    JoxRaw::ParameterInterface flag(2, true);
    ParameterWidgetCheck check(2, &flag);
    EXPECT_TRUE(check.GetCheckBox()->isChecked());
    QSignalSpy checkChanged(&check, &ParameterWidget::ValueChanged);
    check.GetCheckBox()->click();
    ASSERT_EQ(checkChanged.count(), 1);
    EXPECT_EQ(checkChanged.at(0).at(1), QVariant(false));

    JoxRaw::ParameterInterface level(3, 12.5);
    ParameterWidgetSliderSpinGradient slider(3, &level);
    EXPECT_EQ(slider.GetSlider()->GetValue(), 1250);
    QSignalSpy sliderChanged(&slider, &ParameterWidget::ValueChanged);
    slider.GetSlider()->SetValue(2000);
    EXPECT_DOUBLE_EQ(slider.GetSpinBox()->value(), 20.0);
    ASSERT_EQ(sliderChanged.count(), 1);
    EXPECT_DOUBLE_EQ(sliderChanged.at(0).at(1).toDouble(), 20.0);

    JoxRaw::ParameterInterface text(4, QStringLiteral("read me"));
    ParameterWidgetReadOnly label(4, &text);
    EXPECT_EQ(label.GetLabel()->text(), QStringLiteral("read me"));

    ParameterWidgetSpin spin(5, nullptr);
    QSignalSpy spinChanged(&spin, &ParameterWidget::ValueChanged);
    spin.GetSpinBox()->setValue(3.5);
    ASSERT_EQ(spinChanged.count(), 1);
    EXPECT_EQ(spinChanged.at(0).at(0).toInt(), 5);
}

TEST(ParameterWidgetTest, FacadeNeverOpensAWindow)
{
    JoxRaw::ParameterInterface shown(1, 5.0);
    JoxRaw::ParameterInterface hidden(2, 5.0);
    hidden.SetFacade(JoxRaw::ParameterFacade(true, false, false));
    const std::function<ParameterWidget*(JoxRaw::ParameterInterface*)> makers[] = {
        [](JoxRaw::ParameterInterface* pP) { return new ParameterWidgetCheck(1, pP); },
        [](JoxRaw::ParameterInterface* pP) { return new ParameterWidgetCombo(1, pP); },
        [](JoxRaw::ParameterInterface* pP) { return new ParameterWidgetPathSelection(1, pP); },
        [](JoxRaw::ParameterInterface* pP) { return new ParameterWidgetReadOnly(1, pP); },
        [](JoxRaw::ParameterInterface* pP) { return new ParameterWidgetSliderSpinGradient(1, pP); },
        [](JoxRaw::ParameterInterface* pP) { return new ParameterWidgetSliderSpinMonochrome(1, pP); },
        [](JoxRaw::ParameterInterface* pP) { return new ParameterWidgetSpin(1, pP); },
    };
    for (const auto& rMake : makers) {
        std::unique_ptr<ParameterWidget> pWidget(rMake(&shown));
        pWidget->UpdateFromParameter();
        EXPECT_FALSE(pWidget->isVisible()) << pWidget->metaObject()->className();

        // Shown by its owner, a window follows the facade.
        pWidget->show();
        pWidget->UpdateFromParameter();
        EXPECT_TRUE(pWidget->isVisible()) << pWidget->metaObject()->className();
        shown.SetFacade(JoxRaw::ParameterFacade(true, false, false));
        pWidget->UpdateFromParameter();
        EXPECT_FALSE(pWidget->isVisible()) << pWidget->metaObject()->className();
        shown.SetFacade(JoxRaw::ParameterFacade());
        pWidget->UpdateFromParameter();
        EXPECT_TRUE(pWidget->isVisible()) << pWidget->metaObject()->className();

        // Made without a parent and hidden by its facade, it stays hidden in a
        // layout until the facade shows it.
        QWidget panel;
        auto* pLayout = new QHBoxLayout(&panel);
        ParameterWidget* pLater = rMake(&hidden);
        pLater->UpdateFromParameter();
        pLayout->addWidget(pLater);
        panel.show();
        QTest::qWait(0);
        EXPECT_FALSE(pLater->isVisible()) << pLater->metaObject()->className();
        hidden.SetFacade(JoxRaw::ParameterFacade());
        pLater->UpdateFromParameter();
        EXPECT_TRUE(pLater->isVisible()) << pLater->metaObject()->className();
        hidden.SetFacade(JoxRaw::ParameterFacade(true, false, false));
    }
}

TEST(ParameterWidgetTest, SliderSpinReportsOnlyEdits)
{
    JoxRaw::ParameterInterface level(3, 150.0);
    QWidget window;
    auto* pLayout = new QHBoxLayout(&window);
    auto* pWidget = new ParameterWidgetSliderSpinGradient(3, &level);
    auto* pOther = new QLineEdit;
    pLayout->addWidget(pWidget);
    pLayout->addWidget(pOther);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QDoubleSpinBox* pSpin = pWidget->GetSpinBox();
    EXPECT_DOUBLE_EQ(pSpin->value(), 100.0); // 150 does not fit: shown clamped
    QSignalSpy changed(pWidget, &ParameterWidget::ValueChanged);
    auto visit = [&] {
        pSpin->setFocus();
        pOther->setFocus();
    };

    visit();
    visit();
    EXPECT_EQ(changed.count(), 0);

    pSpin->setFocus();
    QTest::keyClick(pSpin, Qt::Key_Down);
    pOther->setFocus();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_DOUBLE_EQ(changed.at(0).at(1).toDouble(), 99.0);
    visit();
    EXPECT_EQ(changed.count(), 1);

    // A value shown from the parameter again is no edit either.
    pSpin->setFocus();
    QTest::keyClick(pSpin, Qt::Key_Down);
    pWidget->UpdateFromParameter();
    pOther->setFocus();
    EXPECT_EQ(changed.count(), 1);
}

} // namespace
