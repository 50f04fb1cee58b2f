#include <joxcore/CommandRequestReader.h>

namespace {

// Index of the first character that is not XML white space.
int SkipWhiteSpace(const QString& rText)
{
    int i = 0;
    while (i < rText.size()) {
        const QChar c = rText.at(i);
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            break;
        ++i;
    }
    return i;
}

} // namespace

CommandRequestReader::CommandRequestReader()
{
    Restart();
}

void CommandRequestReader::Restart()
{
    mText.remove(0, SkipWhiteSpace(mText));
    mReader.clear();
    mReader.setNamespaceProcessing(false);
    mDepth = 0;
    mPendingBytes = mText.toUtf8().size();
    if (!mText.isEmpty())
        mReader.addData(mText);
}

void CommandRequestReader::Append(const QByteArray& rBytes)
{
    if (rBytes.isEmpty())
        return;
    // The decoder keeps a character split between two reads.
    const QString text = mDecoder.decode(rBytes);
    mPendingBytes += rBytes.size();
    const bool wasEmpty = mText.isEmpty();
    mText += text;
    if (wasEmpty)
        Restart();
    else
        mReader.addData(text);
}

bool CommandRequestReader::TakeNext(QString& rDocument)
{
    while (!mText.isEmpty()) {
        const QXmlStreamReader::TokenType token = mReader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++mDepth;
        } else if (token == QXmlStreamReader::EndElement) {
            if (--mDepth == 0) {
                const qint64 end = mReader.characterOffset();
                rDocument = mText.left(end);
                mText.remove(0, end);
                Restart();
                return true;
            }
        } else if (token == QXmlStreamReader::Invalid) {
            if (mReader.error() == QXmlStreamReader::PrematureEndOfDocumentError)
                return false;
            rDocument = mText;
            mText.clear();
            Restart();
            return true;
        }
    }
    return false;
}
