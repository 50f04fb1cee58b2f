#include "joxmaintenance/LogSources.h"

#include "joxmaintenanceH.h"

#include <utility>

namespace joxmaintenance {

namespace {

struct NamedSource
{
    std::string mName;
    QString mDisplayName;
};

std::vector<NamedSource> BuildSources()
{
    std::vector<NamedSource> sources;
    for (int channel = 1; channel <= 8; ++channel)
        sources.push_back({"harlenchannel" + std::to_string(channel), QStringLiteral("Channel %1").arg(channel)});
    for (int channel = 1; channel <= 8; ++channel)
        sources.push_back({"harlenws" + std::to_string(channel), QStringLiteral("Channel %1 web service").arg(channel)});
    sources.push_back({"quorelagentlogs", QStringLiteral("Agent logs")});
    sources.push_back({"quorelagentfiles", QStringLiteral("Additional agent files")});
    sources.push_back({"quorelwebservicelogs", QStringLiteral("Web service logs")});
    sources.push_back({"systemlogs", QStringLiteral("Logs")});
    sources.push_back({"systemconfigurations", QStringLiteral("Configurations")});
    return sources;
}

// Built during static initialization.
const std::vector<NamedSource> mpSources = BuildSources();

std::vector<std::string> BuildNames()
{
    std::vector<std::string> names;
    for (const NamedSource& rSource : mpSources)
        names.push_back(rSource.mName);
    return names;
}

const std::vector<std::string> mpSourceNames = BuildNames();

} // namespace

const std::vector<std::string>& LogSourceNames()
{
    return mpSourceNames;
}

QString LogSourceDisplayName(const std::string& rName)
{
    for (const NamedSource& rSource : mpSources)
    {
        if (rSource.mName == rName)
            return rSource.mDisplayName;
    }
    return QString::fromUtf8(rName.data(), static_cast<int>(rName.size()));
}

jox__AvailableLogsListType* LogEntryList2SoapListPointer(struct soap* pSoap, const LogEntryList& rEntries)
{
    if (rEntries.empty())
        return nullptr;
    jox__AvailableLogsListType* pList = soap_new_jox__AvailableLogsListType(pSoap);
    if (!pList)
        return nullptr;
    for (const LogEntry& rEntry : rEntries)
    {
        jox__AvailableLogsType* pSource = soap_new_jox__AvailableLogsType(pSoap);
        if (!pSource)
            return pList;
        pSource->Type = rEntry.GetType();
        pSource->StartTime = rEntry.GetStartTime();
        pSource->DurationSeconds = rEntry.GetDurationSeconds();
        pList->Source.push_back(pSource);
    }
    return pList;
}

void SoapListPointer2LogEntryList(const jox__AvailableLogsListType* pList, LogEntryList& rEntries)
{
    if (!pList)
        return;
    for (const jox__AvailableLogsType* pSource : pList->Source)
    {
        if (pSource)
            rEntries.emplace_back(pSource->Type, pSource->StartTime, pSource->DurationSeconds);
    }
}

} // namespace joxmaintenance
