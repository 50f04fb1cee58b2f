#include <joxcore/CommandEvent.h>

QEvent::Type CommandEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CommandEvent::CommandEvent(const QString& rContext, const QString& rName, CommandArguments* pArguments,
                           bool* pResult, bool* pDone, std::shared_ptr<void> pKeepAlive)
    : QEvent(EventType()),
      mContext(rContext),
      mName(rName),
      mpArguments(pArguments),
      mpResult(pResult),
      mpDone(pDone),
      mpAbandoned(std::make_shared<bool>(false)),
      mpKeepAlive(std::move(pKeepAlive))
{
}

CommandEvent::~CommandEvent() = default;
