#include <logfile/LogFile.h>

#include <logfile/LogRecord.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr qint64 mpRotateMegabytes = 9;       // rotate once size / 1 MiB exceeds this
constexpr int mpKeptOldFiles = 10;
const QString mpFileTimeFormat = QStringLiteral("yyyy-MM-dd_hh-mm-ss");
const QString mpLineTimeFormat = QStringLiteral("yyyy-MM-dd  hh:mm:ss-zzz");

} // namespace

std::atomic<LogFile*> LogFile::instance{nullptr};
std::atomic<unsigned> LogFile::threshold{7};
QString LogFile::title = QStringLiteral("Unknown Kalmbeck Client Software");
QString LogFile::version = QStringLiteral("0.0.0.0");
QString LogFile::extra = QStringLiteral("not log supporting alpha");

LogFile::LogFile(const QString& rBasePath)
    : mFile(QStringLiteral("not_relevant.txt"))
    , mBasePath(rBasePath)
{
}

bool LogFile::Start(const QString& rBasePath, unsigned level, const QString& rTitle,
                    const QString& rVersion, const QString& rExtra)
{
    if (rBasePath.isEmpty())
        return false;
    threshold = level;
    title = rTitle;
    version = rVersion;
    extra = rExtra;
    if (instance.load())
        return false;
    LogFile* pLog = new LogFile(rBasePath);
    instance = pLog;
    QMutexLocker<QRecursiveMutex> lock(&pLog->mMutex);
    if (!pLog->Open())
        return false;
    pLog->WriteLine(QStringLiteral("Start logging ..."), QStringLiteral("startup"), 5);
    return true;
}

void LogFile::Write(const QString& rText, const QString& rSource, int level)
{
    LogFile* pLog = instance.load();
    if (pLog && static_cast<unsigned>(level) <= threshold.load())
        pLog->WriteLine(rText, rSource, level);
}

QString LogFile::CurrentFileName()
{
    LogFile* pLog = instance.load();
    if (!pLog)
        return QString();
    QMutexLocker<QRecursiveMutex> lock(&pLog->mMutex);
    return pLog->mFile.isOpen() ? pLog->mFile.fileName() : QString();
}

void LogFile::ResetForTesting()
{
    delete instance.exchange(nullptr);
    threshold = 7;
    title = QStringLiteral("Unknown Kalmbeck Client Software");
    version = QStringLiteral("0.0.0.0");
    extra = QStringLiteral("not log supporting alpha");
}

bool LogFile::Open()
{
    PruneOldFiles();
    const QDateTime now = QDateTime::currentDateTime();
    const QString stem = mBasePath + QLatin1Char('_') + now.toString(mpFileTimeFormat) +
                         QStringLiteral("_pid") + QString::number(QCoreApplication::applicationPid());
    // A rotation within the same second would truncate the file just
    // finished; the new file gets a counter instead.
    QString name = stem + QStringLiteral(".txt");
    for (int counter = 2; QFile::exists(name); ++counter)
        name = stem + QLatin1Char('_') + QString::number(counter) + QStringLiteral(".txt");
    mFile.setFileName(name);
    if (!mFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    mStream.setDevice(&mFile);
    const QString stars(98, QLatin1Char('*'));
    mStream << stars << Qt::endl
            << "*" << Qt::endl
            << "*    File:" << title << "- LogFile - " << "Kalmbeck JOX GmbH" << Qt::endl
            << "*    Vers: " << version << " " << extra << Qt::endl
            << "*    Date: " << now.toString(mpFileTimeFormat) << Qt::endl
            << "*" << Qt::endl
            << stars << Qt::endl
            << Qt::endl;
    mStream.setFieldAlignment(QTextStream::AlignLeft);
    mStream.flush();
    return true;
}

void LogFile::PruneOldFiles()
{
    const int slash = mBasePath.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : mBasePath.left(slash);
    QString baseName = slash < 0 ? mBasePath : mBasePath.mid(slash + 1);
    if (baseName.size() >= 2) {
        const int underscore = baseName.lastIndexOf(QLatin1Char('_'), baseName.size() - 2);
        if (underscore >= 0)
            baseName.truncate(underscore);
    }
    const QFileInfoList files =
        QDir(folder).entryInfoList(QStringList{baseName + QStringLiteral("*.txt")}, QDir::Files,
                                   QDir::Time);
    for (int i = mpKeptOldFiles; i < files.size(); ++i)
        QFile::remove(files.at(i).filePath());
}

void LogFile::Rotate()
{
    if (mFile.isOpen())
        WriteBareLine(QStringLiteral("starting new log file..."));
    mStream.setDevice(nullptr);
    mFile.close();
    if (Open())
        WriteBareLine(QStringLiteral("new log file started."));
}

void LogFile::WriteBareLine(const QString& rText)
{
    mStream.setFieldWidth(0);
    mStream << rText << Qt::endl;
    mStream.flush();
}

void LogFile::WriteLine(const QString& rText, const QString& rSource, int level)
{
    QMutexLocker<QRecursiveMutex> lock(&mMutex);
    // Without an open file nothing is written: the stream would raise Qt's
    // "device not open" warning, which comes back here as a log record.
    if (!mFile.isOpen())
        return;
    const QString time = QDateTime::currentDateTime().toString(mpLineTimeFormat);
    mStream.setFieldWidth(26);
    mStream << time;
    mStream.setFieldWidth(14);
    mStream << LogLevelName(level) << rSource.left(12);
    mStream.setFieldWidth(0);
    mStream << rText << Qt::endl;
    mStream.flush();
    if (mFile.size() / (1024 * 1024) > mpRotateMegabytes)
        Rotate();
}
