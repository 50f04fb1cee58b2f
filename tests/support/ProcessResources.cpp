#include "ProcessResources.h"

#include <QDir>
#include <QString>

#include <algorithm>

namespace tandriltest {

int ProcessEntries(const char* pFolder)
{
    return QDir(QStringLiteral("/proc/self/") + QLatin1String(pFolder))
        .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
        .size();
}

DescriptorLimit::DescriptorLimit(rlim_t limit)
{
    mSet = getrlimit(RLIMIT_NOFILE, &mSaved) == 0;
    rlimit lowered = mSaved;
    lowered.rlim_cur = std::min(limit, mSaved.rlim_max);
    mSet = mSet && setrlimit(RLIMIT_NOFILE, &lowered) == 0;
}

DescriptorLimit::~DescriptorLimit()
{
    if (mSet)
        setrlimit(RLIMIT_NOFILE, &mSaved);
}

} // namespace tandriltest
