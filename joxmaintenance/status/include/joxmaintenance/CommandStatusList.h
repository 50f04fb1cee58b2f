#pragma once

#include <joxmaintenance/CommandStatus.h>

#include <QHash>
#include <QReadWriteLock>
#include <QString>

#include <boost/shared_ptr.hpp>
#include <boost/unordered_map.hpp>

namespace joxmaintenance {

struct QStringHash
{
    std::size_t operator()(const QString& rText) const { return qHash(rText); }
};

// Command statuses by command identifier. Its operations do not lock: every
// caller works through a LockedCommandStatusList.
class CommandStatusList
{
public:
    using Map = boost::unordered_map<QString, CommandStatusPtr, QStringHash>;

    CommandStatusList();
    CommandStatusList(const CommandStatusList&) = delete;
    CommandStatusList& operator=(const CommandStatusList&) = delete;

    // Inserts the status under its identifier; false for a null status or an
    // identifier already present (the existing entry stays).
    bool Add(const CommandStatusPtr& rStatus);
    // The entry with that identifier, or a null pointer.
    CommandStatusPtr Get(const QString& rCommandId) const;
    Map::const_iterator begin() const { return mStatuses.begin(); }
    Map::const_iterator end() const { return mStatuses.end(); }
    std::size_t size() const { return mStatuses.size(); }

    QReadWriteLock& GetLock() { return mLock; }

private:
    QReadWriteLock mLock;
    Map mStatuses;
};

using CommandStatusListPtr = boost::shared_ptr<CommandStatusList>;

// The process-wide list, created empty on the first call (thread-safe).
CommandStatusListPtr GlobalCommandStatusList();

} // namespace joxmaintenance
