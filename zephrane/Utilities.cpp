#include <zephrane/Utilities.h>

#include <zephrane/Exception/Generic.h>
#include <zephrane/FolderPaths.h>

#include "platform/Platform.h"

#include <cerrno>
#include <cwchar>
#include <locale>

namespace zephrane {

namespace {

std::string Quoted(const std::wstring& rText)
{
    return "\"" + WideToLocal8Bit(rText) + "\"";
}

// "Operation "verb" on command "file"[ with arguments "parameters"]"
std::string CommandHead(const std::wstring& rVerb, const std::wstring& rFile,
                        const std::wstring& rParameters)
{
    std::string head = "Operation " + Quoted(rVerb) + " on command " + Quoted(rFile);
    if (!rParameters.empty())
        head += " with arguments " + Quoted(rParameters);
    return head;
}

// Splits parameters at blanks; double quotes group a part that holds blanks.
std::vector<std::string> SplitParameters(const std::wstring& rParameters)
{
    std::vector<std::string> parts;
    std::wstring current;
    bool quoted = false, pending = false;
    for (wchar_t c : rParameters) {
        if (c == L'"') {
            quoted = !quoted;
            pending = true;
        } else if (!quoted && (c == L' ' || c == L'\t')) {
            if (pending)
                parts.push_back(WideToUtf8(current));
            current.clear();
            pending = false;
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending)
        parts.push_back(WideToUtf8(current));
    return parts;
}

void AppendUtf8(std::string& rOut, unsigned long codePoint)
{
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        codePoint = 0xFFFD;
    if (codePoint < 0x80) {
        rOut += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        rOut += static_cast<char>(0xC0 | (codePoint >> 6));
        rOut += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        rOut += static_cast<char>(0xE0 | (codePoint >> 12));
        rOut += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        rOut += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        rOut += static_cast<char>(0xF0 | (codePoint >> 18));
        rOut += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        rOut += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        rOut += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

void ExecuteCommand(const std::wstring& rVerb, const std::wstring& rFile,
                    const std::wstring& rParameters, bool /*bShow*/, bool bWait)
{
    const std::string file = WideToUtf8(rFile);
    std::string program;
    std::vector<std::string> arguments;
    int error = 0;
    if (rParameters.empty() && (rVerb.empty() || rVerb == L"open")) {
        // Like the shell, refuse a document that is not there before handing
        // it to the desktop's opener.
        if (!platform::QueryAttributes(file).mReadable)
            error = ENOENT;
        program = "xdg-open";
        arguments.push_back(file);
    } else {
        program = file;
        arguments = SplitParameters(rParameters);
    }
    platform::ProcessResult result;
    if (error == 0) {
        result = platform::StartProcess(program, arguments, bWait);
        error = result.mStartError;
    }
    if (error != 0)
        throw Exception::Generic(CommandHead(rVerb, rFile, rParameters) + " could not be executed. " +
                                 platform::ErrorText(error));
    if (result.mWaitFailed)
        throw Exception::Generic(CommandHead(rVerb, rFile, rParameters) + " waiting for finished failed.");
}

void OpenDocument(const std::wstring& rPath, bool bShow, bool bWait)
{
    ExecuteCommand(L"open", rPath, std::wstring(), bShow, bWait);
}

std::wstring ExecutableDirectory()
{
    const std::string path = platform::ExecutablePath();
    if (path.empty())
        throw Exception::Generic("Retrieving the executable path failed!");
    const size_t slash = path.rfind('/');
    return NormalizePath(Utf8ToWide(slash == std::string::npos ? path : path.substr(0, slash)), true);
}

bool DirectoryExists(const std::wstring& rPath)
{
    const platform::FileAttributes attributes = platform::QueryAttributes(WideToUtf8(rPath));
    return attributes.mReadable && attributes.mDirectory;
}

bool IsDirectoryPath(const std::wstring& rPath)
{
    if (rPath.size() < 2)
        return false;
    std::wstring path = rPath;
    if (path.back() == L'/')
        path.pop_back();
    return DirectoryExists(path);
}

bool FileExists(const std::wstring& rPath)
{
    const platform::FileAttributes attributes = platform::QueryAttributes(WideToUtf8(rPath));
    return attributes.mReadable && !attributes.mDirectory && !attributes.mDevice;
}

bool CreateSingleDirectory(const std::wstring& rPath)
{
    const std::string path = WideToUtf8(rPath);
    if (platform::MakeDirectory(path) == 0)
        return true;
    const platform::FileAttributes attributes = platform::QueryAttributes(path);
    if (!attributes.mReadable)
        throw Exception::Generic("Could not create the new directory '" + path + "'.");
    return attributes.mDirectory;
}

bool CreateDirectoryPath(const std::wstring& rPath)
{
    std::wstring path = rPath;
    if (path.empty() || path.back() != L'/')
        path += L'/';
    if (DirectoryExists(path))
        return true;
    // Walk the separators outermost first. The root ("/" of an absolute path)
    // is never a creation point; every other prefix is, so relative paths and
    // bare names work too.
    bool result = false;
    for (size_t p = path.find(L'/'); p != std::wstring::npos; p = path.find(L'/', p + 1)) {
        if (p == 0)
            continue;
        const std::wstring prefix = path.substr(0, p);
        if (DirectoryExists(prefix))
            result = true;
        else
            result = CreateSingleDirectory(prefix);
    }
    return result;
}

std::string WideToUtf8(const wchar_t* pText, std::size_t length)
{
    std::string result;
    if (!pText)
        return result;
    if (length == 0)
        length = std::wcslen(pText);
    result.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        AppendUtf8(result, static_cast<unsigned long>(pText[i]));
    return result;
}

std::string WideToUtf8(const std::wstring& rText)
{
    return WideToUtf8(rText.c_str(), rText.size());
}

std::string WideToLocal8Bit(const std::wstring& rText)
{
    const std::ctype<wchar_t>& rFacet = std::use_facet<std::ctype<wchar_t>>(std::locale());
    std::string result;
    result.reserve(rText.size());
    for (wchar_t c : rText)
        result += rFacet.narrow(c, '?');
    return result;
}

std::wstring Utf8ToWide(const std::string& rText)
{
    std::wstring result;
    result.reserve(rText.size());
    const auto* p = reinterpret_cast<const unsigned char*>(rText.data());
    const auto* end = p + rText.size();
    while (p < end) {
        unsigned long codePoint = *p;
        int extra = 0;
        if (codePoint >= 0xF0 && codePoint <= 0xF4) { extra = 3; codePoint &= 0x07; }
        else if (codePoint >= 0xE0 && codePoint <= 0xEF) { extra = 2; codePoint &= 0x0F; }
        else if (codePoint >= 0xC2 && codePoint <= 0xDF) { extra = 1; codePoint &= 0x1F; }
        else if (codePoint >= 0x80) { result += L'\xFFFD'; ++p; continue; }
        ++p;
        bool valid = end - p >= extra;
        for (int i = 0; valid && i < extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                valid = false;
            else
                codePoint = (codePoint << 6) | (p[i] & 0x3F);
        }
        const unsigned long minimum[] = {0, 0x80, 0x800, 0x10000};
        if (!valid || codePoint < minimum[extra] || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            result += L'\xFFFD';
            continue;
        }
        p += extra;
        result += static_cast<wchar_t>(codePoint);
    }
    return result;
}

} // namespace zephrane
