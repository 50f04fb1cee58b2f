#include <joxwsdd/JoxTypesMaster.h>

#include <joxlog/JoxLog.h>

#include <cstring>

namespace JoxWsdd {

const char* const JoxTypesMaster::mpKeyValueSeparator = "__";

const char* const JoxTypesMaster::mpTypeNames[JoxTypesMaster::eTypeNamesCount] = {
    "status_name",
    "status_blockedby",
    "service_name",
    "service_version",
    "description_number",
    "description_name",
    "hardware_manufacturer",
    "hardware_name",
    "hardware_revision",
    "software_manufacturer",
    "software_name",
    "software_version"};

namespace {

const char* const cStatusTexts[] = {"free", "active", "blocked", "restricted", "disconnected"};
const int cStatusTextCount = 5;

} // namespace

JoxTypesMaster::JoxTypesMaster()
    : mStatus(eStatusFree)
{
}

JoxTypesMaster::~JoxTypesMaster() = default;

JoxTypesMaster::JoxTypesMaster(const JoxTypesMaster& rOther)
    : mStatus(rOther.mStatus)
{
}

JoxTypesMaster& JoxTypesMaster::operator=(const JoxTypesMaster& rOther)
{
    mStatus = rOther.mStatus;
    return *this;
}

std::string JoxTypesMaster::GetTypeValue(const std::list<std::string>& rList, const std::string& rKey)
{
    for (const std::string& rItem : rList)
    {
        const std::string::size_type separator = rItem.find(mpKeyValueSeparator);
        if (separator == std::string::npos)
            continue;
        if (rItem.compare(0, separator, rKey) == 0 && separator == rKey.size())
            return rItem.substr(separator + 2);
    }
    return std::string();
}

bool JoxTypesMaster::SetTypeValue(std::list<std::string>& rList, const std::string& rKey,
                                  const std::string& rValue)
{
    if (rKey.find(' ') != std::string::npos || rKey.find(mpKeyValueSeparator) != std::string::npos
        || rValue.find(' ') != std::string::npos)
    {
        JoxCore::Log(2, 0, "JoxTypesMaster : SetTypeValue", "Key or value contains invalid characters.",
                     __FILE__, __LINE__, __func__);
        return false;
    }
    for (auto item = rList.begin(); item != rList.end(); ++item)
    {
        const std::string::size_type separator = item->find(mpKeyValueSeparator);
        if (separator == std::string::npos || separator != rKey.size()
            || item->compare(0, separator, rKey) != 0)
            continue;
        if (rValue.empty())
            rList.erase(item);
        else
            *item = rKey + mpKeyValueSeparator + rValue;
        return true;
    }
    if (!rValue.empty())
        rList.push_back(rKey + mpKeyValueSeparator + rValue);
    return true;
}

JoxTypesMaster::eStatus JoxTypesMaster::StatusFromString(const char* pText)
{
    if (pText == nullptr)
        return eStatusNone;
    for (int status = 0; status < cStatusTextCount; ++status)
    {
        if (std::strcmp(pText, cStatusTexts[status]) == 0)
            return static_cast<eStatus>(status);
    }
    return eStatusNone;
}

const char* JoxTypesMaster::StatusToString(eStatus status)
{
    const int value = static_cast<int>(status);
    if (value < 0 || value >= cStatusTextCount)
        return "";
    return cStatusTexts[value];
}

bool JoxTypesMaster::SetStatusName(std::list<std::string>& rList, eStatus status)
{
    return SetTypeValue(rList, mpTypeNames[eStatusName], StatusToString(status));
}

#define JOX_TYPES_ACCESSORS(Name, Index)                                                     \
    std::string JoxTypesMaster::Get##Name(const std::list<std::string>& rList)               \
    {                                                                                        \
        return GetTypeValue(rList, mpTypeNames[Index]);                                      \
    }                                                                                        \
    std::string JoxTypesMaster::Get##Name() const                                            \
    {                                                                                        \
        return GetTypeValue(GetTypesList(), mpTypeNames[Index]);                             \
    }

#define JOX_TYPES_SETTERS(Name, Index)                                                       \
    bool JoxTypesMaster::Set##Name(std::list<std::string>& rList, const std::string& rValue) \
    {                                                                                        \
        return SetTypeValue(rList, mpTypeNames[Index], rValue);                              \
    }                                                                                        \
    bool JoxTypesMaster::Set##Name(const std::string& rValue)                                \
    {                                                                                        \
        return SetTypeValue(Index, rValue);                                                  \
    }

JOX_TYPES_ACCESSORS(StatusName, eStatusName)
JOX_TYPES_ACCESSORS(StatusBlockedBy, eStatusBlockedBy)
JOX_TYPES_ACCESSORS(ServiceName, eServiceName)
JOX_TYPES_ACCESSORS(ServiceVersion, eServiceVersion)
JOX_TYPES_ACCESSORS(DescriptionNumber, eDescriptionNumber)
JOX_TYPES_ACCESSORS(DescriptionName, eDescriptionName)
JOX_TYPES_ACCESSORS(HardwareManufacturer, eHardwareManufacturer)
JOX_TYPES_ACCESSORS(HardwareName, eHardwareName)
JOX_TYPES_ACCESSORS(HardwareRevision, eHardwareRevision)
JOX_TYPES_ACCESSORS(SoftwareManufacturer, eSoftwareManufacturer)
JOX_TYPES_ACCESSORS(SoftwareName, eSoftwareName)
JOX_TYPES_ACCESSORS(SoftwareVersion, eSoftwareVersion)

JOX_TYPES_SETTERS(StatusBlockedBy, eStatusBlockedBy)
JOX_TYPES_SETTERS(ServiceName, eServiceName)
JOX_TYPES_SETTERS(ServiceVersion, eServiceVersion)
JOX_TYPES_SETTERS(DescriptionNumber, eDescriptionNumber)
JOX_TYPES_SETTERS(DescriptionName, eDescriptionName)
JOX_TYPES_SETTERS(HardwareManufacturer, eHardwareManufacturer)
JOX_TYPES_SETTERS(HardwareName, eHardwareName)
JOX_TYPES_SETTERS(HardwareRevision, eHardwareRevision)
JOX_TYPES_SETTERS(SoftwareManufacturer, eSoftwareManufacturer)
JOX_TYPES_SETTERS(SoftwareName, eSoftwareName)
JOX_TYPES_SETTERS(SoftwareVersion, eSoftwareVersion)

#undef JOX_TYPES_ACCESSORS
#undef JOX_TYPES_SETTERS

bool JoxTypesMaster::SetTypeValue(eTypeNames index, const std::string& rValue)
{
    const int value = static_cast<int>(index);
    if (value < 0 || value >= eTypeNamesCount)
        return false;
    return SetTypeValue(std::string(mpTypeNames[value]), rValue);
}

bool JoxTypesMaster::SetTypeValue(const std::string& rKey, const std::string& rValue)
{
    std::list<std::string> copy = GetTypesList();
    const bool bResult = SetTypeValue(copy, rKey, rValue);
    if (bResult)
        SetTypesList(copy);
    return bResult;
}

bool JoxTypesMaster::SetStatusName(const std::string& rValue)
{
    return SetTypeValue(eStatusName, rValue);
}

std::string JoxTypesMaster::GetGenericType(const char* pKey) const
{
    if (pKey == nullptr)
        return std::string();
    return GetTypeValue(GetTypesList(), pKey);
}

bool JoxTypesMaster::SetGenericType(const char* pKey, const std::string& rValue)
{
    if (pKey == nullptr)
        return false;
    return SetTypeValue(std::string(pKey), rValue);
}

JoxTypesMaster::eStatus JoxTypesMaster::GetStatus() const
{
    return mStatus;
}

void JoxTypesMaster::SetStatus(eStatus status, const char* pBlockedBy)
{
    mStatus = status;
    SetTypeValue(eStatusName, StatusToString(status));
    SetTypeValue(eStatusBlockedBy, pBlockedBy != nullptr ? pBlockedBy : "");
}

void JoxTypesMaster::UpdateStatus()
{
    mStatus = StatusFromString(GetStatusName().c_str());
}

} // namespace JoxWsdd
