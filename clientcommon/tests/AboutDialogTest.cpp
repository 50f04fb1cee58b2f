#include <clientcommon/AboutDialog.h>

#include "ModalDriver.h"
#include "TempDir.h"

#include <joxgui/PushButton.h>

#include <QLabel>
#include <QTextEdit>

#include <gtest/gtest.h>

using clientcommon::AboutDialog;
using joxguitest::ModalDriver;

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
