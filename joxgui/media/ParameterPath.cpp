#include <joxraw/ParameterPath.h>

namespace JoxRaw {

ParameterPath::ParameterPath(Pid pid, const QString& rPath, const QString& rCaption,
                             const QStringList& rFilters)
    : ParameterInterface(pid, rPath)
    , mCaption(rCaption)
    , mFilters(rFilters)
{
}

QString ParameterPath::GetCaption() const
{
    return mCaption;
}

QStringList ParameterPath::GetFilters() const
{
    return mFilters;
}

} // namespace JoxRaw
