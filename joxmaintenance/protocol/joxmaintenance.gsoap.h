// Interface of the maintenance web service, turned into code by soapcpp2 at
// build time (C++ namespace joxmaintenance, proxy and service share a context).
//
// SOAP 1.1, document/literal. The schema namespace below is the one place that
// fixes its host; the service namespace is the schema namespace followed by
// "/Service.wsdl". "nullptr" before an occurrence makes a null required
// pointer go out as an xsi:nil element.

//gsoap ns1  service name:      Service
//gsoap ns1  service style:     document
//gsoap ns1  service encoding:  literal
//gsoap ns1  service namespace: http://maintenance.example.com/joxmaintenance.xsd/Service.wsdl
//gsoap ns1  service location:  http://localhost:80
// Every call sends an empty SOAPAction, also when the caller passes none.
//gsoap ns1  service method-action: ServiceFetchInformation ""
//gsoap ns1  service method-action: LogCreateAndFetchCollection ""
//gsoap ns1  service method-action: LogCreateCollection ""
//gsoap ns1  service method-action: LogList ""
//gsoap ns1  service method-action: LogListCollections ""
//gsoap ns1  service method-action: LogFetchCollection ""
//gsoap ns1  service method-action: LogDeleteCollection ""
//gsoap ns1  service method-action: LogDeleteAllCollections ""
//gsoap ns1  service method-action: LogStatus ""
//gsoap ns1  schema namespace:  http://maintenance.example.com/joxmaintenance.xsd/Service.wsdl

//gsoap jox  schema namespace:  http://maintenance.example.com/joxmaintenance.xsd
//gsoap jox  schema elementForm: unqualified
//gsoap jox  schema attributeForm: unqualified

#import "stlvector.h"

// A file value that may travel as a DIME attachment.
class xsd__base64Binary
{
  public:
    unsigned char* __ptr;
    int __size;
    char* id;
    char* type;
    char* options;
    struct soap* soap;
};

// One log source with a time span.
class jox__AvailableLogsType
{
  public:
    std::string Type 1;
    std::string StartTime 1;
    int DurationSeconds 1;
    struct soap* soap;
};

class jox__AvailableLogsListType
{
  public:
    std::vector<jox__AvailableLogsType*> Source 1;
    struct soap* soap;
};

// The state of one command.
class jox__CommandStatusType
{
  public:
    std::string CommandID 1;
    std::string ClientIP 1;
    std::string CommandType 1;
    std::string CommandStatus 1;
    double ProgressPercent 1;
    int FinishedPhases 1;
    std::string* ProgressDetails 0;
    std::string* ErrorDetails 0;
    struct soap* soap;
};

class jox__CommandStatusListType
{
  public:
    std::vector<jox__CommandStatusType*> Status 1;
    struct soap* soap;
};

class jox__ServiceFetchInformationRequest
{
  public:
    struct soap* soap;
};

class jox__ServiceFetchInformationResponse
{
  public:
    std::string ServiceVersion 1;
    std::string Name 1;
    std::string SoftwareVersion 1;
    struct soap* soap;
};

class jox__LogCreateAndFetchCollectionRequest
{
  public:
    jox__AvailableLogsListType* Sources nullptr 1;
    std::string LogFilePath 1;
    jox__CommandStatusType* Status 0;
    struct soap* soap;
};

class jox__LogCreateAndFetchCollectionResponse
{
  public:
    jox__AvailableLogsListType* Sources nullptr 1;
    xsd__base64Binary* LogFile nullptr 1;
    struct soap* soap;
};

class jox__LogCreateCollectionRequest
{
  public:
    jox__AvailableLogsListType* Sources nullptr 1;
    jox__CommandStatusType* Status 0;
    struct soap* soap;
};

class jox__LogCreateCollectionResponse
{
  public:
    jox__AvailableLogsListType* Sources nullptr 1;
    struct soap* soap;
};

class jox__LogListRequest
{
  public:
    struct soap* soap;
};

class jox__LogListResponse
{
  public:
    jox__AvailableLogsListType* Sources 0;
    struct soap* soap;
};

class jox__LogListCollectionsRequest
{
  public:
    struct soap* soap;
};

class jox__LogListCollectionsResponse
{
  public:
    std::vector<std::string> LogCollection 1;
    struct soap* soap;
};

class jox__LogFetchCollectionRequest
{
  public:
    std::string ClientPath 1;
    std::string LogFileName 1;
    jox__CommandStatusType* Status 0;
    struct soap* soap;
};

class jox__LogFetchCollectionResponse
{
  public:
    xsd__base64Binary* LogFile nullptr 1;
    struct soap* soap;
};

class jox__LogDeleteCollectionRequest
{
  public:
    std::string LogFileName 1;
    struct soap* soap;
};

class jox__LogDeleteCollectionResponse
{
  public:
    struct soap* soap;
};

class jox__LogDeleteAllCollectionsRequest
{
  public:
    struct soap* soap;
};

class jox__LogDeleteAllCollectionsResponse
{
  public:
    struct soap* soap;
};

class jox__LogStatusRequest
{
  public:
    struct soap* soap;
};

class jox__LogStatusResponse
{
  public:
    jox__CommandStatusListType* Status nullptr 1;
    struct soap* soap;
};

// A trailing underscore on a parameter name is dropped from its element name.
int __ns1__ServiceFetchInformation(jox__ServiceFetchInformationRequest* jox__ServiceFetchInformationRequest_,
                                   jox__ServiceFetchInformationResponse& jox__ServiceFetchInformationResponse_);
int __ns1__LogCreateAndFetchCollection(jox__LogCreateAndFetchCollectionRequest* jox__LogCreateAndFetchCollectionRequest_,
                                       jox__LogCreateAndFetchCollectionResponse& jox__LogCreateAndFetchCollectionResponse_);
int __ns1__LogCreateCollection(jox__LogCreateCollectionRequest* jox__LogCreateCollectionRequest_,
                               jox__LogCreateCollectionResponse& jox__LogCreateCollectionResponse_);
int __ns1__LogList(jox__LogListRequest* jox__LogListRequest_, jox__LogListResponse& jox__LogListResponse_);
int __ns1__LogListCollections(jox__LogListCollectionsRequest* jox__LogListCollectionsRequest_,
                              jox__LogListCollectionsResponse& jox__LogListCollectionsResponse_);
int __ns1__LogFetchCollection(jox__LogFetchCollectionRequest* jox__LogFetchCollectionRequest_,
                              jox__LogFetchCollectionResponse& jox__LogFetchCollectionResponse_);
int __ns1__LogDeleteCollection(jox__LogDeleteCollectionRequest* jox__LogDeleteCollectionRequest_,
                               jox__LogDeleteCollectionResponse& jox__LogDeleteCollectionResponse_);
int __ns1__LogDeleteAllCollections(jox__LogDeleteAllCollectionsRequest* jox__LogDeleteAllCollectionsRequest_,
                                   jox__LogDeleteAllCollectionsResponse& jox__LogDeleteAllCollectionsResponse_);
int __ns1__LogStatus(jox__LogStatusRequest* jox__LogStatusRequest_, jox__LogStatusResponse& jox__LogStatusResponse_);
