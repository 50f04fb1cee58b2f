// Writes the documents that lie beside the program:
//   tandril-docs-writer LIBRARIES NOTICE_TEMPLATE FOLDER
// FOLDER/Open_Source_Acknowledgment.pdf from the library list, and
// FOLDER/Copyright.txt from the notice template, its "%YEARS%" replaced by
// the year range the about dialog shows.
#include <clientcommon/AboutDialog.h>
#include <docswriter/AcknowledgmentList.h>

#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace {

int Fail(const QString& rWhy)
{
    std::fprintf(stderr, "tandril-docs-writer: %s\n", rWhy.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4)
        return Fail(QStringLiteral("usage: tandril-docs-writer LIBRARIES NOTICE_TEMPLATE FOLDER"));
    const QString folder = arguments.at(3) + QLatin1Char('/');

    docswriter::AcknowledgmentList list;
    QString error;
    if (!list.Read(arguments.at(1), error))
        return Fail(error);
    if (!list.WritePdf(folder + QStringLiteral("Open_Source_Acknowledgment.pdf")))
        return Fail(QStringLiteral("cannot write %1Open_Source_Acknowledgment.pdf").arg(folder));

    QFile notice(arguments.at(2));
    if (!notice.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("%1: %2").arg(arguments.at(2), notice.errorString()));
    const QString text = QString::fromUtf8(notice.readAll())
                             .replace(QStringLiteral("%YEARS%"), clientcommon::AboutDialog::YearRange(__DATE__));
    QSaveFile copyright(folder + QStringLiteral("Copyright.txt"));
    if (!copyright.open(QIODevice::WriteOnly) || copyright.write(text.toUtf8()) < 0 || !copyright.commit())
        return Fail(QStringLiteral("cannot write %1Copyright.txt").arg(folder));
    return 0;
}
