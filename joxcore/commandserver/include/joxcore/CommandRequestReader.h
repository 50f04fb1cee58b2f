#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Collects the bytes one connection sends and cuts them into XML documents:
// a document split over several reads is held until its document element
// is closed, several documents in one read come out one by one. Only the
// markup structure is followed (tags and their nesting, comments, processing
// instructions, CDATA, the document type); the document's parse judges the
// rest. Text outside any element that is not white space, or an end tag that
// closes no open element, makes the whole held input come out at once (its
// parse then reports the fault), and the reader starts afresh. An element
// nested deeper than MaxDepth drops the whole held input, which comes out as
// an empty text with TookTooDeep set: a document parser recurses per level,
// so such a document must never reach one. Each byte is scanned about once.
class CommandRequestReader
{
public:
    // Most bytes a connection may hold without completing a document.
    static constexpr int MaxPendingBytes = 1024 * 1024;
    // Most elements a document may have open at once.
    static constexpr int MaxDepth = 256;

    // Adds received bytes (UTF-8).
    void Append(const QByteArray& rBytes);
    // Takes the next complete document, or the malformed rest; false when
    // nothing is ready yet.
    bool TakeNext(QString& rDocument);
    // True when the text TakeNext gave last stands for input dropped because
    // it nested deeper than MaxDepth (the text is then empty).
    bool TookTooDeep() const { return mTookTooDeep; }
    // Bytes held: the unfinished document and any not yet taken.
    qsizetype PendingBytes() const { return mBuffer.size() - mStart; }
    // True when more than MaxPendingBytes wait without a complete document.
    bool IsOverflowing() const { return PendingBytes() > MaxPendingBytes; }

private:
    enum class Markup { Start, Empty, End, Other };
    // Position just past the markup construct starting at `at` (a '<'), or
    // -1 when it is not complete yet (the scan then resumes where it
    // stopped); rKind tells what it is.
    qsizetype MarkupEnd(qsizetype at, Markup& rKind);
    // The name of a tag whose name starts at `from`.
    QByteArray TagName(qsizetype from, qsizetype end) const;
    // Hands out mBuffer[mStart, end) (or the empty text for input nested too
    // deeply) and moves past it.
    void Take(qsizetype end, QString& rDocument, bool tooDeep = false);

    QByteArray mBuffer;
    // Start of the document being collected.
    qsizetype mStart = 0;
    // Where scanning goes on.
    qsizetype mScan = 0;
    // Names of the elements open in the document being collected.
    QList<QByteArray> mOpen;
    // The unfinished construct's '<', where its scan resumes, and the quote
    // and bracket state there.
    qsizetype mPendingAt = -1;
    qsizetype mPendingScan = 0;
    char mQuote = 0;
    int mBrackets = 0;
    bool mTookTooDeep = false;
};
