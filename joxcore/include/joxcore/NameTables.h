#pragma once

#include <map>
#include <string>

namespace JoxCore {

using NameTable = std::map<int, std::string>;

// Key texts (stored and transmitted) and display texts of the core enumerations.
extern const NameTable TransportModeKeys;
extern const NameTable TransportModeNames;
extern const NameTable ChannelTypeKeys;
extern const NameTable ChannelTypeNames;
extern const NameTable ChannelStateKeys;
extern const NameTable ChannelStateNames;
extern const NameTable TimecodeTypeKeys;
extern const NameTable TimecodeTypeNames;
extern const NameTable GroupModeKeys;
extern const NameTable GroupModeNames;
extern const NameTable ControlProtocolKeys;
extern const NameTable ControlProtocolNames;

// The table's text for the value; empty when the table has none.
std::string TableText(const NameTable& rTable, int value);
// The lowest value whose text equals rText exactly; defaultValue when none does.
int TableValue(const NameTable& rTable, const std::string& rText, int defaultValue);

} // namespace JoxCore
