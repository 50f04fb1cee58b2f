#pragma once

#include <QEvent>
#include <QString>

#include <memory>

struct CommandArguments;

// A command handed to the CommandEventHandler: it runs the dispatch on its
// own thread, stores the result and sets the done flag under the event
// mutex, and wakes the waiting sender. The pointed-to arguments, result and
// done flag must outlive the event; pKeepAlive may own them for that.
class CommandEvent : public QEvent
{
public:
    // The event type, registered once.
    static QEvent::Type EventType();

    CommandEvent(const QString& rContext, const QString& rName, CommandArguments* pArguments,
                 bool* pResult, bool* pDone, std::shared_ptr<void> pKeepAlive = nullptr);
    ~CommandEvent() override;

    QString mContext;
    QString mName;
    CommandArguments* mpArguments;
    bool* mpResult;
    bool* mpDone;
    // Set (under the event mutex) by a sender that stopped waiting: the
    // command is then not run.
    std::shared_ptr<bool> mpAbandoned;

private:
    std::shared_ptr<void> mpKeepAlive;
};
