#include "ModalDriver.h"

#include <joxgui/Messagebox.h>
#include <styles/HarlenStyle.h>
#include <styles/StyleMetrics.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using JoxGui::Messagebox;
using joxguitest::ModalDriver;

namespace {

std::vector<std::string> gWarnings;

void CaptureWarnings(QtMsgType type, const QMessageLogContext&, const QString& rMessage)
{
    if (type == QtWarningMsg)
        gWarnings.push_back(rMessage.toStdString());
}

std::vector<std::string> ButtonNames(const Messagebox& rBox)
{
    std::vector<std::string> names;
    for (const QPushButton* pButton : rBox.findChildren<QPushButton*>())
        names.push_back(pButton->objectName().toStdString());
    return names;
}

QPushButton* Button(QDialog* pDialog, const char* pName)
{
    return pDialog->findChild<QPushButton*>(QString::fromLatin1(pName));
}

// Ticks the box's check box, then clicks the named button.
void TickAndClick(QDialog* pDialog, const char* pName)
{
    pDialog->findChild<QCheckBox*>()->setChecked(true);
    Button(pDialog, pName)->click();
}

TEST(MessageboxTest, ButtonCodesAreValidated)
{
    const struct
    {
        int b0, b1, b2;
        std::vector<std::string> buttons;
        std::vector<std::string> warnings;
    } cases[] = {
        {0, 0, 0, {"&OK"}, {}},
        {3, 4, 2, {"&Yes", "&No", "&Cancel"}, {}},
        {0, 2, 0, {"&OK"}, {"JOXMessageBox: Inconsistent button parameters"}},
        {1, 0, 3, {"&OK"}, {"JOXMessageBox: Inconsistent button parameters"}},
        {1, Messagebox::ButtonEscape, 3, {"&OK"},
         {"JOXMessageBox: Inconsistent button parameters; button 3 defined but not button 2"}},
        {13, 0, 0, {"&OK"}, {"JOXMessageBox: Invalid button specifier"}},
        {3 | Messagebox::ButtonDefault, 4 | Messagebox::ButtonDefault, 0, {"&Yes", "&No"},
         {"JOXMessageBox: There can be at most one default button"}},
        {8 | Messagebox::ButtonEscape, 12 | Messagebox::ButtonEscape, 9, {"Yes to &All", "N&o to All", "Save"},
         {"JOXMessageBox: There can be at most one escape button"}},
    };
    for (const auto& rCase : cases) {
        gWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(&CaptureWarnings);
        Messagebox box("t", "x", Messagebox::IconNone, rCase.b0, rCase.b1, rCase.b2);
        qInstallMessageHandler(previous);
        EXPECT_EQ(ButtonNames(box), rCase.buttons) << rCase.b0 << " " << rCase.b1 << " " << rCase.b2;
        EXPECT_EQ(gWarnings, rCase.warnings) << rCase.b0 << " " << rCase.b1 << " " << rCase.b2;
    }
}

TEST(MessageboxTest, ButtonsFollowTheMetricsAndDefaultFlag)
{
    Messagebox box("t", "x", Messagebox::IconWarning, 3, 4 | Messagebox::ButtonDefault, 0);
    QPushButton* pNo = Button(&box, "&No");
    ASSERT_NE(pNo, nullptr);
    EXPECT_TRUE(pNo->isDefault());
    EXPECT_FALSE(Button(&box, "&Yes")->isDefault());
    EXPECT_EQ(pNo->size(), QSize(StyleMetric(10), StyleMetric(3)));
    EXPECT_EQ(pNo->shortcut(), QKeySequence(QStringLiteral("Alt+N")));
    EXPECT_FALSE(box.findChild<QLabel*>("jox_msgbox_icon_label")->pixmap().isNull());
    EXPECT_EQ(box.findChild<QCheckBox*>(), nullptr);
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
}

TEST(MessageboxTest, SetButtonTextAnswersZeroOrTheCount)
{
    Messagebox box("t", "x", Messagebox::IconNone, 1, 2, 0);
    EXPECT_EQ(box.SetButtonText(Messagebox::ButtonCancel, "&Later"), 0);
    EXPECT_EQ(Button(&box, "&Cancel")->text(), QStringLiteral("&Later"));
    EXPECT_EQ(Button(&box, "&Cancel")->shortcut(), QKeySequence(QStringLiteral("Alt+L")));
    EXPECT_EQ(box.SetButtonText(Messagebox::ButtonYes, "nope"), 2);
}

TEST(MessageboxTest, CriticalReturnsTheClickedCode)
{
    ModalDriver driver([](QDialog* pDialog) { Button(pDialog, "&Retry")->click(); });
    EXPECT_EQ(Messagebox::Critical(nullptr, "Critical", "pick", 5, 6, 7), 6);
    EXPECT_EQ(driver.Seen(), 1);
}

TEST(MessageboxTest, EscapeAndCloseGiveTheEscapeCode)
{
    {
        ModalDriver driver([](QDialog* pDialog) { QTest::keyClick(pDialog, Qt::Key_Escape); });
        EXPECT_EQ(Messagebox::Critical(nullptr, "e1", "x", 3, 4 | Messagebox::ButtonEscape), 4);
    }
    {
        ModalDriver driver([](QDialog* pDialog) { QTest::keyClick(pDialog, Qt::Key_Escape); });
        EXPECT_EQ(Messagebox::Critical(nullptr, "e2", "x", 3, 4), 0);
    }
    {
        ModalDriver driver([](QDialog* pDialog) { pDialog->close(); });
        EXPECT_EQ(Messagebox::Critical(nullptr, "e3", "x", 3, 4 | Messagebox::ButtonEscape), 4);
    }
    {
        ModalDriver driver([](QDialog* pDialog) { pDialog->close(); });
        EXPECT_EQ(Messagebox::Critical(nullptr, "e4", "x", 3, 4), 0);
    }
}

TEST(MessageboxTest, AltWithTheMnemonicClicksTheButton)
{
    ModalDriver driver([](QDialog* pDialog) { QTest::keyClick(pDialog, Qt::Key_N, Qt::AltModifier); });
    EXPECT_EQ(Messagebox::Critical(nullptr, "alt", "x", 3, 4), 4);
}

TEST(MessageboxTest, InformationIndexesAndEmptyFirstText)
{
    {
        QString firstText;
        ModalDriver driver([&firstText](QDialog* pDialog) {
            firstText = Button(pDialog, "&OK")->text();
            QTest::keyClick(pDialog, Qt::Key_Escape);
        });
        EXPECT_EQ(Messagebox::Information(nullptr, "i1", "x"), -1);
        EXPECT_EQ(firstText, QStringLiteral("&OK"));
    }
    {
        ModalDriver driver([](QDialog* pDialog) {
            EXPECT_TRUE(Button(pDialog, "&Yes")->isDefault());
            EXPECT_EQ(Button(pDialog, "&Yes")->text(), QStringLiteral("Three"));
            Button(pDialog, "&Cancel")->click();
        });
        EXPECT_EQ(Messagebox::Warning(nullptr, "i2", "x", "One", "Two", "Three", 2, -1), 1);
    }
    {
        ModalDriver driver([](QDialog* pDialog) { QTest::keyClick(pDialog, Qt::Key_Escape); });
        EXPECT_EQ(Messagebox::Information(nullptr, "i3", "x", "One", "Two", QString(), 0, 1), 1);
    }
}

TEST(MessageboxTest, SuppressedMessageAnswersWithoutAppearing)
{
    {
        ModalDriver driver([](QDialog* pDialog) { TickAndClick(pDialog, "&Cancel"); });
        EXPECT_EQ(Messagebox::Warning(nullptr, "Suppress", "same text", "OK", "Other", QString(), 0, -1,
                                      Messagebox::CheckBoxDontShowAgain),
                  1);
        EXPECT_EQ(driver.Seen(), 1);
    }
    {
        ModalDriver driver([](QDialog* pDialog) { Button(pDialog, "&Cancel")->click(); });
        EXPECT_EQ(Messagebox::Warning(nullptr, "Suppress", "same text", "OK", "Other", QString(), 0, -1,
                                      Messagebox::CheckBoxDontShowAgain),
                  0);
        EXPECT_EQ(driver.Seen(), 0);
        Messagebox direct("Suppress", "same text", Messagebox::IconNone, 2, 0, 0);
        EXPECT_EQ(direct.exec(), 1);
        EXPECT_EQ(driver.Seen(), 0);
    }
    {
        // Another title is another message; title and text are joined
        // without separator, so the key is about the whole text.
        ModalDriver driver([](QDialog* pDialog) { Button(pDialog, "&OK")->click(); });
        EXPECT_EQ(Messagebox::Warning(nullptr, "Suppress2", "same text", QString(), QString(), QString(), 0,
                                      -1, Messagebox::CheckBoxDontShowAgain),
                  0);
        EXPECT_EQ(driver.Seen(), 1);
    }
}

TEST(MessageboxTest, UntickedRunsAreNotRemembered)
{
    for (int run = 0; run < 2; ++run) {
        ModalDriver driver([](QDialog* pDialog) { Button(pDialog, "&OK")->click(); });
        EXPECT_EQ(Messagebox::Critical(nullptr, "Unticked", "t", 1, 0, 0, Messagebox::CheckBoxDontShowAgain), 1);
        EXPECT_EQ(driver.Seen(), 1) << run;
    }
}

TEST(MessageboxTest, RememberKeepsTheLastTickedResult)
{
    auto runBox = [](const char* pClick, bool tick) {
        ModalDriver driver([=](QDialog* pDialog) {
            if (tick)
                TickAndClick(pDialog, pClick);
            else
                Button(pDialog, pClick)->click();
        });
        const int result = Messagebox::Critical(nullptr, "Remember", "t", 3, 4, 2, Messagebox::CheckBoxRemember);
        return std::make_pair(result, driver.Seen());
    };
    EXPECT_EQ(runBox("&No", false), std::make_pair(4, 1));
    EXPECT_EQ(runBox("&No", true), std::make_pair(4, 1));
    EXPECT_EQ(runBox("&Yes", true), std::make_pair(4, 0)); // answered by itself
}

TEST(MessageboxTest, RememberedTitleBarCloseAnswersTheEscapeCode)
{
    // Ticked, then closed by the title bar: the escape code is both the answer
    // and what is remembered; without an escape button both are 0.
    struct Case
    {
        const char* mTitle;
        int mEscapeFlag;
        int mExpected;
    };
    for (const Case& rCase : {Case{"RememberClose", Messagebox::ButtonEscape, 4}, Case{"RememberClose0", 0, 0}}) {
        for (int run = 0; run < 2; ++run) {
            ModalDriver driver([](QDialog* pDialog) {
                pDialog->findChild<QCheckBox*>()->setChecked(true);
                pDialog->close();
            });
            EXPECT_EQ(Messagebox::Critical(nullptr, rCase.mTitle, "t", 3, 4 | rCase.mEscapeFlag, 0,
                                           Messagebox::CheckBoxRemember),
                      rCase.mExpected)
                << rCase.mTitle << " run " << run;
            EXPECT_EQ(driver.Seen(), run == 0 ? 1 : 0) << rCase.mTitle;
        }
    }
}

TEST(MessageboxTest, WidthBetween365AndTwoThirdsOfTheScreen)
{
    Messagebox shortBox("t", "short", Messagebox::IconInformation, 1, 0, 0);
    EXPECT_EQ(shortBox.sizeHint().width(), 365);

    const QString longText(2000, QLatin1Char('W'));
    Messagebox longBox("t", longText, Messagebox::IconInformation, 1, 2, 3, nullptr, Qt::WindowFlags(),
                       Messagebox::CheckBoxRemember);
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    EXPECT_EQ(longBox.sizeHint().width(), screenWidth * 2 / 3);

    // A check-box row adds 30 pixels of height.
    Messagebox plain("t", "short", Messagebox::IconNone, 1, 0, 0);
    Messagebox checked("t", "short", Messagebox::IconNone, 1, 0, 0, nullptr, Qt::WindowFlags(),
                       Messagebox::CheckBoxDontShowAgain);
    EXPECT_EQ(checked.sizeHint().height() - plain.sizeHint().height(), 30);
}

// Shows the box and checks what the operator sees of it: no wider than two
// thirds of the screen, the text wrapped within its label and whole, every
// button whole inside the box.
void ExpectWholeAndWrapped(Messagebox& rBox, const std::string& rCase)
{
    rBox.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&rBox)) << rCase;
    QApplication::processEvents();
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    EXPECT_LE(rBox.width(), screenWidth * 2 / 3) << rCase;
    EXPECT_GE(rBox.width(), 365) << rCase;
    // The size the box asks for holds every row as well.
    EXPECT_GE(rBox.sizeHint().height(), rBox.layout()->totalHeightForWidth(rBox.sizeHint().width())) << rCase;
    const QLabel* pLabel = rBox.findChild<QLabel*>("jox_msgbox_label");
    ASSERT_NE(pLabel, nullptr);
    const QRect needed = pLabel->fontMetrics().boundingRect(QRect(0, 0, pLabel->width(), 100000),
                                                            Qt::AlignLeft | Qt::TextWordWrap, pLabel->text());
    EXPECT_LE(needed.width(), pLabel->width()) << rCase;
    EXPECT_GE(pLabel->height(), needed.height()) << rCase;
    QList<const QWidget*> shown = {pLabel};
    for (const QPushButton* pButton : rBox.findChildren<QPushButton*>())
        shown.append(pButton);
    // Whole: inside its frame, the frame inside the box.
    for (const QWidget* pWidget : std::as_const(shown))
    {
        for (const QWidget* pPart = pWidget; pPart != &rBox; pPart = pPart->parentWidget())
        {
            EXPECT_TRUE(pPart->parentWidget()->rect().contains(pPart->geometry()))
                << rCase << ": " << pPart->metaObject()->className() << " " << pPart->objectName().toStdString() << " at "
                << pPart->y() << "+" << pPart->height() << " in " << pPart->parentWidget()->height();
        }
    }
}

