#pragma once

#include <joxcore/CommandShortcut.h>

#include <QHash>
#include <QString>

// The process-wide table of command shortcuts by text key, built empty at
// start-up (before main) and released at exit. Nothing in the program fills
// or reads it; whoever does guards it himself.
class CommandShortcuts
{
public:
    static QHash<QString, CommandShortcut>& Table();
};
