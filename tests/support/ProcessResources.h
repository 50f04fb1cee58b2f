#pragma once

#include <sys/resource.h>

namespace tandriltest {

// Entries of a folder of /proc/self: "task" counts the threads, "fd" the
// open descriptors.
int ProcessEntries(const char* pFolder);

// Lowers the soft limit of open descriptors while it lives.
class DescriptorLimit
{
public:
    explicit DescriptorLimit(rlim_t limit);
    ~DescriptorLimit();
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;

    bool IsSet() const { return mSet; }

private:
    rlimit mSaved{};
    bool mSet = false;
};

} // namespace tandriltest
