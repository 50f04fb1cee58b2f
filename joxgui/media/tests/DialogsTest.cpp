#include "DialogButtons.h"
#include "ModalDriver.h"

#include <joxgui/FailedItemsDialog.h>
#include <joxgui/ListSelectionFrame.h>
#include <joxgui/MessageBar.h>
#include <joxgui/MessageLogDialog.h>
#include <joxgui/WizardDialog.h>
#include <styles/StylePalette.h>

#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWizardPage>

#include <gtest/gtest.h>

using namespace JoxGui;
using joxguitest::ClickDialogButton;
using joxguitest::ModalDriver;

namespace {

TEST(FailedItemsDialogTest, EndsWithTheClickedButtonsCode)
{
    EXPECT_EQ(FailedItemsDialog::ButtonNames,
              (std::map<int, std::string>{{0, ""}, {1, "OK"}, {2, "Cancel"}, {4, "Yes"}, {8, "No"}}));
    QStringList items;
    for (int i = 0; i < 20000; ++i)
        items << QStringLiteral("/media/clip_%1.mxf").arg(i);
    const struct { int mButton; int mResult; } cases[] = {
        {FailedItemsDialog::ButtonYes, 4}, {FailedItemsDialog::ButtonNo, 8},
        {FailedItemsDialog::ButtonCancel, 2}, {0, 1}};
    for (const auto& rCase : cases) {
        FailedItemsDialog dialog(QStringLiteral("Failed"), QStringLiteral("These failed:"), items,
                                 FailedItemsDialog::ButtonYes | FailedItemsDialog::ButtonNo
                                     | FailedItemsDialog::ButtonCancel);
        EXPECT_EQ(dialog.GetItemList()->count(), 20000);
        EXPECT_EQ(dialog.GetButton(FailedItemsDialog::ButtonOk), nullptr);
        // A button outside the dialog's own set ends it with 1.
        QPushButton stranger(QStringLiteral("Other"));
        QObject::connect(&stranger, SIGNAL(clicked()), &dialog, SLOT(ButtonClicked()));
        dialog.open();
        if (rCase.mButton != 0)
            dialog.GetButton(rCase.mButton)->click();
        else
            stranger.click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), rCase.mResult) << rCase.mButton;
    }
}

using Entry = ListSelectionFrame::Entry;

Entry E(const char* pText, int data)
{
    return {QString::fromLatin1(pText), data};
}

QStringList Texts(QListWidget* pList)
{
    QStringList texts;
    for (int i = 0; i < pList->count(); ++i)
        texts << pList->item(i)->text();
    return texts;
}

void Select(QListWidget* pList, std::initializer_list<int> rows)
{
    pList->clearSelection();
    for (int row : rows)
        pList->item(row)->setSelected(true);
}

TEST(ListSelectionFrameTest, MovingUpAndDownAndTheButtonsState)
{
    ListSelectionFrame frame;
    frame.SetEntries({E("X", 1), E("Y", 2), E("Z", 3), E("W", 4)});
    frame.SetIncluded({E("X", 1), E("Y", 2), E("Z", 3)});
    QListWidget* pIncluded = frame.GetIncludedList();
    EXPECT_EQ(Texts(frame.GetAvailableList()), QStringList{QStringLiteral("W")});

    const struct {
        std::initializer_list<int> mSelected;
        bool mUp;
        bool mDown;
        const char* mAfterUp;
        const char* mAfterDown;
    } cases[] = {
        {{1, 2}, true, false, "Y Z X", "X Y Z"},
        {{0, 2}, true, true, "X Z Y", "Y X Z"},
        {{0}, false, true, "X Y Z", "Y X Z"},
        {{0, 1, 2}, false, false, "X Y Z", "X Y Z"},
    };
    for (const auto& rCase : cases) {
        frame.SetIncluded({E("X", 1), E("Y", 2), E("Z", 3)});
        Select(pIncluded, rCase.mSelected);
        EXPECT_EQ(frame.GetUpButton()->isEnabled(), rCase.mUp) << rCase.mAfterUp;
        EXPECT_EQ(frame.GetDownButton()->isEnabled(), rCase.mDown) << rCase.mAfterUp;
        frame.GetUpButton()->click();
        EXPECT_EQ(Texts(pIncluded).join(QLatin1Char(' ')), QString::fromLatin1(rCase.mAfterUp));
        frame.SetIncluded({E("X", 1), E("Y", 2), E("Z", 3)});
        Select(pIncluded, rCase.mSelected);
        frame.GetDownButton()->click();
        EXPECT_EQ(Texts(pIncluded).join(QLatin1Char(' ')), QString::fromLatin1(rCase.mAfterDown));
        EXPECT_EQ(pIncluded->selectedItems().size(), static_cast<int>(rCase.mSelected.size()));
    }
}

