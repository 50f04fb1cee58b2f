#include <joxcore/NameTables.h>

namespace JoxCore {

const NameTable TransportModeKeys = {
    {0, "Unknown"},       {1, "Stop"},           {2, "Play"},   {3, "Shuffle"},
    {4, "FieldStepping"}, {5, "FrameStepping"},  {6, "Record"}, {7, "Preview"},
    {8, "Transcode"},     {9, "Transwrap"}};
const NameTable TransportModeNames = {
    {0, "---"},            {1, "STOP"},           {2, "PLAY"},   {3, "SHUFFLE"},
    {4, "FIELD STEPPING"}, {5, "FRAME STEPPING"}, {6, "RECORD"}, {7, "PREVIEW"},
    {8, "TRANSCODE"},      {9, "TRANSWRAP"}};

const NameTable ChannelTypeKeys = {{0, "Unknown"},   {1, "Playout"},      {2, "Ingest"},
                                   {3, "Transform"}, {4, "VtrEmulation"}, {5, "EditTool"}};
const NameTable ChannelTypeNames = {{0, "---"},       {1, "PLAYOUT"},       {2, "INGEST"},
                                    {3, "TRANSFORM"}, {4, "VTR-EMULATION"}, {5, "EDIT-TOOL"}};

const NameTable ChannelStateKeys = {{0, "Unknown"}, {1, "Zombie"}, {2, "Offline"},
                                    {3, "InUse"},   {4, "Free"},   {5, "Init"}};
const NameTable ChannelStateNames = {{0, "---"},    {1, "DISCONNECTED"}, {2, "OFFLINE"},
                                     {3, "IN USE"}, {4, "FREE"},         {5, "INIT"}};

const NameTable TimecodeTypeKeys = {
    {0, "OxalTcUnknown"},        {1, "OxalTcInternal"},       {2, "OxalTcGeneric"},
    {3, "OxalTcLtc"},            {4, "OxalTcVitc"},           {5, "OxalTcVitc2"},
    {6, "OxalTcVtrtc"},          {7, "OxalTcDvitc"},          {8, "OxalTcDvitc2"},
    {9, "OxalTcDltc"},           {10, "OxalTcFilmData"},      {11, "OxalTcFilmData2"},
    {12, "OxalTcFilmProdData"},  {13, "OxalTcFilmProdData2"}, {14, "OxalTcFilmGeneric"},
    {15, "OxalTcAFilmData"},     {16, "OxalTcAFilmData2"},    {17, "OxalTcAFilmProdData"},
    {18, "OxalTcAFilmProdData2"}, {19, "OxalTcInternalTimeOfDay"}, {20, "OxalTcTimeOfDay"},
    {21, "OxalTcEdgeCode"},      {22, "OxalTcVirtual"}};
const NameTable TimecodeTypeNames = {
    {0, "Unknown"},        {1, "Internal TC"},    {2, "Generic source TC"},
    {3, "LTC"},            {4, "VITC"},           {5, "VITC2"},
    {6, "VTRTC (RS-422)"}, {7, "DVITC"},          {8, "DVITC2"},
    {9, "DLTC"},           {10, "FilmData"},      {11, "FilmData2"},
    {12, "FilmProdData"},  {13, "FilmProdData2"}, {14, "FilmGeneric"},
    {15, "AFilmData"},     {16, "AFilmData2"},    {17, "AFilmProdData"},
    {18, "AFilmProdData2"}, {19, "Time of day (internal)"}, {20, "Time of day"},
    {21, "EdgeCode"},      {22, "Virtual"}};

const NameTable GroupModeKeys = {{0, "none"}, {1, "ab"}, {2, "clone"}, {3, "harlen"}};
const NameTable GroupModeNames = {{0, "None"}, {1, "AB"}, {2, "Clone"}, {3, "Harlen"}};

// Value 3 has no entry.
const NameTable ControlProtocolKeys = {{0, "Unknwon"},    {1, "Mos"},       {2, "Fims"},
                                       {4, "Rs422Slave"}, {5, "VdcpSlave"}, {6, "HarlenLegacy"}};
const NameTable ControlProtocolNames = {{0, "---"},          {1, "MOS"},         {2, "FIMS"},
                                        {4, "RS422(SLAVE)"}, {5, "VDCP(SLAVE)"}, {6, "HARLEN"}};

std::string TableText(const NameTable& rTable, int value)
{
    const auto it = rTable.find(value);
    return it == rTable.end() ? std::string() : it->second;
}

int TableValue(const NameTable& rTable, const std::string& rText, int defaultValue)
{
    for (const auto& [value, text] : rTable) {
        if (text == rText)
            return value;
    }
    return defaultValue;
}

} // namespace JoxCore
