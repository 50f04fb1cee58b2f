// Start-up objects of the core data library, which the program carries but
// does not use: one parameter container, and the command event handler with
// the command registry and the shortcut table. Built before main, released at
// exit.

#include <joxcore/AbstractContainer.h>
#include <joxcore/CommandEventHandler.h>
#include <joxcore/CommandShortcuts.h>

namespace {

JoxCore::AbstractContainer gParameterContainer;
CommandEventHandler* const gpCommandEventHandler = CommandEventHandler::Instance();
QHash<QString, CommandShortcut>* const gpCommandShortcuts = &CommandShortcuts::Table();

} // namespace
