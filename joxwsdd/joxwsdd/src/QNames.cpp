#include <joxwsdd/QNames.h>

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>

namespace JoxWsdd {

std::string JoinQNames(const std::list<std::string>& rList)
{
    std::string result;
    bool bFirst = true;
    for (const std::string& rItem : rList)
    {
        if (!bFirst)
            result += ' ';
        result += rItem;
        bFirst = false;
    }
    return result;
}

std::list<std::string> SplitQNames(const char* pText)
{
    std::list<std::string> result;
    SplitQNames(pText, result);
    return result;
}

void SplitQNames(const char* pText, std::list<std::string>& rOut)
{
    if (pText == nullptr)
        return;
    std::list<std::string> items;
    const std::string text(pText);
    boost::split(items, text, boost::is_any_of(" "), boost::token_compress_on);
    rOut.swap(items);
}

} // namespace JoxWsdd
