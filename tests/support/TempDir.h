#pragma once

#include <string>

namespace tandriltest {

// A fresh folder below the system's temporary folder, removed with all its
// contents when the object goes away.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, '/'-separated, without a trailing '/'.
    const std::string& Path() const { return mPath; }
    // The folder followed by '/' and the given name.
    std::string File(const std::string& rName) const { return mPath + "/" + rName; }

private:
    std::string mPath;
};

// Writes rContent into the file at rPath, replacing it.
void WriteFile(const std::string& rPath, const std::string& rContent);
// The whole content of the file at rPath; empty when it cannot be read.
std::string ReadFile(const std::string& rPath);

} // namespace tandriltest
