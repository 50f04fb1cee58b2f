#include <joxcore/MessageList.h>

#include <QStringList>

namespace JoxCore {

QString MessageListToText(const MessageList& rList)
{
    QStringList lines;
    for (const Message& rMessage : rList) {
        lines << QString::fromUtf8(rMessage.GetTypeName().c_str()) + QStringLiteral("  ") +
                     QString::fromUtf8(rMessage.GetText().c_str()) + QStringLiteral("  ") +
                     QString::fromUtf8(rMessage.GetDetail().c_str());
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace JoxCore
