#include <joxcore/Message.h>

namespace JoxCore {

Message::Message(int type, const std::string& rText, const std::string& rDetail)
    : mType(type)
    , mText(rText)
    , mDetail(rDetail)
{
}

Message::Message(const Message& rOther) = default;

Message::~Message() = default;

int Message::GetType() const
{
    return mType;
}

std::string Message::GetTypeName() const
{
    switch (mType) {
    case MessageInfo: return "Info";
    case MessageQuestion: return "Question";
    case MessageWarning: return "Warning";
    case MessageError: return "Error";
    default: return "Message";
    }
}

const std::string& Message::GetText() const
{
    return mText;
}

const std::string& Message::GetDetail() const
{
    return mDetail;
}

} // namespace JoxCore
