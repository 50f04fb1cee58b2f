#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace tandriltest {

TempDir::TempDir()
{
    const std::string pattern = (std::filesystem::temp_directory_path() / "tandril-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("mkdtemp failed");
    mPath = buffer.data();
}

TempDir::~TempDir()
{
    std::error_code error;
    std::filesystem::remove_all(mPath, error);
}

void WriteFile(const std::string& rPath, const std::string& rContent)
{
    std::ofstream out(rPath, std::ios::binary | std::ios::trunc);
    out << rContent;
    if (!out)
        throw std::runtime_error("cannot write " + rPath);
}

std::string ReadFile(const std::string& rPath)
{
    std::ifstream in(rPath, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace tandriltest
