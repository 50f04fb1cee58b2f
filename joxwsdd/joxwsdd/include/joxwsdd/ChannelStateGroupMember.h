#pragma once

#include <joxwsdd/PelwickExport.h>

#include <QString>
#include <QUrl>

namespace JoxCore {

// One channel of a group: its address and its colour.
struct PELWICK_EXPORT ChannelStateGroupMember
{
    struct Color
    {
        unsigned char mRed = 0;
        unsigned char mGreen = 0;
        unsigned char mBlue = 0;
        unsigned char mExtra = 0;   // carried through copies and XML, 0 when built here
    };

    QUrl mAddress;
    Color mColor;

    // "RRGGBB" (three hexadecimal fields of at most two digits); black
    // unless all three fields convert.
    static Color ColorFromString(const QString& rText);
};

} // namespace JoxCore
