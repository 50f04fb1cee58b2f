#pragma once

#include <joxwsdd/PelwickExport.h>

#include <list>
#include <string>

namespace JoxWsdd {

// Typed metadata carried in a WS-Discovery Types list as "key__value" items.
// The subclass keeps the list; this base reads and writes items in it and
// caches the service's status.
class PELWICK_EXPORT JoxTypesMaster
{
public:
    enum eStatus
    {
        eStatusFree = 0,
        eStatusActive = 1,
        eStatusBlocked = 2,
        eStatusRestricted = 3,
        eStatusDisconnected = 4,
        eStatusNone = 5
    };

    enum eTypeNames
    {
        eStatusName = 0,
        eStatusBlockedBy,
        eServiceName,
        eServiceVersion,
        eDescriptionNumber,
        eDescriptionName,
        eHardwareManufacturer,
        eHardwareName,
        eHardwareRevision,
        eSoftwareManufacturer,
        eSoftwareName,
        eSoftwareVersion,
        eTypeNamesCount
    };

    static const char* const mpKeyValueSeparator;         // "__"
    static const char* const mpTypeNames[eTypeNamesCount]; // the standard keys

    JoxTypesMaster(const JoxTypesMaster& rOther);
    JoxTypesMaster& operator=(const JoxTypesMaster& rOther);

    virtual const std::list<std::string>& GetTypesList() const = 0;
    // Replaces the whole list.
    virtual void SetTypesList(const std::list<std::string>& rList) = 0;

    // Exact, case-sensitive; null or unknown text gives eStatusNone.
    static eStatus StatusFromString(const char* pText);
    // "" for eStatusNone and any unknown value.
    static const char* StatusToString(eStatus status);
    static bool SetStatusName(std::list<std::string>& rList, eStatus status);

    static std::string GetStatusName(const std::list<std::string>& rList);
    static std::string GetStatusBlockedBy(const std::list<std::string>& rList);
    static std::string GetServiceName(const std::list<std::string>& rList);
    static std::string GetServiceVersion(const std::list<std::string>& rList);
    static std::string GetDescriptionNumber(const std::list<std::string>& rList);
    static std::string GetDescriptionName(const std::list<std::string>& rList);
    static std::string GetHardwareManufacturer(const std::list<std::string>& rList);
    static std::string GetHardwareName(const std::list<std::string>& rList);
    static std::string GetHardwareRevision(const std::list<std::string>& rList);
    static std::string GetSoftwareManufacturer(const std::list<std::string>& rList);
    static std::string GetSoftwareName(const std::list<std::string>& rList);
    static std::string GetSoftwareVersion(const std::list<std::string>& rList);

    static bool SetStatusBlockedBy(std::list<std::string>& rList, const std::string& rValue);
    static bool SetServiceName(std::list<std::string>& rList, const std::string& rValue);
    static bool SetServiceVersion(std::list<std::string>& rList, const std::string& rValue);
    static bool SetDescriptionNumber(std::list<std::string>& rList, const std::string& rValue);
    static bool SetDescriptionName(std::list<std::string>& rList, const std::string& rValue);
    static bool SetHardwareManufacturer(std::list<std::string>& rList, const std::string& rValue);
    static bool SetHardwareName(std::list<std::string>& rList, const std::string& rValue);
    static bool SetHardwareRevision(std::list<std::string>& rList, const std::string& rValue);
    static bool SetSoftwareManufacturer(std::list<std::string>& rList, const std::string& rValue);
    static bool SetSoftwareName(std::list<std::string>& rList, const std::string& rValue);
    static bool SetSoftwareVersion(std::list<std::string>& rList, const std::string& rValue);

    std::string GetStatusName() const;
    std::string GetStatusBlockedBy() const;
    std::string GetServiceName() const;
    std::string GetServiceVersion() const;
    std::string GetDescriptionNumber() const;
    std::string GetDescriptionName() const;
    std::string GetHardwareManufacturer() const;
    std::string GetHardwareName() const;
    std::string GetHardwareRevision() const;
    std::string GetSoftwareManufacturer() const;
    std::string GetSoftwareName() const;
    std::string GetSoftwareVersion() const;

    bool SetStatusBlockedBy(const std::string& rValue);
    bool SetServiceName(const std::string& rValue);
    bool SetServiceVersion(const std::string& rValue);
    bool SetDescriptionNumber(const std::string& rValue);
    bool SetDescriptionName(const std::string& rValue);
    bool SetHardwareManufacturer(const std::string& rValue);
    bool SetHardwareName(const std::string& rValue);
    bool SetHardwareRevision(const std::string& rValue);
    bool SetSoftwareManufacturer(const std::string& rValue);
    bool SetSoftwareName(const std::string& rValue);
    bool SetSoftwareVersion(const std::string& rValue);

    // Writes the item of a standard key into the subclass's list; an empty
    // value removes it. False (list untouched) for blanks or "__" in the key
    // or blanks in the value.
    bool SetTypeValue(eTypeNames index, const std::string& rValue);
    // "" for a null key.
    std::string GetGenericType(const char* pKey) const;
    // False for a null key.
    bool SetGenericType(const char* pKey, const std::string& rValue);

    // The cached status.
    eStatus GetStatus() const;
    // Caches the status and writes the status and blocked-by items.
    void SetStatus(eStatus status, const char* pBlockedBy);
    // Re-reads the cached status from the status item.
    void UpdateStatus();

protected:
    JoxTypesMaster();
    virtual ~JoxTypesMaster();

    static std::string GetTypeValue(const std::list<std::string>& rList, const std::string& rKey);
    static bool SetTypeValue(std::list<std::string>& rList, const std::string& rKey,
                             const std::string& rValue);
    bool SetTypeValue(const std::string& rKey, const std::string& rValue);
    bool SetStatusName(const std::string& rValue);

private:
    eStatus mStatus;
};

} // namespace JoxWsdd
