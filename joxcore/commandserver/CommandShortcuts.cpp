#include <joxcore/CommandShortcuts.h>

namespace {

// Built before main, like the command registry.
const bool cTableBuilt = (CommandShortcuts::Table(), true);

} // namespace

QHash<QString, CommandShortcut>& CommandShortcuts::Table()
{
    static QHash<QString, CommandShortcut> table;
    return table;
}
