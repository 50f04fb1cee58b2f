#pragma once

#include <QFile>
#include <QMutex>
#include <QString>
#include <QTextStream>

#include <atomic>

// The program's text log: one process-wide instance that writes time-stamped,
// column-aligned lines, starts a new file from 10 MiB on and keeps the ten
// newest older files.
class LogFile
{
public:
    // Sets threshold and header texts (on every call), then creates the
    // instance and opens its first file. False for an empty base path, when
    // an instance exists already, or when the file does not open.
    static bool Start(const QString& rBasePath, unsigned threshold, const QString& rTitle,
                      const QString& rVersion, const QString& rExtra);
    // Writes one line when an instance exists and level <= threshold (unsigned).
    static void Write(const QString& rText, const QString& rSource, int level);

    // The name of the file being written; empty when none is open.
    static QString CurrentFileName();

    // Removes the instance and restores the initial values, so that one test
    // process can start several logs. The program never calls it.
    static void ResetForTesting();

    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

private:
    explicit LogFile(const QString& rBasePath);

    bool Open();
    void PruneOldFiles();
    void Rotate();
    void WriteLine(const QString& rText, const QString& rSource, int level);
    void WriteBareLine(const QString& rText);

    QRecursiveMutex mMutex;
    QFile mFile;
    QTextStream mStream;
    QString mBasePath;

    static std::atomic<LogFile*> instance;
    static std::atomic<unsigned> threshold;
    static QString title;
    static QString version;
    static QString extra;
};
