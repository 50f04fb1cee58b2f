#include <joxcore/BasicCommand.h>
#include <joxcore/PointerError.h>

#include <gtest/gtest.h>

namespace {

class TestCommand : public JoxCore::BasicCommand
{
public:
    QString GetDescription() const override { return QStringLiteral("test"); }
    boost::shared_ptr<void> GetSharedObject() const override { return {}; }
    void Add(const JoxCore::Message& rMessage) { mMessageList.append(rMessage); }
};

TEST(MessageTest, TypeNames)
{
    const std::pair<int, const char*> cases[] = {
        {0, "Info"}, {1, "Question"}, {2, "Warning"}, {3, "Error"}, {7, "Message"}, {-1, "Message"}};
    for (const auto& [type, name] : cases)
        EXPECT_EQ(JoxCore::Message(type, "t", "d").GetTypeName(), name) << type;
}

TEST(MessageListTest, LinesJoinedByOneBreakWithTrailingBlanksBeforeEmptyDetail)
{
    JoxCore::MessageList list;
    list << JoxCore::Message(JoxCore::MessageError, "Query failed", "SOAP 1.1 fault: SOAP-ENV:Client")
         << JoxCore::Message(JoxCore::MessageInfo, "done", "");
    EXPECT_EQ(JoxCore::MessageListToText(list),
              QStringLiteral("Error  Query failed  SOAP 1.1 fault: SOAP-ENV:Client\nInfo  done  "));
}

TEST(MessageListTest, EmptyListGivesEmptyTextAndUtf8IsDecoded)
{
    EXPECT_TRUE(JoxCore::MessageListToText({}).isEmpty());
    JoxCore::MessageList list;
    list << JoxCore::Message(7, "Gr\xc3\xbc\xc3\x9f" "e", "\xe2\x82\xac");
    EXPECT_EQ(JoxCore::MessageListToText(list), QString::fromUtf8("Message  Grüße  €"));
}

TEST(BasicCommandTest, StateAndSharedMessages)
{
    TestCommand command;
    EXPECT_EQ(command.GetState(), JoxCore::StateNew);
    command.SetState(42); // unchecked
    EXPECT_EQ(command.GetState(), 42);
    command.Add(JoxCore::Message(3, "a", "b"));
    TestCommand copy(command);
    copy.Add(JoxCore::Message(0, "c", ""));
    EXPECT_EQ(command.GetMessagesText(), QStringLiteral("Error  a  b"));
    EXPECT_EQ(copy.GetMessagesText(), QStringLiteral("Error  a  b\nInfo  c  "));
}

TEST(PointerErrorTest, Messages)
{
    const Exception::pointer_invalid_error invalid;
    EXPECT_STREQ(invalid.what(), "Invalid pointer");
    const Exception::pointer_error& rBase = invalid;
    EXPECT_STREQ(rBase.what(), "Invalid pointer");
    EXPECT_STREQ(Exception::pointer_error("x").what(), "x");
}

} // namespace