TEST(ListSelectionFrameTest, InsertRemoveAndEntriesWithEqualText)
{
    ListSelectionFrame frame;
    frame.SetEntries({E("A", 1), E("B", 2), E("A", 3), E("C", 4)});
    QListWidget* pAvailable = frame.GetAvailableList();
    EXPECT_FALSE(frame.GetInsertButton()->isEnabled());
    Select(pAvailable, {0, 3});
    EXPECT_TRUE(frame.GetInsertButton()->isEnabled());
    frame.GetInsertButton()->click();
    EXPECT_EQ(frame.GetIncluded(), (QList<Entry>{E("A", 1), E("C", 4)}));
    // The other "A" differs in its data and stays available.
    EXPECT_EQ(Texts(pAvailable), (QStringList{QStringLiteral("B"), QStringLiteral("A")}));
    EXPECT_EQ(pAvailable->item(1)->data(Qt::UserRole).toInt(), 3);

    emit pAvailable->itemDoubleClicked(pAvailable->item(0));
    EXPECT_EQ(frame.GetIncluded(), (QList<Entry>{E("A", 1), E("C", 4), E("B", 2)}));
    QListWidget* pIncluded = frame.GetIncludedList();
    emit pIncluded->itemDoubleClicked(pIncluded->item(0));
    EXPECT_EQ(frame.GetIncluded(), (QList<Entry>{E("C", 4), E("B", 2)}));
    EXPECT_EQ(Texts(pAvailable), (QStringList{QStringLiteral("A"), QStringLiteral("A")}));
    Select(pIncluded, {0, 1});
    frame.GetRemoveButton()->click();
    EXPECT_TRUE(frame.GetIncluded().isEmpty());
    EXPECT_EQ(pAvailable->count(), 4);
    EXPECT_FALSE(frame.GetRemoveButton()->isEnabled());
}

JoxCore::Message M(int type, const std::string& rDetail)
{
    return JoxCore::Message(type, "text " + rDetail, rDetail);
}

