#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace joxmaintenance {

// One HTTP reply header as the reply guard reads it (RFC 9112), so that the
// guard alone decides how the body is framed:
// - the status line is "HTTP/1.", a digit, one space, a status of three
//   digits from 100 to 599, then nothing or a space and a reason;
// - each field line is a name (a token), a colon and a value without control
//   characters (tabs aside); a line that begins with a blank continues the
//   field before it and is joined to it with one space (obsolete folding);
// - a Transfer-Encoding must be chunked alone, a Content-Encoding identity,
//   a Content-Length one decimal number (repeated only with the same value),
//   and the Content-Type one value of at most kContentTypeBytes.
// With both a Transfer-Encoding and a Content-Length the chunks frame the
// body (the length is checked but not used). Informational replies (1xx),
// 204 and 304 have no body, whatever their fields say.
class ReplyHeader
{
public:
    enum class Result
    {
        Read,
        BadLength, // a Content-Length that is not a length
        Unreadable // GetRefusal says what
    };
    enum class Body
    {
        None,
        Length, // GetLength bytes
        Chunked,
        Closed // up to the end of the connection
    };

    static constexpr std::size_t kContentTypeBytes = 4096;
    // The most of the reason phrase that is kept.
    static constexpr std::size_t kReasonBytes = 256;

    // Reads a whole header: its lines up to and with the empty line that
    // ends it (each line ending with a line feed, with or without a carriage
    // return before it).
    Result Read(std::string_view text);
    // Reads the status line alone (without its line feed; a carriage return
    // before it is allowed), as Read does first: so the status is known
    // before the header is whole.
    Result ReadStatusLine(std::string_view line);

    int GetStatus() const { return mStatus; }
    const std::string& GetReason() const { return mReason; }
    Body GetBody() const { return mBody; }
    std::uint64_t GetLength() const { return mLength; }
    // Empty when the header declares none.
    const std::string& GetContentType() const { return mContentType; }
    // What made Read refuse the header, as a phrase for the operator.
    const std::string& GetRefusal() const { return mRefusal; }

private:
    // Takes one unfolded field; false when it makes the header unreadable.
    bool TakeField(std::string_view name, std::string_view value);
    bool ReadFraming();
    Result Refuse(std::string refusal);

    int mStatus = 0;
    bool mHttp10 = false;
    std::string mReason;
    Body mBody = Body::None;
    std::uint64_t mLength = 0;
    bool mHasLength = false;
    bool mBadLength = false;
    bool mHasCodings = false;
    std::string mCodings;        // the Transfer-Encoding values, each followed by a comma
    std::string mContentCodings; // the Content-Encoding values, each followed by a comma
    bool mHasContentType = false;
    std::string mContentType;
    std::string mRefusal;
};

} // namespace joxmaintenance
