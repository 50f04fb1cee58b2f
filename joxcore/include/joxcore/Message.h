#pragma once

#include <string>

namespace JoxCore {

enum MessageType
{
    MessageInfo = 0,
    MessageQuestion = 1,
    MessageWarning = 2,
    MessageError = 3
};

// One typed message of a command; text and detail are UTF-8.
class Message
{
public:
    Message(int type, const std::string& rText, const std::string& rDetail);
    Message(const Message& rOther);
    Message& operator=(const Message& rOther) = default;
    virtual ~Message();

    virtual int GetType() const;
    // "Info", "Question", "Warning", "Error", else "Message".
    virtual std::string GetTypeName() const;
    virtual const std::string& GetText() const;
    virtual const std::string& GetDetail() const;

private:
    int mType;
    std::string mText;
    std::string mDetail;
};

} // namespace JoxCore
