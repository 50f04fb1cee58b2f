#pragma once

#include <joxcore/ICommand.h>
#include <joxcore/MessageList.h>

namespace JoxCore {

enum BasicCommandState
{
    StateNew = 0,
    StateRunning = 1,
    StateSucceeded = 2,
    StateFailed = 3
};

// Keeps a command's state and the messages its work produced.
class BasicCommand : public ICommand
{
public:
    BasicCommand();

    int GetState() const override;
    // Stores the value unchecked.
    void SetState(int state) override;

    // The message list as one text (MessageListToText).
    QString GetMessagesText() const;

protected:
    MessageList mMessageList;
    int mState;
};

} // namespace JoxCore