TEST(MessageboxTest, TextIsWrappedPlainAndEveryRowIsWhole)
{
    QString sentence;
    for (int i = 0; i < 60; ++i)
        sentence += QStringLiteral("word%1 ").arg(i);
    const struct
    {
        const char* mName;
        QString mText;
        int mCheckBoxMode;
    } cases[] = {
        {"short", QStringLiteral("short"), Messagebox::CheckBoxNone},
        {"long sentence", sentence, Messagebox::CheckBoxNone},
        {"long name on a line of its own",
         QStringLiteral("The following files already exists locally.\n") + QString(300, QLatin1Char('n')) +
             QStringLiteral(".zip\nb.zip"),
         Messagebox::CheckBoxNone},
        {"markup from a server", QStringLiteral("Reason: <b>bold</b> &amp; <i>more</i>\nDetail: second line"),
         Messagebox::CheckBoxNone},
        {"with check box", sentence, Messagebox::CheckBoxDontShowAgain},
    };
    for (const auto& rCase : cases)
    {
        Messagebox box("t", rCase.mText, Messagebox::IconWarning, 1, 0, 0, nullptr, Qt::WindowFlags(),
                       rCase.mCheckBoxMode);
        ExpectWholeAndWrapped(box, rCase.mName);
        EXPECT_EQ(box.Text(), rCase.mText) << rCase.mName;
    }

    // Markup is shown as it is, with its line break.
    Messagebox markup("t", cases[3].mText, Messagebox::IconWarning, 1, 0, 0);
    const QLabel* pLabel = markup.findChild<QLabel*>("jox_msgbox_label");
    EXPECT_EQ(pLabel->textFormat(), Qt::PlainText);
    EXPECT_GE(pLabel->heightForWidth(300), 2 * pLabel->fontMetrics().lineSpacing());
}

