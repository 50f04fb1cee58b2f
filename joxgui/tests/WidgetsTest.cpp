#include "ModalDriver.h"

#include <joxgui/PinContainerWidget.h>
#include <joxgui/PushButton.h>
#include <joxgui/StylableTabBar.h>
#include <joxgui/StylableTabWidget.h>
#include <joxgui/WidgetHelpers.h>
#include <styles/HarlenStyle.h>
#include <styles/StyleMetrics.h>

#include "TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QLayout>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace JoxGui;
using joxguitest::ModalDriver;

namespace {

// Records the text each push button is painted with.
class RecordingStyle : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption* pOption, QPainter* pPainter,
                     const QWidget* pWidget) const override
    {
        if (element == CE_PushButton)
            if (const auto* pButton = qstyleoption_cast<const QStyleOptionButton*>(pOption))
                mLastText = pButton->text;
        QProxyStyle::drawControl(element, pOption, pPainter, pWidget);
    }
    mutable QString mLastText;
};

// Counts the mouse presses that reach it.
class Panel : public QWidget
{
public:
    int mPresses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++mPresses; }
};

TEST(StylableTabWidgetTest, TabWidths)
{
    StylableTabWidget tabs;
    tabs.addTab(new QWidget, "a");
    tabs.addTab(new QWidget, "a much longer title than a hundred pixels would hold");
    QTabBar* pBar = tabs.tabBar();
    ASSERT_NE(qobject_cast<StylableTabBar*>(pBar), nullptr);
    EXPECT_FALSE(pBar->expanding());
    EXPECT_FALSE(pBar->drawBase());
    EXPECT_EQ(pBar->tabRect(0).width(), 100);
    EXPECT_EQ(pBar->tabRect(1).width(), 100);
    tabs.SetTabWidth(150);
    EXPECT_EQ(pBar->tabRect(1).width(), 150);
    tabs.SetTabWidth(0);
    tabs.SetTabWidth(-5);
    EXPECT_EQ(pBar->tabRect(0).width(), 150);
}

TEST(StylableTabWidgetTest, ContextMenuOnlyOnATab)
{
    StylableTabWidget tabs;
    tabs.addTab(new QWidget, "a");
    tabs.addTab(new QWidget, "b");
    tabs.resize(600, 200);
    tabs.show();
    QSignalSpy spy(&tabs, &StylableTabWidget::ContextMenu);
    QTabBar* pBar = tabs.tabBar();

    const QPoint onSecond = pBar->tabRect(1).center();
    QContextMenuEvent onTab(QContextMenuEvent::Mouse, onSecond, pBar->mapToGlobal(onSecond));
    QApplication::sendEvent(pBar, &onTab);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
    EXPECT_EQ(spy.at(0).at(1).toPoint(), pBar->mapToGlobal(onSecond));

    const QPoint beside(pBar->tabRect(1).right() + 20, onSecond.y());
    QContextMenuEvent offTab(QContextMenuEvent::Mouse, beside, pBar->mapToGlobal(beside));
    QApplication::sendEvent(pBar, &offTab);
    EXPECT_EQ(spy.count(), 1);
}

