#pragma once

#include "joxmaintenanceServiceService.h"
#include "simserver/SimServerTypes.h"

#include <string>

namespace simserver {

class SimServer;

// The maintenance service of one connection of the simulated server: answers
// from the server's state, or misbehaves as its fault setting says.
class SimService : public joxmaintenance::ServiceService
{
public:
    SimService(SimServer& rServer, int socket);

    joxmaintenance::ServiceService* copy() override;

    int ServiceFetchInformation(joxmaintenance::jox__ServiceFetchInformationRequest* pRequest,
                                joxmaintenance::jox__ServiceFetchInformationResponse& rResponse) override;
    int LogCreateAndFetchCollection(joxmaintenance::jox__LogCreateAndFetchCollectionRequest* pRequest,
                                    joxmaintenance::jox__LogCreateAndFetchCollectionResponse& rResponse) override;
    int LogCreateCollection(joxmaintenance::jox__LogCreateCollectionRequest* pRequest,
                            joxmaintenance::jox__LogCreateCollectionResponse& rResponse) override;
    int LogList(joxmaintenance::jox__LogListRequest* pRequest,
                joxmaintenance::jox__LogListResponse& rResponse) override;
    int LogListCollections(joxmaintenance::jox__LogListCollectionsRequest* pRequest,
                           joxmaintenance::jox__LogListCollectionsResponse& rResponse) override;
    int LogFetchCollection(joxmaintenance::jox__LogFetchCollectionRequest* pRequest,
                           joxmaintenance::jox__LogFetchCollectionResponse& rResponse) override;
    int LogDeleteCollection(joxmaintenance::jox__LogDeleteCollectionRequest* pRequest,
                            joxmaintenance::jox__LogDeleteCollectionResponse& rResponse) override;
    int LogDeleteAllCollections(joxmaintenance::jox__LogDeleteAllCollectionsRequest* pRequest,
                                joxmaintenance::jox__LogDeleteAllCollectionsResponse& rResponse) override;
    int LogStatus(joxmaintenance::jox__LogStatusRequest* pRequest,
                  joxmaintenance::jox__LogStatusResponse& rResponse) override;

private:
    // Acts out a fault instead of the normal answer; the result ends the handler.
    int Misbehave(Fault fault, const std::string& rOperation);
    int SendRaw(const std::string& rBytes);
    // Sets up rpFile to stream the stored collection rName as a DIME attachment.
    int AttachCollection(const std::string& rName, const std::string& rClientFolder, bool cutOff,
                         joxmaintenance::xsd__base64Binary*& rpFile);
    joxmaintenance::jox__AvailableLogsListType* EchoSources(const std::vector<LogSource>& rSources);
    void AddJob(const joxmaintenance::jox__CommandStatusType* pStatus);

    SimServer& mServer;
    int mSocket;
    // The address the connection was made to.
    std::string mLocalAddress;
};

} // namespace simserver