TEST(MessageboxTest, AppendedTextIsAParagraphOnceAndTheOpenBoxRefits)
{
    Messagebox box("Request Failed", "Deleting failed on server a.\nReason: x", Messagebox::IconWarning, 1, 0, 0);
    ExpectWholeAndWrapped(box, "before");
    const int height = box.height();

    QString second = QStringLiteral("Listing the log packages failed on server a.\nReason: ");
    for (int i = 0; i < 40; ++i)
        second += QStringLiteral("<b>fault%1</b> ").arg(i);
    EXPECT_TRUE(box.AppendPlainText(second));
    EXPECT_FALSE(box.AppendPlainText(second));
    EXPECT_FALSE(box.AppendPlainText(QStringLiteral("Deleting failed on server a.\nReason: x")));
    EXPECT_EQ(box.Text(), QStringLiteral("Deleting failed on server a.\nReason: x\n\n") + second);
    ExpectWholeAndWrapped(box, "after");
    EXPECT_GT(box.height(), height);
}

// A message is held once, whatever blank lines it holds itself; a part of
// a paragraph is not the paragraph.
TEST(MessageboxTest, AnAppendedTextWithBlankLinesIsHeldOnce)
{
    const QString first = QStringLiteral("Could not request log list from server: a.\n\nThe server did not answer.");
    const QString second = QStringLiteral("Downloading failed on server b.\n\nReason: x\n\n\nDetail: y");
    Messagebox box("Connection Error", first, Messagebox::IconWarning, 1, 0, 0);
    const struct
    {
        QString mText;
        bool mAdded;
    } appends[] = {
        {first, false},
        {QStringLiteral("The server did not answer."), false},
        {second, true},
        {second, false},
        {second, false},
        {QStringLiteral("Reason: x"), false},
        {QStringLiteral("Downloading failed on server b."), false},
        {QStringLiteral("Downloading failed"), true},
        {second, false},
        {QString(), false},
    };
    for (const auto& rAppend : appends)
        EXPECT_EQ(box.AppendPlainText(rAppend.mText), rAppend.mAdded) << rAppend.mText.toStdString();
    EXPECT_EQ(box.Text(), first + QStringLiteral("\n\n") + second + QStringLiteral("\n\nDownloading failed"));
}

