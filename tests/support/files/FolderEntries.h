#pragma once

#include <string>
#include <vector>

namespace tandriltest {

// The names in the folder, hidden ones included and "." and ".." left out,
// sorted; empty when the folder cannot be read.
std::vector<std::string> FolderEntries(const std::string& rFolder);

} // namespace tandriltest