TEST(MessageLogDialogTest, NewestFirstAndBoundedCounts)
{
    MessageLogDialog log;
    QTableWidget* pTable = log.GetTable();
    log.AddMessage(M(JoxCore::MessageWarning, "first"));
    ASSERT_EQ(pTable->rowCount(), 1);
    EXPECT_EQ(pTable->item(0, 0)->toolTip(), QStringLiteral("Warning"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(pTable->item(0, 1)->text())
                    .hasMatch());
    EXPECT_EQ(pTable->item(0, 2)->text(), QStringLiteral("text first"));
    EXPECT_EQ(pTable->item(0, 3)->text(), QStringLiteral("first"));

    for (int i = 2; i <= 1001; ++i)
        log.AddMessage(M(JoxCore::MessageInfo, std::to_string(i)));
    EXPECT_EQ(log.GetRowCount(), 1000);
    EXPECT_EQ(pTable->rowCount(), 1000);
    EXPECT_EQ(log.GetUnreadCount(), 1000);
    EXPECT_EQ(pTable->item(0, 3)->text(), QStringLiteral("1001"));
    EXPECT_EQ(pTable->item(999, 3)->text(), QStringLiteral("2")); // "first" is gone

    // Clearing empties the table; the unread count stays capped afterwards.
    log.SlotClearMessages();
    EXPECT_EQ(pTable->rowCount(), 0);
    EXPECT_EQ(log.GetLastMessage().GetDetail(), "");
    for (int i = 0; i < 5; ++i)
        log.AddMessage(M(JoxCore::MessageError, "again"));
    EXPECT_EQ(pTable->rowCount(), 5);
    EXPECT_EQ(log.GetRowCount(), 5);
    EXPECT_EQ(log.GetUnreadCount(), 1000);
}

TEST(MessageBarTest, FlashesTheDetailOnOneLineThenReturnsToIdle)
{
    MessageBar bar;
    bar.show();
    EXPECT_EQ(bar.GetLogButton()->toolTip(), QStringLiteral("No unread messages"));
    bar.ShowMessage(M(JoxCore::MessageError, "disk full\nrecording stopped"));
    EXPECT_TRUE(bar.GetMessageLabel()->isVisible());
    EXPECT_FALSE(bar.GetIdleWidget()->isVisible());
    EXPECT_EQ(bar.GetMessageLabel()->text(), QStringLiteral("disk full recording stopped"));
    EXPECT_EQ(bar.GetLogButton()->toolTip(),
              QStringLiteral("Unread messages: 1\nLast Message:\ndisk full\nrecording stopped"));
    const QImage shown = bar.GetLogButton()->icon().pixmap(16).toImage();
    EXPECT_EQ(shown, QIcon(QStringLiteral(":/data/HarlenStyle/icon_message_error.png")).pixmap(16).toImage());
    EXPECT_FALSE(shown.isNull());

    QTimer* pTimer = bar.GetHideTimer();
    EXPECT_TRUE(pTimer->isActive());
    EXPECT_TRUE(pTimer->isSingleShot());
    EXPECT_EQ(pTimer->interval(), 5000);
    pTimer->stop();
    QMetaObject::invokeMethod(pTimer, "timeout");
    EXPECT_FALSE(bar.GetMessageLabel()->isVisible());
    EXPECT_TRUE(bar.GetIdleWidget()->isVisible());

    // The log opens from its button and is cleared and closed through its own.
    int rowsSeen = -1;
    {
        ModalDriver driver([&](QDialog* pDialog) {
            rowsSeen = pDialog->findChild<QTableWidget*>()->rowCount();
            pDialog->move(40, 50);
            ClickDialogButton(pDialog, QDialogButtonBox::Reset);
            ClickDialogButton(pDialog, QDialogButtonBox::Close);
        });
        bar.GetLogButton()->click();
    }
    EXPECT_EQ(rowsSeen, 1);
    EXPECT_EQ(bar.GetLogButton()->toolTip(), QStringLiteral("No unread messages"));

    // A second bar's log opens where the first was closed.
    MessageBar other;
    QPoint opened;
    {
        ModalDriver driver([&](QDialog* pDialog) {
            opened = pDialog->pos();
            ClickDialogButton(pDialog, QDialogButtonBox::Close);
        });
        other.GetLogButton()->click();
    }
    EXPECT_EQ(opened, QPoint(40, 50));
}

// A wizard page that refuses to be left until allowed.
class GuardedPage : public QWizardPage
{
public:
    bool mValid = false;
    int mInitialized = 0;
    int mCleaned = 0;
    bool validatePage() override { return mValid; }
    void initializePage() override { ++mInitialized; }
    void cleanupPage() override { ++mCleaned; }
};

TEST(WizardDialogTest, StepsOverDisabledPagesAndFinishesThroughItsButton)
{
    WizardDialog wizard;
    wizard.SetLastPageText(QStringLiteral("Done"));
    auto* pFirst = new QWidget;
    auto* pSkipped = new QWidget;
    auto* pGuarded = new GuardedPage;
    pGuarded->setTitle(QStringLiteral("Check"));
    wizard.AddPage(pFirst);
    wizard.AddPage(pSkipped);
    wizard.AddPage(pGuarded);
    pSkipped->setEnabled(false);
    wizard.Refresh();
    wizard.open();

    EXPECT_EQ(wizard.GetNextIndex(), 2);
    EXPECT_EQ(wizard.GetNextButton()->text(), QStringLiteral("Next"));
    EXPECT_FALSE(wizard.GetPrevButton()->isEnabled());
    // A plain page has nothing to validate and advances.
    wizard.GetNextButton()->click();
    EXPECT_EQ(wizard.GetCurrentIndex(), 2);
    EXPECT_EQ(pGuarded->mInitialized, 1);
    EXPECT_EQ(wizard.GetNextButton()->text(), QStringLiteral("Done"));
    EXPECT_TRUE(wizard.GetPrevButton()->isEnabled());

    wizard.GetNextButton()->click(); // refused by the page
    EXPECT_TRUE(wizard.isVisible());
    wizard.GetPrevButton()->click();
    EXPECT_EQ(wizard.GetCurrentIndex(), 0);
    EXPECT_EQ(pGuarded->mCleaned, 1);
    wizard.GetNextButton()->click();
    pGuarded->mValid = true;
    wizard.GetNextButton()->click();
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
}

QColor LabelBackground(QLabel* pLabel);

TEST(WizardDialogTest, DisabledDialogKeepsItsPagesOwnStates)
{
    WizardDialog wizard;
    const QColor current(0, 147, 221), enabled(111, 111, 111), disabled(66, 66, 66);
    wizard.SetColors(current, enabled, disabled, Qt::white);
    wizard.SetLastPageText(QStringLiteral("Done"));
    QList<QWizardPage*> pages;
    for (int i = 0; i < 3; ++i) {
        pages << new QWizardPage;
        pages.last()->setTitle(QStringLiteral("Step %1").arg(i + 1));
        wizard.AddPage(pages.last());
    }
    pages[1]->setEnabled(false);
    wizard.show();
    wizard.setEnabled(false); // say, while a check runs
    wizard.Refresh();
    EXPECT_EQ(wizard.GetNextIndex(), 2);
    EXPECT_EQ(wizard.GetNextButton()->text(), QStringLiteral("Next"));
    QLayout* pLayout = wizard.GetHeader()->layout();
    auto label = [&](int page) { return qobject_cast<QLabel*>(pLayout->itemAt(2 + 2 * page)->widget()); };
    EXPECT_EQ(LabelBackground(label(1)), disabled);
    EXPECT_EQ(LabelBackground(label(2)), enabled);
    EXPECT_TRUE(wizard.ButtonNextClicked());
    EXPECT_EQ(wizard.GetCurrentIndex(), 2);
    EXPECT_EQ(wizard.GetPrevIndex(), 0);
}

QColor LabelBackground(QLabel* pLabel)
{
    const QImage image = pLabel->grab().toImage();
    return image.pixelColor(image.width() - 1, image.height() / 2);
}

TEST(WizardDialogTest, HeaderNamesEveryPageAndIsRebuiltCleanly)
{
    WizardDialog wizard;
    const QColor current(0, 147, 221), enabled(111, 111, 111), disabled(66, 66, 66);
    wizard.SetColors(current, enabled, disabled, Qt::white);
    for (int i = 0; i < 3; ++i) {
        auto* pPage = new QWizardPage;
        pPage->setTitle(QStringLiteral("Step %1").arg(i + 1));
        wizard.AddPage(pPage);
    }
    wizard.AddPage(new QWidget); // a plain last page
    wizard.show();
    QLayout* pLayout = wizard.GetHeader()->layout();
    for (int step = 0; step < 3; ++step) {
        ASSERT_EQ(pLayout->count(), 2 * 4 + 3) << step; // spacer, 4 x (separator, label), arrow, spacer
        ASSERT_EQ(wizard.GetHeader()->findChildren<QLabel*>().size(), 9);
        wizard.GetNextButton()->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Now on the plain last page: its label is the current one.
    EXPECT_EQ(wizard.GetCurrentIndex(), 3);
    EXPECT_EQ(wizard.GetNextButton()->text(), QStringLiteral("Finish"));
    auto* pFirstLabel = qobject_cast<QLabel*>(pLayout->itemAt(2)->widget());
    auto* pLastLabel = qobject_cast<QLabel*>(pLayout->itemAt(8)->widget());
    ASSERT_NE(pFirstLabel, nullptr);
    ASSERT_NE(pLastLabel, nullptr);
    EXPECT_EQ(pFirstLabel->text(), QStringLiteral("  Step 1  "));
    EXPECT_EQ(pLastLabel->text(), QStringLiteral("    "));
    EXPECT_EQ(LabelBackground(pFirstLabel), enabled);
    EXPECT_EQ(LabelBackground(pLastLabel), current);

    // The separators: the first page's four lines, a middle page's two, the last page's one.
    const QImage first = qobject_cast<QLabel*>(pLayout->itemAt(1)->widget())->pixmap().toImage();
    const QImage middle = qobject_cast<QLabel*>(pLayout->itemAt(3)->widget())->pixmap().toImage();
    const QImage last = qobject_cast<QLabel*>(pLayout->itemAt(7)->widget())->pixmap().toImage();
    EXPECT_EQ(first.size(), QSize(19, 15));
    EXPECT_EQ(middle.size(), QSize(10, 15));
    EXPECT_EQ(last.size(), QSize(6, 15));
    for (int x : {1, 2, 7, 8, 12, 13, 16, 17})
        EXPECT_EQ(first.pixelColor(x, 7), enabled) << x;
    for (int x : {0, 3, 6, 11, 18})
        EXPECT_EQ(first.pixelColor(x, 7).alpha(), 0) << x;
    EXPECT_EQ(middle.pixelColor(3, 0), enabled);
    EXPECT_EQ(middle.pixelColor(5, 0).alpha(), 0);
    EXPECT_EQ(last.pixelColor(4, 14), current);
    EXPECT_EQ(last.pixelColor(2, 14).alpha(), 0);
    const QImage arrow = qobject_cast<QLabel*>(pLayout->itemAt(9)->widget())->pixmap().toImage();
    EXPECT_EQ(arrow.size(), QSize(36, 48));
    EXPECT_EQ(arrow.pixelColor(5, 24), current);
    EXPECT_EQ(arrow.pixelColor(30, 5).alpha(), 0);
}

} // namespace