TEST(MessageboxTest, OverrideCursorLastsAsLongAsTheBox)
{
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        Messagebox box("t", "x", Messagebox::IconNone, 1, 0, 0);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(MessageboxTest, IconsByNumber)
{
    Messagebox box("t", "x", Messagebox::IconNone, 1, 0, 0);
    QLabel* pIcon = box.findChild<QLabel*>("jox_msgbox_icon_label");
    EXPECT_TRUE(pIcon->pixmap().isNull());
    box.SetIcon(42); // empty pixmap leaves the label as it was
    EXPECT_TRUE(pIcon->pixmap().isNull());
    QPixmap window(64, 64);
    window.fill(Qt::red);
    box.setWindowIcon(QIcon(window));
    box.SetIcon(Messagebox::IconWindow);
    EXPECT_EQ(pIcon->pixmap().size(), QSize(32, 32));
    box.SetIcon(7);
    EXPECT_EQ(pIcon->pixmap().size(), QSize(32, 32));
}

// The program's style sheet makes buttons taller than the style's metric:
// the button row grows with them, so that they stay whole.
TEST(MessageboxTest, ButtonsStayWholeUnderTheProgramsStyleSheet)
{
    QApplication::setStyle(new HarlenStyle());
    {
        Messagebox box("Already Running",
                       "Logs are already being gathered from server 127.0.0.1 (http://127.0.0.1:3402).\n"
                       "Wait until that has ended; the status line shows it.",
                       Messagebox::IconInformation, 1, 0, 0);
        ExpectWholeAndWrapped(box, "information");
        Messagebox checked("Server Version Mismatch", "Server and Client Version differ. Server: 2 Client: 1 ",
                           Messagebox::IconWarning, 1, 0, 0, nullptr, Qt::WindowFlags(), Messagebox::CheckBoxDontShowAgain);
        ExpectWholeAndWrapped(checked, "with check box");
    }
    qApp->setStyleSheet(QString());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

} // namespace
