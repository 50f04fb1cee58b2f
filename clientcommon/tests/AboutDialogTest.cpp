#include <clientcommon/AboutDialog.h>
#include <clientcommon/DocumentOpener.h>

#include "FakeOpener.h"
#include "ModalDriver.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "WaitFor.h"

#include <joxgui/PushButton.h>

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>

using clientcommon::AboutDialog;
using clientcommon::DocumentOpener;
using joxguitest::ModalDriver;
using tandriltest::FakeOpener;

namespace {

QString Text(const QWidget& rDialog, const QString& rName)
{
    const QLabel* pLabel = rDialog.findChild<QLabel*>(rName);
    return pLabel ? pLabel->text() : QStringLiteral("<missing>");
}

JoxGui::PushButton* Button(const QWidget& rDialog, const QString& rText)
{
    for (JoxGui::PushButton* pButton : rDialog.findChildren<JoxGui::PushButton*>())
        if (pButton->text() == rText)
            return pButton;
    return nullptr;
}

// A box's title and its text.
QString TitleAndText(const QDialog& rBox)
{
    QString text;
    for (QLabel* pLabel : rBox.findChildren<QLabel*>())
        if (!pLabel->text().isEmpty())
            text = pLabel->text();
    return rBox.windowTitle() + QStringLiteral(": ") + text;
}

// A document folder holding the acknowledgment.
struct Documents
{
    Documents() { tandriltest::WriteFile(mTemp.File("Open_Source_Acknowledgment.pdf"), "%PDF-1.4\n"); }
    QString Folder() const { return QString::fromStdString(mTemp.Path()) + QLatin1Char('/'); }
    QString Acknowledgment() const { return Folder() + QStringLiteral("Open_Source_Acknowledgment.pdf"); }

    tandriltest::TempDir mTemp;
};

QString OpenFailureBox(const QString& rPath)
{
    return QStringLiteral("Manual: Could not open ") + rPath +
           QStringLiteral(".\nFor this type of manual doesn't exist a default program or it could not be started.");
}

} // namespace

TEST(AboutDialogTest, ShowsVersionsNoticeAndTitle)
{
    tandriltest::TempDir documents;
    tandriltest::WriteFile(documents.File("Copyright.txt"), "Notice \xc3\xa9t\xc3\xa9");
    AboutDialog dialog(nullptr, QStringLiteral("Tandril"), QStringLiteral("Sub"), QPixmap(10, 10), QPixmap(20, 30),
                       0x0100010E, QString(), QString::fromStdString(documents.Path()) + QLatin1Char('/'));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Tandril"));
    EXPECT_EQ(dialog.windowType(), Qt::SplashScreen);
    EXPECT_EQ(Text(dialog, QStringLiteral("AboutValue1")), QStringLiteral("1.0.1.14"));
    EXPECT_EQ(Text(dialog, QStringLiteral("AboutValue2")), QStringLiteral("110481"));
    EXPECT_EQ(Text(dialog, QStringLiteral("AboutValue3")), QStringLiteral("4.8.6"));
    EXPECT_EQ(Text(dialog, QStringLiteral("LabelAboutTitle")), QStringLiteral("Sub"));
    EXPECT_EQ(Text(dialog, QStringLiteral("LabelHeadline")), QStringLiteral("MODULE VERSION"));
    EXPECT_TRUE(Text(dialog, QStringLiteral("LabelAboutRights")).contains(QStringLiteral("2009-")));
    EXPECT_EQ(dialog.findChild<QTextEdit*>()->toPlainText(), QString::fromUtf8("Notice \xc3\xa9t\xc3\xa9"));
    EXPECT_NE(dialog.findChild<QWidget*>(QStringLiteral("HarlenAboutWidget")), nullptr);

    AboutDialog withRevision(nullptr, QStringLiteral("X"), QString(), QPixmap(), QPixmap(), 0x02030405,
                             QStringLiteral("r7"), QStringLiteral("/nonexistent/"));
    EXPECT_EQ(Text(withRevision, QStringLiteral("AboutValue1")), QStringLiteral("2.3.4.5 r7"));
    EXPECT_TRUE(withRevision.findChild<QTextEdit*>()->toPlainText().isEmpty());
}

TEST(AboutDialogTest, YearRangeFromTheCompileDate)
{
    EXPECT_EQ(AboutDialog::YearRange("Aug 30 2016"), QStringLiteral("2009-2016"));
    EXPECT_EQ(AboutDialog::YearRange("Jan  1 2009"), QStringLiteral("2009"));
    EXPECT_EQ(AboutDialog::YearRange("nodate"), QStringLiteral("2009-2016"));
}

