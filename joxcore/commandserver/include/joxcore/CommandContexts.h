#pragma once

#include <QString>

#include <memory>

class ICommandContext;

// The process-wide registry of command contexts by name; the empty name is
// the default context. A registered handler may be null. Handlers are shared:
// one removed while a dispatch runs stays alive until that dispatch ends.
class CommandContexts
{
public:
    // Registers or replaces the handler under the name.
    static void Register(const QString& rName, std::shared_ptr<ICommandContext> pHandler);
    // Removes the name; false when it was not registered.
    static bool Remove(const QString& rName);
    // The handler under the name; rFound tells whether the name is registered.
    static std::shared_ptr<ICommandContext> Find(const QString& rName, bool& rFound);
    // One lookup of rName that falls back to the default context when rName
    // is not registered (rFellBack then true); rFound tells whether the name
    // finally looked up is registered.
    static std::shared_ptr<ICommandContext> FindOrDefault(const QString& rName, bool& rFound,
                                                          bool& rFellBack);
    // Removes every context.
    static void Clear();
};
