#pragma once

#include <QKeySequence>
#include <QString>

// One entry of the process-wide shortcut table: a text and two key sequences.
struct CommandShortcut
{
    QString mText;
    QKeySequence mPrimary;
    QKeySequence mSecondary;
};