TEST(AboutDialogTest, MissingAcknowledgmentShowsTheManualBox)
{
    tandriltest::TempDir documents;
    const QString folder = QString::fromStdString(documents.Path()) + QLatin1Char('/');
    AboutDialog dialog(nullptr, QStringLiteral("Tandril"), QString(), QPixmap(), QPixmap(), 0x0100010E, QString(), folder);
    dialog.show();
    QString title, text;
    {
        ModalDriver driver([&](QDialog* pBox) {
            if (pBox == &dialog)
                return;
            title = pBox->windowTitle();
            for (QLabel* pLabel : pBox->findChildren<QLabel*>())
                if (!pLabel->text().isEmpty())
                    text = pLabel->text();
            pBox->accept();
        });
        Button(dialog, QStringLiteral("Open Source Acknowledgment"))->click();
    }
    EXPECT_EQ(title, QStringLiteral("Manual"));
    EXPECT_EQ(text, QStringLiteral("Could not open ") + folder + QStringLiteral("Open_Source_Acknowledgment.pdf"));

    Button(dialog, QStringLiteral("Close"))->click();
    EXPECT_FALSE(dialog.isVisible());
}

// The opener's end decides: one that fails or cannot be started gives the
// "Manual" box with the line about the missing program, one that succeeds
// none.
TEST(AboutDialogTest, TheAcknowledgmentOpenersEndIsShown)
{
    const struct
    {
        const char* mCase;
        bool mInstalled;
        int mExitCode;
        bool mBox;
    } cases[] = {{"the opener succeeds", true, 0, false},
                 {"the opener fails", true, 4, true},
                 {"there is no opener", false, 0, true}};
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mCase);
        Documents documents;
        std::unique_ptr<FakeOpener> pFake;
        std::unique_ptr<tandriltest::ScopedEnv> pPath;
        if (rCase.mInstalled)
            pFake = std::make_unique<FakeOpener>(rCase.mExitCode);
        else
            pPath = std::make_unique<tandriltest::ScopedEnv>("PATH", documents.mTemp.Path().c_str());
        AboutDialog dialog(nullptr, QStringLiteral("Tandril"), QString(), QPixmap(), QPixmap(), 0x0100010E, QString(),
                           documents.Folder());
        dialog.show();
        auto* pOpener = dialog.findChild<DocumentOpener*>();
        ASSERT_NE(pOpener, nullptr);
        QSignalSpy ended(pOpener, &DocumentOpener::SignalEnded);
        QStringList boxes;
        {
            ModalDriver driver([&](QDialog* pBox) {
                if (pBox == &dialog)
                    return;
                boxes.append(TitleAndText(*pBox));
                pBox->accept();
            });
            Button(dialog, QStringLiteral("Open Source Acknowledgment"))->click();
            ASSERT_TRUE(tandriltest::WaitFor([&] { return ended.count() == 1; }));
        }
        EXPECT_EQ(boxes.join(QLatin1Char('|')).toStdString(),
                  rCase.mBox ? OpenFailureBox(documents.Acknowledgment()).toStdString() : std::string());
        if (pFake)
        {
            EXPECT_EQ(pFake->Arguments(), documents.Acknowledgment().toStdString() + "\n");
        }
    }
}

// The dialog does not wait for the opener, and a failure that comes after
// it has closed is shown over its parent.
TEST(AboutDialogTest, AnOpenerEndingAfterTheDialogClosedIsShownOverItsParent)
{
    Documents documents;
    FakeOpener fake(4, true);
    QWidget owner;
    owner.show();
    auto* pDialog = new AboutDialog(&owner, QStringLiteral("Tandril"), QString(), QPixmap(), QPixmap(), 0x0100010E,
                                    QString(), documents.Folder());
    pDialog->show();
    Button(*pDialog, QStringLiteral("Open Source Acknowledgment"))->click();
    ASSERT_TRUE(tandriltest::WaitFor([&] { return !fake.Arguments().empty(); }));
    const QPointer<DocumentOpener> pOpener(pDialog->findChild<DocumentOpener*>());
    ASSERT_FALSE(pOpener.isNull());
    EXPECT_EQ(pOpener->Running(), 1);
    delete pDialog;
    ASSERT_FALSE(pOpener.isNull());

    QStringList boxes;
    QWidget* pBoxParent = nullptr;
    {
        ModalDriver driver([&](QDialog* pBox) {
            boxes.append(TitleAndText(*pBox));
            pBoxParent = pBox->parentWidget();
            pBox->accept();
        });
        fake.Release();
        // Once its run has ended the opener goes.
        EXPECT_TRUE(tandriltest::WaitFor([&] { return pOpener.isNull(); }));
    }
    EXPECT_EQ(boxes.join(QLatin1Char('|')).toStdString(), OpenFailureBox(documents.Acknowledgment()).toStdString());
    EXPECT_EQ(pBoxParent, &owner);
}
