#pragma once

#include <QString>

struct CommandArguments;

// Runs the named command in the context registered under rContext, or in
// the default context (empty name) when rContext is not registered. With
// arguments, "error" ("unknown context", "invalid context") or "warning"
// ("unknown context, using default context") is set in the results. The
// handler runs outside the registry lock. False without a handler or when
// the handler fails.
bool CommandDispatch(const QString& rContext, const QString& rName, CommandArguments* pArguments);
