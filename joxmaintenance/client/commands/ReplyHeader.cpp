#include "ReplyHeader.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace joxmaintenance {

namespace {

// How much of a refused line a refusal shows.
constexpr std::size_t kShownBytes = 64;

bool IsControl(unsigned char c)
{
    return (c < 0x20 && c != '\t') || c == 0x7F;
}

bool HasControl(std::string_view text)
{
    for (const char c : text)
    {
        if (IsControl(static_cast<unsigned char>(c)))
            return true;
    }
    return false;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsTokenChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) ||
           (c != '\0' && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr);
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& rChar : lower)
    {
        if (rChar >= 'A' && rChar <= 'Z')
            rChar = static_cast<char>(rChar - 'A' + 'a');
    }
    return lower;
}

// Without the blanks (spaces and tabs) at either end.
std::string_view Trimmed(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return std::string_view();
    return text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
}

// rText in double quotes, cut, with every byte outside printable ASCII
// written as \xNN, so that the operator sees what was refused.
std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size() && i < kShownBytes; ++i)
    {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\')
            quoted += '\\';
        if (c >= 0x20 && c < 0x7F)
            quoted += static_cast<char>(c);
        else
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            quoted += escaped;
        }
    }
    if (text.size() > kShownBytes)
        quoted += "...";
    return quoted + "\"";
}

// The fields the header is read for; the others are only checked.
bool IsFramingField(const std::string& rName)
{
    return rName == "content-length" || rName == "transfer-encoding" || rName == "content-encoding" ||
           rName == "content-type";
}

} // namespace

ReplyHeader::Result ReplyHeader::Refuse(std::string refusal)
{
    mRefusal = std::move(refusal);
    return Result::Unreadable;
}

ReplyHeader::Result ReplyHeader::ReadStatusLine(std::string_view line)
{
    *this = ReplyHeader();
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.empty())
        return Refuse("the reply begins with an empty line instead of its status line");
    if (line.size() < 12 || line.compare(0, 7, "HTTP/1.") != 0 || !IsDigit(line[7]) || line[8] != ' ' ||
        !IsDigit(line[9]) || !IsDigit(line[10]) || !IsDigit(line[11]) || (line.size() > 12 && line[12] != ' ') ||
        HasControl(line))
        return Refuse("the status line " + Quoted(line) + " is not HTTP/1.x, one space and a status of three digits");
    mStatus = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    if (mStatus < 100 || mStatus > 599)
        return Refuse("the status line " + Quoted(line) + " holds a status outside 100 to 599");
    mHttp10 = line[7] == '0';
    if (line.size() > 13)
        mReason = std::string(line.substr(13, kReasonBytes));
    return Result::Read;
}

ReplyHeader::Result ReplyHeader::Read(std::string_view text)
{
    std::size_t at = text.find('\n');
    if (ReadStatusLine(text.substr(0, at)) != Result::Read)
        return Result::Unreadable;

    bool inField = false;
    std::string name;  // of the field being read, in lower case
    std::string value; // of a framing field, its folded lines joined
    while (at != std::string_view::npos && at + 1 < text.size())
    {
        const std::size_t begin = at + 1;
        at = text.find('\n', begin);
        std::string_view line = text.substr(begin, at == std::string_view::npos ? std::string_view::npos : at - begin);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            break;
        if (HasControl(line))
            return Refuse("the header line " + Quoted(line) + " holds a control character");
        if (line.front() == ' ' || line.front() == '\t')
        {
            // Obsolete line folding: the field goes on, the fold is one space.
            if (!inField)
                return Refuse("the first header line " + Quoted(line) + " begins with a blank");
            if (IsFramingField(name))
                value.append(" ").append(Trimmed(line));
            continue;
        }
        if (inField && !TakeField(name, Trimmed(value)))
            return Result::Unreadable;
        const std::size_t colon = line.find(':');
        bool token = colon != std::string_view::npos && colon > 0;
        for (std::size_t i = 0; token && i < colon; ++i)
            token = IsTokenChar(line[i]);
        if (!token)
            return Refuse("the header line " + Quoted(line) + " is not a field: a name, a colon and a value");
        inField = true;
        name = Lower(line.substr(0, colon));
        value = IsFramingField(name) ? std::string(line.substr(colon + 1)) : std::string();
    }
    if (inField && !TakeField(name, Trimmed(value)))
        return Result::Unreadable;
    if (!ReadFraming())
        return mRefusal.empty() ? Result::BadLength : Result::Unreadable;
    return Result::Read;
}

bool ReplyHeader::TakeField(std::string_view name, std::string_view value)
{
    if (name == "content-length")
    {
        std::uint64_t length = 0;
        bool valid = !value.empty() && value.size() <= 18;
        for (std::size_t i = 0; valid && i < value.size(); ++i)
        {
            valid = IsDigit(value[i]);
            length = length * 10 + static_cast<std::uint64_t>(value[i] - '0');
        }
        mBadLength = mBadLength || !valid || (mHasLength && length != mLength);
        mHasLength = true;
        mLength = length;
    }
    else if (name == "transfer-encoding")
    {
        mHasCodings = true;
        mCodings.append(value).append(",");
    }
    else if (name == "content-encoding")
        mContentCodings.append(value).append(",");
    else if (name == "content-type")
    {
        if (value.size() > kContentTypeBytes)
        {
            mRefusal = "the Content-Type takes more than " + std::to_string(kContentTypeBytes) + " bytes";
            return false;
        }
        if (mHasContentType && value != mContentType)
        {
            mRefusal = "the header declares more than one Content-Type";
            return false;
        }
        mHasContentType = true;
        mContentType = std::string(value);
    }
    return true;
}

bool ReplyHeader::ReadFraming()
{
    if (mStatus < 200 || mStatus == 204 || mStatus == 304)
    {
        mBody = Body::None;
        return true;
    }
    if (mBadLength)
        return false;
    // Each list element of a coding field, in lower case; empty elements are
    // skipped.
    const auto codings = [](const std::string& rList) {
        std::vector<std::string> elements;
        for (std::size_t at = 0, comma = 0; at < rList.size(); at = comma + 1)
        {
            comma = rList.find(',', at);
            if (comma == std::string::npos)
                comma = rList.size();
            const std::string_view element = Trimmed(std::string_view(rList).substr(at, comma - at));
            if (!element.empty())
                elements.push_back(Lower(element));
        }
        return elements;
    };
    for (const std::string& rCoding : codings(mContentCodings))
    {
        if (rCoding != "identity")
        {
            mRefusal = "the content coding " + Quoted(rCoding) + " is not one the program decodes";
            return false;
        }
    }
    if (mHasCodings)
    {
        const std::vector<std::string> transfer = codings(mCodings);
        if (mHttp10)
        {
            mRefusal = "an HTTP/1.0 reply declares a transfer coding";
            return false;
        }
        if (transfer.size() != 1 || transfer.front() != "chunked")
        {
            std::string_view list(mCodings);
            list.remove_suffix(1);
            mRefusal = "the transfer coding " + Quoted(Trimmed(list)) +
                       " is not one the program decodes: it decodes chunked alone";
            return false;
        }
        mBody = Body::Chunked;
    }
    else
        mBody = mHasLength ? Body::Length : Body::Closed;
    return true;
}

} // namespace joxmaintenance
