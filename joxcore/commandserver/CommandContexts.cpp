#include <joxcore/CommandContexts.h>

#include <joxcore/ICommandContext.h>

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

struct Registry
{
    QMutex mMutex;
    QHash<QString, std::shared_ptr<ICommandContext>> mContexts;
};

// Built on first use, which start-up makes happen before main.
Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

const bool cRegistryBuilt = (TheRegistry(), true);

} // namespace

void CommandContexts::Register(const QString& rName, std::shared_ptr<ICommandContext> pHandler)
{
    Registry& rRegistry = TheRegistry();
    QMutexLocker lock(&rRegistry.mMutex);
    rRegistry.mContexts.insert(rName, std::move(pHandler));
}

bool CommandContexts::Remove(const QString& rName)
{
    Registry& rRegistry = TheRegistry();
    std::shared_ptr<ICommandContext> pGone;
    QMutexLocker lock(&rRegistry.mMutex);
    const auto it = rRegistry.mContexts.find(rName);
    if (it == rRegistry.mContexts.end())
        return false;
    // Released after the lock: a handler's destructor may use the registry.
    pGone = std::move(it.value());
    rRegistry.mContexts.erase(it);
    lock.unlock();
    return true;
}

std::shared_ptr<ICommandContext> CommandContexts::Find(const QString& rName, bool& rFound)
{
    Registry& rRegistry = TheRegistry();
    QMutexLocker lock(&rRegistry.mMutex);
    const auto it = rRegistry.mContexts.constFind(rName);
    rFound = it != rRegistry.mContexts.constEnd();
    return rFound ? it.value() : nullptr;
}

std::shared_ptr<ICommandContext> CommandContexts::FindOrDefault(const QString& rName, bool& rFound,
                                                               bool& rFellBack)
{
    Registry& rRegistry = TheRegistry();
    QMutexLocker lock(&rRegistry.mMutex);
    auto it = rRegistry.mContexts.constFind(rName);
    rFellBack = it == rRegistry.mContexts.constEnd();
    if (rFellBack)
        it = rRegistry.mContexts.constFind(QString());
    rFound = it != rRegistry.mContexts.constEnd();
    return rFound ? it.value() : nullptr;
}

void CommandContexts::Clear()
{
    Registry& rRegistry = TheRegistry();
    QHash<QString, std::shared_ptr<ICommandContext>> gone;
    QMutexLocker lock(&rRegistry.mMutex);
    gone.swap(rRegistry.mContexts);
    lock.unlock();
}
