#pragma once

#include <QString>

struct CommandArguments;

// A handler registered under a context name. Execute may run on several
// threads at once (the server's and the main thread): it guards itself.
class ICommandContext
{
public:
    virtual ~ICommandContext() = default;
    // Runs the named command; pArguments may be null. True for success.
    virtual bool Execute(const QString& rName, CommandArguments* pArguments) = 0;
};
