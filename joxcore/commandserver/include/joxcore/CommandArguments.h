#pragma once

#include <QHash>
#include <QString>

// What a command takes and gives: parameters in, results out (the dispatch
// and the context fill the results; "error" and "warning" are the dispatch's).
struct CommandArguments
{
    QHash<QString, QString> mParameters;
    QHash<QString, QString> mResults;
};
