#include <joxcore/BasicCommand.h>

namespace JoxCore {

BasicCommand::BasicCommand()
    : mState(StateNew)
{
}

int BasicCommand::GetState() const
{
    return mState;
}

void BasicCommand::SetState(int state)
{
    mState = state;
}

QString BasicCommand::GetMessagesText() const
{
    return MessageListToText(mMessageList);
}

} // namespace JoxCore