TEST(PushButtonTest, DisabledClicksAndAllWheelsReachTheParent)
{
    Panel panel;
    panel.resize(200, 100);
    auto* pButton = new PushButton("b", &panel);
    pButton->setGeometry(10, 10, 80, 30);
    panel.show();
    QSignalSpy clicked(pButton, &QPushButton::clicked);

    QTest::mouseClick(pButton, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(panel.mPresses, 0);

    pButton->setEnabled(false);
    QTest::mouseClick(pButton, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(panel.mPresses, 1);

    pButton->setEnabled(true);
    QWheelEvent wheel(QPointF(5, 5), pButton->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    // Left unaccepted, so Qt hands a real wheel event on to the parent.
    EXPECT_FALSE(QApplication::sendEvent(pButton, &wheel));
    EXPECT_FALSE(wheel.isAccepted());
}

TEST(PushButtonTest, ElidesOnlyWhenAModeIsSet)
{
    RecordingStyle style;
    const QString text = QStringLiteral("A rather long button text that cannot fit");
    PushButton button(text);
    button.setStyle(&style);
    button.resize(80, 30);
    button.show();

    (void)button.grab();
    EXPECT_EQ(style.mLastText, text);

    button.SetElideMode(Qt::ElideRight);
    (void)button.grab();
    EXPECT_TRUE(style.mLastText.endsWith(QChar(0x2026))) << style.mLastText.toStdString();
    EXPECT_TRUE(text.startsWith(style.mLastText.chopped(1)));

    button.SetElideMode(Qt::ElideLeft);
    (void)button.grab();
    EXPECT_TRUE(style.mLastText.startsWith(QChar(0x2026))) << style.mLastText.toStdString();

    button.resize(800, 30);
    (void)button.grab();
    EXPECT_EQ(style.mLastText, text);
    button.setStyle(nullptr);
}

TEST(PushButtonTest, LargerFontElidesATextThatFittedBefore)
{
    RecordingStyle style;
    const QString text = QStringLiteral("Twelve chars");
    PushButton button(text);
    button.setStyle(&style);
    button.SetElideMode(Qt::ElideRight);
    QFont font = button.font();
    font.setPixelSize(10);
    button.setFont(font);
    button.resize(button.fontMetrics().horizontalAdvance(text) + 40, 30);
    button.show();
    (void)button.grab();
    ASSERT_EQ(style.mLastText, text);

    font.setPixelSize(30);
    button.setFont(font);
    (void)button.grab();
    EXPECT_TRUE(style.mLastText.endsWith(QChar(0x2026))) << style.mLastText.toStdString();
    button.setStyle(nullptr);
}

// A style with wide push button margins: less room for the text.
class NarrowContentsStyle : public RecordingStyle
{
public:
    QRect subElementRect(SubElement element, const QStyleOption* pOption, const QWidget* pWidget) const override
    {
        const QRect rect = RecordingStyle::subElementRect(element, pOption, pWidget);
        return element == SE_PushButtonContents ? rect.adjusted(mMargin, 0, -mMargin, 0) : rect;
    }
    int mMargin = 0;
};

TEST(PushButtonTest, StyleChangeElidesAnew)
{
    NarrowContentsStyle style;
    const QString text = QStringLiteral("Twelve chars");
    PushButton button(text);
    button.setStyle(&style);
    button.SetElideMode(Qt::ElideRight);
    button.resize(button.fontMetrics().horizontalAdvance(text) + 40, 30);
    button.show();
    (void)button.grab();
    ASSERT_EQ(style.mLastText, text);

    // A style with wider margins leaves too little room: the text is elided.
    NarrowContentsStyle narrow;
    narrow.mMargin = 30;
    button.setStyle(&narrow);
    (void)button.grab();
    EXPECT_TRUE(narrow.mLastText.endsWith(QChar(0x2026))) << narrow.mLastText.toStdString();

    button.setStyle(&style);
    (void)button.grab();
    EXPECT_EQ(style.mLastText, text);
    button.setStyle(nullptr);
}

TEST(WidgetHelpersTest, ChildrenGetClickFocus)
{
    QWidget parent;
    auto* pEdit = new QLineEdit(&parent);
    auto* pInner = new QWidget(&parent);
    auto* pDeep = new QSpinBox(pInner);
    pInner->setFocusPolicy(Qt::NoFocus);
    SetChildrenClickFocus(&parent);
    SetChildrenClickFocus(nullptr);
    EXPECT_EQ(pEdit->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(pDeep->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(pInner->focusPolicy(), Qt::NoFocus);
}

TEST(WidgetHelpersTest, SilentSettersKeepTheBlockingState)
{
    QCheckBox box;
    QSpinBox spin;
    QSignalSpy toggled(&box, &QCheckBox::toggled);
    QSignalSpy changed(&spin, &QSpinBox::valueChanged);
    SetCheckedSilently(&box, true);
    SetValueSilently(&spin, 7);
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(spin.value(), 7);
    EXPECT_EQ(toggled.count(), 0);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(box.signalsBlocked());

    box.blockSignals(true);
    SetCheckedSilently(&box, false);
    EXPECT_TRUE(box.signalsBlocked());
    SetCheckedSilently(nullptr, true);
    SetValueSilently(nullptr, 1);
}

TEST(WidgetHelpersTest, MoveToWidgetPosition)
{
    QWidget reference;
    reference.move(100, 50);
    auto* pChild = new QWidget(&reference);
    pChild->move(20, 30);
    reference.show();
    QWidget popup;
    MoveToWidgetPosition(&reference, pChild, &popup, 5, -4);
    EXPECT_EQ(popup.pos(), reference.mapToGlobal(QPoint(20, 30)) + QPoint(5, -4));
    const QPoint before = popup.pos();
    MoveToWidgetPosition(nullptr, pChild, &popup, 1, 1);
    MoveToWidgetPosition(&reference, nullptr, &popup, 1, 1);
    EXPECT_EQ(popup.pos(), before);
}

TEST(WidgetHelpersTest, ChooseFileAppendsMissingSuffix)
{
    tandriltest::TempDir dir;
    const QString folder = QString::fromStdString(dir.Path());
    auto choose = [&](const QString& rName, bool accept, QString* pLabel = nullptr) {
        QStringList chosen{QStringLiteral("stale")};
        ModalDriver driver([&](QDialog* pDialog) {
            auto* pFileDialog = qobject_cast<QFileDialog*>(pDialog);
            ASSERT_NE(pFileDialog, nullptr);
            if (pLabel != nullptr)
                *pLabel = pFileDialog->labelText(QFileDialog::Accept);
            EXPECT_EQ(pFileDialog->windowTitle(), QStringLiteral("Pick"));
            if (!accept) {
                pFileDialog->reject();
                return;
            }
            // selectFile leaves a focused name field alone; type the name instead.
            auto* pNameEdit = pFileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(pNameEdit, nullptr);
            pNameEdit->setText(rName);
            static_cast<QDialog*>(pFileDialog)->accept();
        });
        const QString result = ChooseFile("Pick", QFileDialog::AnyFile, folder, "Text (*.txt)", ".txt",
                                          QString(), &chosen);
        return std::make_pair(result, chosen);
    };
    QString label;
    const auto upper = choose(QStringLiteral("report.TXT"), true, &label);
    EXPECT_EQ(upper.first, folder + QStringLiteral("/report.TXT"));
    EXPECT_EQ(upper.second, QStringList{upper.first});
    EXPECT_EQ(label, QStringLiteral("Open"));

    const auto bare = choose(QStringLiteral("report"), true);
    EXPECT_EQ(bare.first, folder + QStringLiteral("/report.txt"));

    const auto cancelled = choose(QStringLiteral("x"), false);
    EXPECT_TRUE(cancelled.first.isEmpty());
    EXPECT_TRUE(cancelled.second.isEmpty());
}

void Enter(QWidget* pWidget)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), pWidget->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(pWidget, &event);
}

void Leave(QWidget* pWidget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(pWidget, &event);
}

bool IsOpen(const QWidget& rPanel, int minimum, int maximum)
{
    return rPanel.minimumWidth() == minimum && rPanel.maximumWidth() == maximum;
}

TEST(PinContainerWidgetTest, HeaderAndStartsPinned)
{
    PinContainerWidget panel("Servers");
    auto* pPin = panel.findChild<QPushButton*>("ButtonHeaderPin");
    auto* pFold = panel.findChild<QPushButton*>("ButtonHeaderFold");
    ASSERT_NE(pPin, nullptr);
    ASSERT_NE(pFold, nullptr);
    EXPECT_TRUE(pPin->isChecked());
    EXPECT_FALSE(pFold->isChecked());
    EXPECT_EQ(pFold->size(), QSize(40, 40));
    EXPECT_EQ(pFold->toolTip(), QStringLiteral("Fold/Unfold..."));
    EXPECT_EQ(pPin->focusPolicy(), Qt::ClickFocus);

    QSignalSpy fold(&panel, &PinContainerWidget::SignalFold);
    QSignalSpy pin(&panel, &PinContainerWidget::SignalPin);
    pFold->click();
    pPin->click();
    ASSERT_EQ(fold.count(), 1);
    EXPECT_TRUE(fold.at(0).at(0).toBool());
    ASSERT_EQ(pin.count(), 1);
    EXPECT_FALSE(pin.at(0).at(0).toBool());

    QLayout* pContent = panel.layout()->itemAt(1)->layout();
    ASSERT_NE(pContent, nullptr);
    panel.AddWidget(nullptr);
    EXPECT_EQ(pContent->count(), 0);
    panel.AddWidget(new QLineEdit);
    EXPECT_EQ(pContent->count(), 1);
}

TEST(PinContainerWidgetTest, UnpinnedPanelOpensUnderTheMouseAndClosesLater)
{
    PinContainerWidget panel("Servers");
    panel.show();
    auto* pPin = panel.findChild<QPushButton*>("ButtonHeaderPin");

    pPin->click(); // unpin
    EXPECT_EQ(panel.minimumWidth(), 10);
    EXPECT_EQ(panel.maximumWidth(), 10);

    Enter(&panel);
    EXPECT_TRUE(IsOpen(panel, 237, 333));
    Leave(&panel);
    QTest::qWait(200);
    EXPECT_TRUE(IsOpen(panel, 237, 333));
    Enter(&panel); // back before the 500 ms are over
    QTest::qWait(500);
    EXPECT_TRUE(IsOpen(panel, 237, 333));
    Leave(&panel);
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.maximumWidth() == 10; }, 2000));
    EXPECT_GE(panel.minimumWidth(), 10);

    pPin->click(); // pin again
    EXPECT_TRUE(IsOpen(panel, 237, 333));
    Enter(&panel); // pinned panels ignore the mouse
    Leave(&panel);
    QTest::qWait(600);
    EXPECT_TRUE(IsOpen(panel, 237, 333));
}

TEST(PinContainerWidgetTest, UpwardsAndUnderTheApplicationStyle)
{
    const auto pStyle = std::make_unique<HarlenStyle>();
    PinContainerWidget panel("Top");
    auto* pPin = panel.findChild<QPushButton*>("ButtonHeaderPin");
    panel.CollapseSideways();
    EXPECT_TRUE(IsOpen(panel, 216, 304));

    panel.CollapseUpwards();
    EXPECT_EQ(panel.maximumWidth(), 16777215);
    EXPECT_EQ(panel.maximumHeight(), 16777215);
    pPin->click();
    EXPECT_EQ(panel.maximumHeight(), StyleMetric(6));
    EXPECT_EQ(panel.minimumHeight(), 6);
    qApp->setStyleSheet(QString());
}

} // namespace
