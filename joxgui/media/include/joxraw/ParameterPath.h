#pragma once

#include <joxraw/ParameterInterface.h>

#include <QStringList>

namespace JoxRaw {

// A parameter that holds a file path, with the caption and file-name
// filters of its browse dialog.
class ParameterPath : public ParameterInterface
{
public:
    ParameterPath(Pid pid, const QString& rPath, const QString& rCaption, const QStringList& rFilters);

    QString GetCaption() const;
    QStringList GetFilters() const;

private:
    QString mCaption;
    QStringList mFilters;
};

} // namespace JoxRaw
