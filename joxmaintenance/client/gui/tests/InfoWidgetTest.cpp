#include <gui/InfoWidget.h>

#include "ModalDriver.h"

#include <clientcommon/AboutDialog.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using joxguitest::ModalDriver;
using joxmaintenance::InfoWidget;

namespace {

QPushButton* Button(const QWidget& rPanel, const QString& rText)
{
    for (QPushButton* pButton : rPanel.findChildren<QPushButton*>())
        if (pButton->text() == rText)
            return pButton;
    return nullptr;
}

} // namespace

TEST(InfoWidgetTest, ButtonsAndFold)
{
    InfoWidget panel;
    panel.show();
    QPushButton* pDocumentation = Button(panel, QStringLiteral("DOCUMENTATION"));
    QPushButton* pAbout = Button(panel, QStringLiteral("ABOUT"));
    ASSERT_NE(pDocumentation, nullptr);
    ASSERT_NE(pAbout, nullptr);
    EXPECT_EQ(pDocumentation->objectName(), QStringLiteral("ManagementButton"));
    EXPECT_EQ(pDocumentation->height(), 30);
    EXPECT_TRUE(pDocumentation->isVisible());

    // The fold button shows the content when checked and hides it when not.
    QPushButton* pFold = panel.findChild<QPushButton*>(QStringLiteral("ButtonHeaderFold"));
    ASSERT_NE(pFold, nullptr);
    EXPECT_FALSE(pFold->isChecked());
    pFold->click();
    EXPECT_TRUE(pDocumentation->isVisible());
    pFold->click();
    EXPECT_FALSE(pDocumentation->isVisible());
}

TEST(InfoWidgetTest, MissingDocumentationShowsTheManualBox)
{
    ASSERT_FALSE(QFile::exists(InfoWidget::DocumentationPath()));
    InfoWidget panel;
    panel.show();
    QString title, text;
    ModalDriver driver([&](QDialog* pBox) {
        title = pBox->windowTitle();
        for (QLabel* pLabel : pBox->findChildren<QLabel*>())
            if (!pLabel->text().isEmpty())
                text = pLabel->text();
        pBox->accept();
    });
    Button(panel, QStringLiteral("DOCUMENTATION"))->click();
    EXPECT_EQ(title, QStringLiteral("Manual"));
    EXPECT_EQ(text, QStringLiteral("Could not open ") + InfoWidget::DocumentationPath());
    EXPECT_TRUE(InfoWidget::DocumentationPath().endsWith(QStringLiteral("/docs/html/index.html")));
}

TEST(InfoWidgetTest, AboutRunsModallyWithTheProgramVersion)
{
    InfoWidget panel;
    panel.show();
    QString version;
    bool modal = false;
    ModalDriver driver([&](QDialog* pDialog) {
        if (auto* pAbout = qobject_cast<clientcommon::AboutDialog*>(pDialog))
        {
            modal = pAbout->isModal();
            if (QLabel* pLabel = pAbout->findChild<QLabel*>(QStringLiteral("AboutValue1")))
                version = pLabel->text();
            // Closed from the dialog's own loop, not while it is still
            // being shown.
            QTimer::singleShot(100, pAbout, &QDialog::reject);
        }
    });
    Button(panel, QStringLiteral("ABOUT"))->click();
    EXPECT_EQ(driver.Seen(), 1);
    EXPECT_TRUE(modal);
    EXPECT_EQ(version, QStringLiteral("1.0.1.14"));
}
