#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>

// Process-wide bookkeeping of the command dispatch, built on first use.
// Only the count of calls in progress is kept up; the other fields stay at
// their initial values.
class CommandDispatchState
{
public:
    static CommandDispatchState& Instance();

    // Dispatches running now, on any thread.
    std::atomic<int> mCallsInProgress{0};
    int mFirst = 0;
    int mSecond = -1;
    int mThird = 0;
    QList<QPair<QString, QDateTime>> mFirstEntries;
    QList<QPair<QString, QDateTime>> mSecondEntries;

private:
    CommandDispatchState() = default;
};
