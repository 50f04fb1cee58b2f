#include <joxcore/CommandRequestReader.h>

namespace {

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

void CommandRequestReader::Append(const QByteArray& rBytes)
{
    // Drop what was handed out once it is most of the buffer.
    if (mStart > 0 && mStart >= mBuffer.size() / 2) {
        mBuffer.remove(0, mStart);
        mScan -= mStart;
        if (mPendingAt >= 0) {
            mPendingAt -= mStart;
            mPendingScan -= mStart;
        }
        mStart = 0;
    }
    mBuffer.append(rBytes);
}

qsizetype CommandRequestReader::MarkupEnd(qsizetype at, Markup& rKind)
{
    const qsizetype size = mBuffer.size();
    // An unfinished construct goes on where the last scan stopped.
    if (mPendingAt != at) {
        mPendingAt = at;
        mPendingScan = at + 1;
        mQuote = 0;
        mBrackets = 0;
    }
    auto startsWith = [this, at, size](const char* pText, qsizetype length) {
        // -1: the buffer ends inside a possible match; 0 no; 1 yes.
        for (qsizetype i = 0; i < length; ++i) {
            if (at + i >= size)
                return -1;
            if (mBuffer.at(at + i) != pText[i])
                return 0;
        }
        return 1;
    };
    auto find = [this, size](const char* pText, qsizetype from) {
        const qsizetype length = qsizetype(qstrlen(pText));
        const qsizetype found = mBuffer.indexOf(pText, qMax(from, mPendingScan));
        if (found >= 0)
            return found + length;
        mPendingScan = qMax(from, size - length + 1);
        return qsizetype(-1);
    };
    // From `from` to just past the first character outside quotes that isEnd
    // accepts; -1 when the buffer ends first (the quote state is kept).
    auto scanUnquoted = [this, size](qsizetype from, auto isEnd) {
        for (qsizetype i = from; i < size; ++i) {
            const char c = mBuffer.at(i);
            if (mQuote != 0) {
                if (c == mQuote)
                    mQuote = 0;
            } else if (c == '"' || c == '\'') {
                mQuote = c;
            } else if (isEnd(c, i)) {
                return i + 1;
            }
        }
        mPendingScan = size;
        return qsizetype(-1);
    };
    rKind = Markup::Other;
    if (at + 1 >= size)
        return -1;
    const char next = mBuffer.at(at + 1);
    if (next == '?')
        return find("?>", at + 2);
    if (next == '!') {
        const int comment = startsWith("<!--", 4);
        if (comment != 0)
            return comment < 0 ? -1 : find("-->", at + 4);
        const int cdata = startsWith("<![CDATA[", 9);
        if (cdata != 0)
            return cdata < 0 ? -1 : find("]]>", at + 9);
        // Document type: ends at a '>' outside quotes and the internal subset.
        return scanUnquoted(qMax(at + 2, mPendingScan), [this](char c, qsizetype) {
            if (c == '[')
                ++mBrackets;
            else if (c == ']')
                --mBrackets;
            else
                return c == '>' && mBrackets <= 0;
            return false;
        });
    }
    // A tag: ends at a '>' outside quoted attribute values.
    rKind = next == '/' ? Markup::End : Markup::Start;
    return scanUnquoted(mPendingScan, [this, &rKind](char c, qsizetype i) {
        if (c != '>')
            return false;
        if (rKind == Markup::Start && mBuffer.at(i - 1) == '/')
            rKind = Markup::Empty;
        return true;
    });
}

QByteArray CommandRequestReader::TagName(qsizetype from, qsizetype end) const
{
    qsizetype to = from;
    while (to < end) {
        const char c = mBuffer.at(to);
        if (IsWhiteSpace(c) || c == '/' || c == '>')
            break;
        ++to;
    }
    return mBuffer.mid(from, to - from);
}

void CommandRequestReader::Take(qsizetype end, QString& rDocument, bool tooDeep)
{
    mTookTooDeep = tooDeep;
    rDocument = tooDeep ? QString() : QString::fromUtf8(mBuffer.constData() + mStart, end - mStart);
    mStart = end;
    mScan = end;
    mOpen.clear();
    mPendingAt = -1;
    if (mStart == mBuffer.size()) {
        mBuffer.clear();
        mStart = mScan = 0;
    }
}

bool CommandRequestReader::TakeNext(QString& rDocument)
{
    const qsizetype size = mBuffer.size();
    while (mScan < size) {
        const char c = mBuffer.at(mScan);
        if (c != '<') {
            if (mOpen.isEmpty() && !IsWhiteSpace(c)) {
                // Text outside the document element: not a document.
                Take(size, rDocument);
                return true;
            }
            if (mOpen.isEmpty() && mStart == mScan)
                ++mStart; // white space before a document is not part of it
            ++mScan;
            continue;
        }
        Markup kind = Markup::Other;
        const qsizetype end = MarkupEnd(mScan, kind);
        if (end < 0)
            return false;
        mPendingAt = -1;
        const qsizetype at = mScan;
        mScan = end;
        if (kind == Markup::Start) {
            if (mOpen.size() >= MaxDepth) {
                Take(size, rDocument, true);
                return true;
            }
            mOpen.append(TagName(at + 1, end));
        } else if (kind == Markup::End) {
            // An end tag that closes no open element ends the input held.
            if (mOpen.isEmpty() || mOpen.takeLast() != TagName(at + 2, end)) {
                Take(size, rDocument);
                return true;
            }
        }
        if ((kind == Markup::End || kind == Markup::Empty) && mOpen.isEmpty()) {
            Take(end, rDocument);
            return true;
        }
    }
    return false;
}
