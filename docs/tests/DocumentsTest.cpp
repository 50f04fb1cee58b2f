// The documents the program opens, as the build puts them into its folder:
// the info panel opens the operator's guide, the about dialog shows the
// notice and opens the acknowledgment, and the acknowledgment names every
// library the programs need.
#include <clientcommon/AboutDialog.h>
#include <clientcommon/DocumentOpener.h>
#include <docswriter/AcknowledgmentList.h>
#include <gui/InfoWidget.h>
#include <zephrane/Utilities.h>

#include "FakeOpener.h"
#include "ModalDriver.h"
#include "TempDir.h"
#include "WaitFor.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

using joxguitest::ModalDriver;
using joxmaintenance::InfoWidget;
using tandriltest::FakeOpener;

namespace {

QString ProgramFolder()
{
    return QString::fromStdWString(zephrane::ExecutableDirectory());
}

QByteArray Contents(const QString& rPath)
{
    QFile file(rPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <typename Button>
Button* FindButton(const QWidget& rParent, const QString& rText)
{
    for (Button* pButton : rParent.findChildren<Button*>())
        if (pButton->text() == rText)
            return pButton;
    return nullptr;
}

// The titles of message boxes that came up, other than the about dialog.
QStringList gBoxes;

void RecordBox(QDialog* pBox)
{
    gBoxes.append(pBox->windowTitle());
    pBox->accept();
}

} // namespace

// The guide is handed to the opener; when the opener fails (a desktop
// without a program for web pages), the "Manual" box says so.
TEST(DocumentsTest, TheDocumentationButtonOpensTheGuideBesideTheProgram)
{
    const QString guide = ProgramFolder() + QStringLiteral("docs/html/index.html");
    ASSERT_EQ(InfoWidget::DocumentationPath(), guide);
    EXPECT_EQ(Contents(guide), Contents(QStringLiteral(TANDRIL_DOCS_GUIDE_SOURCE)));

    const struct
    {
        int mExitCode;
        QString mBoxes;
    } cases[] = {{0, QString()},
                 {4, QStringLiteral("Manual: Could not open ") + guide +
                         QStringLiteral(".\nFor this type of manual doesn't exist a default program or it could not "
                                        "be started.")}};
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mExitCode);
        FakeOpener opener(rCase.mExitCode);
        InfoWidget panel;
        panel.show();
        auto* pOpener = panel.findChild<clientcommon::DocumentOpener*>();
        ASSERT_NE(pOpener, nullptr);
        QSignalSpy ended(pOpener, &clientcommon::DocumentOpener::SignalEnded);
        QStringList boxes;
        {
            ModalDriver driver([&](QDialog* pBox) {
                QString text;
                for (QLabel* pLabel : pBox->findChildren<QLabel*>())
                    if (!pLabel->text().isEmpty())
                        text = pLabel->text();
                boxes.append(pBox->windowTitle() + QStringLiteral(": ") + text);
                pBox->accept();
            });
            FindButton<QPushButton>(panel, QStringLiteral("DOCUMENTATION"))->click();
            ASSERT_TRUE(tandriltest::WaitFor([&] { return ended.count() == 1; }));
        }
        EXPECT_EQ(opener.Arguments(), guide.toStdString() + "\n");
        EXPECT_EQ(boxes.join(QLatin1Char('|')).toStdString(), rCase.mBoxes.toStdString());
    }
}

TEST(DocumentsTest, TheAboutDialogShowsTheNoticeAndOpensTheAcknowledgment)
{
    const QString folder = ProgramFolder();
    const QString acknowledgment = folder + QStringLiteral("Open_Source_Acknowledgment.pdf");
    ASSERT_TRUE(Contents(acknowledgment).startsWith("%PDF-"));

    FakeOpener opener;
    gBoxes.clear();
    InfoWidget panel;
    panel.show();
    QString notice;
    {
        ModalDriver driver([&](QDialog* pDialog) {
            auto* pAbout = qobject_cast<clientcommon::AboutDialog*>(pDialog);
            if (pAbout == nullptr)
                return RecordBox(pDialog);
            if (!notice.isNull())
                return;
            notice = pAbout->findChild<QTextEdit*>(QStringLiteral("AboutNotice"))->toPlainText();
            // Clicked from the dialog's own loop, so that a box it shows
            // reaches the driver.
            QTimer::singleShot(0, FindButton<QPushButton>(*pAbout, QStringLiteral("Open Source Acknowledgment")),
                               &QPushButton::click);
            QTimer::singleShot(100, pAbout, &QDialog::reject);
        });
        FindButton<QPushButton>(panel, QStringLiteral("ABOUT"))->click();
        EXPECT_TRUE(tandriltest::WaitFor([&] { return !opener.Arguments().empty(); }));
    }
    EXPECT_EQ(notice, QString::fromUtf8(Contents(folder + QStringLiteral("Copyright.txt"))));
    EXPECT_TRUE(notice.startsWith(QStringLiteral("Tandril\nCopyright %1 Kalmbeck JOX GmbH. All rights reserved.\n")
                                      .arg(clientcommon::AboutDialog::YearRange(__DATE__))))
        << notice.toStdString();
    EXPECT_EQ(opener.Arguments(), acknowledgment.toStdString() + "\n");
    EXPECT_TRUE(gBoxes.isEmpty()) << gBoxes.join(QStringLiteral(", ")).toStdString();
}

// Every shared library the program and the discovery library need, other
// than those built with them, has its entry in the acknowledgment.
TEST(DocumentsTest, TheAcknowledgmentNamesEveryLibraryTheProgramsNeed)
{
    docswriter::AcknowledgmentList list;
    QString error;
    ASSERT_TRUE(list.Read(QStringLiteral(TANDRIL_DOCS_LIBRARIES), error)) << error.toStdString();
    const QStringList named = list.Files();

    const QDir folder(ProgramFolder());
    for (const QString& rBinary : {QStringLiteral("tandril"), QStringLiteral("libpelwick.so")})
    {
        SCOPED_TRACE(rBinary.toStdString());
        QProcess readelf;
        readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), folder.filePath(rBinary)});
        if (!readelf.waitForFinished(30000) || readelf.exitStatus() != QProcess::NormalExit)
            GTEST_SKIP() << "readelf could not be run";
        ASSERT_EQ(readelf.exitCode(), 0) << readelf.readAllStandardError().toStdString();
        const QString output = QString::fromLocal8Bit(readelf.readAllStandardOutput());
        QStringList needed;
        const QRegularExpression entry(QStringLiteral("\\(NEEDED\\)\\s+Shared library: \\[([^\\]]+)\\]"));
        for (auto it = entry.globalMatch(output); it.hasNext();)
            needed.append(it.next().captured(1));
        ASSERT_FALSE(needed.isEmpty()) << output.toStdString();
        for (const QString& rLibrary : needed)
        {
            // Built here, or the sanitizer runtimes of a sanitizer build.
            if (folder.exists(rLibrary) || rLibrary.startsWith(QStringLiteral("libasan.")) ||
                rLibrary.startsWith(QStringLiteral("libubsan.")))
                continue;
            EXPECT_TRUE(named.contains(rLibrary)) << rLibrary.toStdString() << " is not acknowledged";
        }
    }
}
