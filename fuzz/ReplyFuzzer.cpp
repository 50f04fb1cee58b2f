// Feeds arbitrary bytes as the HTTP reply of one of the nine maintenance
// operations (chosen by the input's first byte) to the real command and its
// service proxy. The proxies' transport is replaced through the test-build
// hook of CreateServiceClient: nothing is sent and the reply is read from the
// input. Downloads go to a scratch folder; after every input the fuzzer
// checks that nothing was written beside that folder and that no temporary
// file was left in it.

#include "FolderEntries.h"
#include "FuzzInput.h"
#include "ReplyOperations.h"

#include <joxmaintenance/LockedCommandStatusList.h>
#include <joxmaintenance/ServerConnection.h>

#include <stdsoap2.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string gOuter;  // the fuzzer's working directory
std::string gFolder; // the download folder inside it

SOAP_SOCKET OpenNothing(struct soap*, const char*, const char*, int)
{
    return ::open("/dev/null", O_RDWR | O_CLOEXEC);
}

int CloseSocket(struct soap*, SOAP_SOCKET socket)
{
    return ::close(socket) == 0 ? SOAP_OK : SOAP_EOF;
}

int ShutDownNothing(struct soap*, SOAP_SOCKET, int)
{
    return SOAP_OK;
}

int Disconnect(struct soap* pSoap)
{
    if (soap_valid_socket(pSoap->socket))
        ::close(pSoap->socket);
    pSoap->socket = SOAP_INVALID_SOCKET;
    return SOAP_OK;
}

void Fail(const std::string& rWhat)
{
    std::fprintf(stderr, "reply fuzzer: %s\n", rWhat.c_str());
    std::abort();
}

// Nothing beside the folder; in it, no temporary file; then empty it.
void CheckAndEmptyFolder()
{
    for (const std::string& rName : tandriltest::FolderEntries(gOuter))
    {
        if (rName != "in")
            Fail("written outside the download folder: " + gOuter + "/" + rName);
    }
    for (const std::string& rName : tandriltest::FolderEntries(gFolder))
    {
        if (rName.size() > 5 && rName[0] == '.' && rName.compare(rName.size() - 5, 5, ".part") == 0)
            Fail("temporary file left in the download folder: " + rName);
        std::remove((gFolder + "/" + rName).c_str());
    }
}

void RemoveFolders()
{
    for (const std::string& rName : tandriltest::FolderEntries(gFolder))
        std::remove((gFolder + "/" + rName).c_str());
    ::rmdir(gFolder.c_str());
    ::rmdir(gOuter.c_str());
}

// Reads every result, so that the sanitizers see each byte the command kept.
size_t TouchResults(const joxmaintenance::Command& rCommand)
{
    using namespace joxmaintenance;
    size_t touched = static_cast<size_t>(rCommand.GetMessagesText().size());
    if (auto* pList = dynamic_cast<const CommandListAvailableLogs*>(&rCommand))
    {
        for (const LogEntry& rEntry : pList->GetLogEntries())
            touched += rEntry.GetType().size();
    }
    else if (auto* pCollections = dynamic_cast<const CommandListLogCollections*>(&rCommand))
    {
        for (const QString& rName : pCollections->GetLogCollections())
            touched += static_cast<size_t>(rName.size());
    }
    else if (auto* pInformation = dynamic_cast<const CommandQueryMachineInformation*>(&rCommand))
    {
        touched += static_cast<size_t>(pInformation->GetName().size() + pInformation->GetServiceVersion().size());
    }
    else if (auto* pStatus = dynamic_cast<const CommandLogStatus*>(&rCommand))
    {
        LockedCommandStatusList list = LockForRead(pStatus->GetStatusList());
        touched += list->size();
    }
    return touched;
}

} // namespace

// The transport of every proxy the commands create.
extern "C" void TandrilPrepareServiceClient(struct soap* pSoap)
{
    pSoap->fopen = OpenNothing;
    pSoap->fsend = fuzzinput::DropOutput;
    pSoap->frecv = fuzzinput::ReadInput;
    pSoap->fclose = Disconnect;
    pSoap->fclosesocket = CloseSocket;
    pSoap->fshutdownsocket = ShutDownNothing;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char outer[] = "/tmp/tandril-reply-fuzz-XXXXXX";
    if (!::mkdtemp(outer))
        Fail("cannot create a scratch folder");
    gOuter = outer;
    gFolder = gOuter + "/in";
    if (::mkdir(gFolder.c_str(), 0700) != 0 || ::chdir(gOuter.c_str()) != 0)
        Fail("cannot prepare the scratch folder");
    std::atexit(RemoveFolders);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t size)
{
    if (size == 0)
        return 0;
    fuzzinput::SetInput(pData + 1, size - 1);
    std::unique_ptr<joxmaintenance::Command> pCommand = replyfuzz::MakeCommand(
        pData[0], QStringLiteral("http://127.0.0.1:8070"), QString::fromStdString(gFolder));
    pCommand->DoExecute();
    volatile size_t touched = TouchResults(*pCommand);
    (void)touched;
    CheckAndEmptyFolder();
    return 0;
}
