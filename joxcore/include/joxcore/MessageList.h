#pragma once

#include <joxcore/Message.h>

#include <QString>
#include <QVector>

namespace JoxCore {

// Implicitly shared: copies share the messages until one side changes.
using MessageList = QVector<Message>;

// One line per message: type name, two blanks, text, two blanks, detail;
// lines joined by "\n" with none after the last.
QString MessageListToText(const MessageList& rList);

} // namespace JoxCore
