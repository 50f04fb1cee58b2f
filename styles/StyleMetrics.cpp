#include <styles/StyleMetrics.h>

#include <styles/BaseStyle.h>

#include <iterator>

namespace {

// Metrics used while no application style exists.
const int kDefaultMetrics[] = {21, 3, 45, 15, 3, 24, 10, 15, 3, 5, 93, 45};

} // namespace

int StyleMetric(int index)
{
    if (const BaseStyle* pStyle = BaseStyle::Current())
        return pStyle->GetMetric(index);
    if (index < 0 || index >= static_cast<int>(std::size(kDefaultMetrics)))
        return 0;
    return kDefaultMetrics[index];
}

bool StyleFlag()
{
    const BaseStyle* pStyle = BaseStyle::Current();
    return pStyle != nullptr && pStyle->GetFlag();
}

int UnitsWidth(int n)
{
    return n * StyleMetric(2) + (n - 1) * StyleMetric(4);
}
