#include "joxmaintenance/CommandStatusConversion.h"

#include "joxmaintenance/CommandType.h"
#include "joxmaintenanceH.h"

#include <boost/make_shared.hpp>

namespace joxmaintenance {

namespace {

std::string ToUtf8(const QString& rText)
{
    return rText.toUtf8().toStdString();
}

QString FromUtf8(const std::string& rText)
{
    return QString::fromUtf8(rText.data(), static_cast<int>(rText.size()));
}

} // namespace

jox__CommandStatusType* CommandStatus2SoapPointer(struct soap* pSoap, const CommandStatusPtr& rStatus)
{
    if (!rStatus || rStatus->GetCommandId().isEmpty())
        return nullptr;
    jox__CommandStatusType* pWire = soap_new_jox__CommandStatusType(pSoap);
    if (!pWire)
        return nullptr;
    pWire->ClientIP = ToUtf8(rStatus->GetClientIp());
    pWire->CommandID = ToUtf8(rStatus->GetCommandId());
    pWire->CommandStatus = CommandStateToString(rStatus->GetCommandStatus());
    pWire->CommandType = CommandTypeToString(rStatus->GetCommandType());
    pWire->ProgressPercent = rStatus->GetProgressPercent();
    pWire->FinishedPhases = rStatus->GetFinishedPhases();
    if (!rStatus->GetProgressDetails().isEmpty())
    {
        pWire->ProgressDetails = soap_new_std__string(pSoap);
        *pWire->ProgressDetails = ToUtf8(rStatus->GetProgressDetails());
    }
    if (!rStatus->GetErrorDetails().isEmpty())
    {
        pWire->ErrorDetails = soap_new_std__string(pSoap);
        *pWire->ErrorDetails = ToUtf8(rStatus->GetErrorDetails());
    }
    return pWire;
}

CommandStatusPtr SoapPointer2CommandStatus(const jox__CommandStatusType* pStatus)
{
    if (!pStatus)
        return CommandStatusPtr();
    CommandStatusPtr pResult = boost::make_shared<CommandStatus>(
        FromUtf8(pStatus->CommandID), FromUtf8(pStatus->ClientIP), CommandTypeFromString(pStatus->CommandType),
        CommandStateFromString(pStatus->CommandStatus), pStatus->FinishedPhases, pStatus->ProgressPercent);
    if (pStatus->ProgressDetails)
        pResult->SetProgressDetails(FromUtf8(*pStatus->ProgressDetails));
    if (pStatus->ErrorDetails)
        pResult->SetErrorDetails(FromUtf8(*pStatus->ErrorDetails));
    return pResult;
}

void SoapListPointer2CommandStatusList(const LockedCommandStatusList& rList, const jox__CommandStatusListType* pList)
{
    if (!rList || !pList)
        return;
    for (const jox__CommandStatusType* pEntry : pList->Status)
        rList->Add(SoapPointer2CommandStatus(pEntry));
}

} // namespace joxmaintenance
