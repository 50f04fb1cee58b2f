#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QXmlStreamReader>

// Collects the bytes one connection sends and cuts them into XML documents:
// a document split over several reads is held until it is complete, several
// documents in one read come out one by one. Text that cannot become a
// well-formed document comes out whole (its parse then reports the fault),
// and the reader starts afresh.
class CommandRequestReader
{
public:
    // Most bytes a connection may hold without completing a document.
    static constexpr int MaxPendingBytes = 1024 * 1024;

    CommandRequestReader();

    // Adds received bytes (UTF-8).
    void Append(const QByteArray& rBytes);
    // Takes the next complete document, or the malformed rest; false when
    // nothing is ready yet.
    bool TakeNext(QString& rDocument);
    // True when more than MaxPendingBytes wait without a complete document.
    bool IsOverflowing() const { return mPendingBytes > MaxPendingBytes; }

private:
    void Restart();

    QStringDecoder mDecoder{QStringDecoder::Utf8};
    QString mText;
    qint64 mPendingBytes = 0;
    QXmlStreamReader mReader;
    int mDepth = 0;
};
