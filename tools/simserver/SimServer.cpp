#include "simserver/SimServer.h"

#include "SimService.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace simserver {

namespace {

// The subfolder of the server's folder in which collections are built.
const char* const kBuildFolder = ".building";

// n of a name "collection_<n>.zip" (up to nine digits); 0 for any other name.
int CollectionNumber(const std::string& rName)
{
    const std::string prefix = "collection_";
    const std::string suffix = ".zip";
    if (rName.size() <= prefix.size() + suffix.size() || rName.compare(0, prefix.size(), prefix) != 0 ||
        rName.compare(rName.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::string digits = rName.substr(prefix.size(), rName.size() - prefix.size() - suffix.size());
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoi(digits);
}

} // namespace

SimServer::SimServer(const std::string& rFolder)
    : mFolder(rFolder)
{
    ::mkdir(mFolder.c_str(), 0755);
}

SimServer::~SimServer()
{
    Stop();
}

bool SimServer::IsSafeName(const std::string& rName)
{
    return !rName.empty() && rName != "." && rName != ".." && rName.find('/') == std::string::npos &&
           rName.find('\\') == std::string::npos && rName.find('\0') == std::string::npos;
}

bool SimServer::Start(const std::string& rAddress, int port)
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (mListenSocket >= 0)
        return true;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::inet_pton(AF_INET, rAddress.c_str(), &address.sin_addr) != 1)
    {
        mError = "not an IPv4 address: " + rAddress;
        return false;
    }
    int listenSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    ::setsockopt(listenSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (listenSocket < 0 || ::bind(listenSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenSocket, 16) != 0)
    {
        mError = std::string("cannot listen on ") + rAddress + ":" + std::to_string(port) + ": " +
                 std::strerror(errno);
        if (listenSocket >= 0)
            ::close(listenSocket);
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(listenSocket, reinterpret_cast<sockaddr*>(&address), &length);
    mAddress = rAddress;
    mPort = ntohs(address.sin_port);
    mListenSocket = listenSocket;
    mStopping = false;
    mAcceptThread = std::thread(&SimServer::AcceptLoop, this);
    return true;
}

void SimServer::Stop()
{
    std::vector<Connection> connections;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mListenSocket < 0)
            return;
        mStopping = true;
        for (int socket : mOpenSockets)
            ::shutdown(socket, SHUT_RDWR);
    }
    mStopped.notify_all();
    if (mAcceptThread.joinable())
        mAcceptThread.join();
    {
        std::lock_guard<std::mutex> lock(mMutex);
        connections.swap(mConnections);
    }
    for (Connection& rConnection : connections)
        rConnection.mThread.join();
    std::lock_guard<std::mutex> lock(mMutex);
    ::close(mListenSocket);
    mListenSocket = -1;
}

void SimServer::AcceptLoop()
{
    for (;;)
    {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            if (mStopping)
                return;
        }
        pollfd entry{mListenSocket, POLLIN, 0};
        if (::poll(&entry, 1, 50) <= 0)
            continue;
        JoinFinishedConnections();
        int socket = ::accept4(mListenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        std::lock_guard<std::mutex> lock(mMutex);
        if (mStopping)
        {
            ::close(socket);
            return;
        }
        ++mConnectionCount;
        mOpenSockets.push_back(socket);
        auto pDone = std::make_shared<bool>(false);
        mConnections.push_back({std::thread(&SimServer::ServeConnection, this, socket, pDone), pDone});
    }
}

void SimServer::JoinFinishedConnections()
{
    std::vector<Connection> finished;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        auto split = std::partition(mConnections.begin(), mConnections.end(),
                                    [](const Connection& rConnection) { return !*rConnection.mpDone; });
        std::move(split, mConnections.end(), std::back_inserter(finished));
        mConnections.erase(split, mConnections.end());
    }
    for (Connection& rConnection : finished)
        rConnection.mThread.join();
}

void SimServer::ServeConnection(int socket, std::shared_ptr<bool> pDone)
{
    {
        SimService service(*this, socket);
        service.serve();
        service.destroy();
        service.soap->socket = SOAP_INVALID_SOCKET;
    }
    std::lock_guard<std::mutex> lock(mMutex);
    mOpenSockets.erase(std::remove(mOpenSockets.begin(), mOpenSockets.end(), socket), mOpenSockets.end());
    ::close(socket);
    *pDone = true;
}

void SimServer::WaitSilently(int socket)
{
    std::unique_lock<std::mutex> lock(mMutex);
    while (!mStopping)
    {
        pollfd entry{socket, POLLIN, 0};
        lock.unlock();
        int ready = ::poll(&entry, 1, 0);
        char byte;
        bool peerClosed = ready > 0 && ::recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
        lock.lock();
        if (peerClosed)
            return;
        mStopped.wait_for(lock, std::chrono::milliseconds(50));
    }
}

bool SimServer::WaitForBuild()
{
    std::unique_lock<std::mutex> lock(mMutex);
    return !mStopped.wait_for(lock, mBuildDelay, [this] { return mStopping; });
}

int SimServer::GetPort() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPort;
}

std::string SimServer::GetUrl() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return "http://" + mAddress + ":" + std::to_string(mPort);
}

std::string SimServer::GetError() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mError;
}

void SimServer::SetInformation(const ServerInformation& rInformation)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mInformation = rInformation;
}

void SimServer::SetLogSources(const std::vector<LogSource>& rSources)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSources = std::make_unique<std::vector<LogSource>>(rSources);
}

void SimServer::SetNoLogSources()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSources.reset();
}

void SimServer::SetJobs(const std::vector<Job>& rJobs)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mJobs = rJobs;
}

bool SimServer::AddCollection(const std::string& rName, const std::string& rContent)
{
    if (!IsSafeName(rName))
        return false;
    std::ofstream file(mFolder + "/" + rName, std::ios::binary | std::ios::trunc);
    file << rContent;
    return static_cast<bool>(file);
}

std::vector<std::string> SimServer::GetCollections() const
{
    std::vector<std::string> names;
    if (DIR* pDir = ::opendir(mFolder.c_str()))
    {
        while (dirent* pEntry = ::readdir(pDir))
        {
            struct stat info{};
            const std::string name = pEntry->d_name;
            if (IsSafeName(name) && ::stat((mFolder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
                names.push_back(name);
        }
        ::closedir(pDir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SimServer::CreateCollection(const std::vector<LogSource>& rSources)
{
    // Numbered on from what the folder holds, so that a server restarted on
    // the same folder never overwrites a collection of an earlier run.
    int highest = 0;
    for (const std::string& rName : GetCollections())
        highest = std::max(highest, CollectionNumber(rName));
    std::string name;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mCollectionCounter = std::max(mCollectionCounter, highest) + 1;
        name = "collection_" + std::to_string(mCollectionCounter) + ".zip";
    }
    std::string content = "simulated log collection\n";
    for (const LogSource& rSource : rSources)
        content += rSource.mType + " " + rSource.mStartTime + " " + std::to_string(rSource.mDurationSeconds) + "\n";

    // The file is built in a subfolder, which the list leaves out, and takes
    // its place only once the build is done: a build cut short by Stop() or
    // by the end of the process leaves no collection.
    const std::string buildFolder = mFolder + "/" + kBuildFolder;
    const std::string building = buildFolder + "/" + name;
    ::mkdir(buildFolder.c_str(), 0755);
    {
        std::ofstream file(building, std::ios::binary | std::ios::trunc);
        file << content;
        if (!file)
        {
            std::remove(building.c_str());
            return std::string();
        }
    }
    if (!WaitForBuild() || std::rename(building.c_str(), (mFolder + "/" + name).c_str()) != 0)
    {
        std::remove(building.c_str());
        return std::string();
    }
    return name;
}

void SimServer::SetFault(const std::string& rOperation, Fault fault)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFaults[rOperation] = fault;
}

void SimServer::SetBuildDelay(std::chrono::milliseconds delay)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mBuildDelay = delay;
}

void SimServer::SetCutOffBytes(std::uint64_t bytes)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mCutOffBytes = bytes;
}

void SimServer::SetAttachmentOption(const std::string& rOption)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mAttachmentOption = rOption;
}

void SimServer::SetMalformedOptionField(const std::string& rField)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mMalformedOptionField = rField;
}

void SimServer::SetFaultText(const std::string& rText)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mFaultText = rText;
}

std::string SimServer::GetFaultText() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mFaultText;
}

std::string SimServer::GetMalformedOptionField() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mMalformedOptionField;
}

std::string SimServer::GetAttachmentOption() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mAttachmentOption;
}

void SimServer::SetAttachmentRate(std::uint64_t bytesPerSecond)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mAttachmentRate = bytesPerSecond;
}

std::uint64_t SimServer::GetAttachmentRate() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mAttachmentRate;
}

void SimServer::SetAttachmentSizeKnown(bool known)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mAttachmentSizeKnown = known;
}

bool SimServer::GetAttachmentSizeKnown() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mAttachmentSizeKnown;
}

void SimServer::SetByteStrings(bool bytes)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mByteStrings = bytes;
}

bool SimServer::GetByteStrings() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mByteStrings;
}

std::uint64_t SimServer::GetCutOffBytes() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mCutOffBytes;
}

Fault SimServer::TakeFault(const std::string& rOperation) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    auto found = mFaults.find(rOperation);
    if (found != mFaults.end() && found->second != Fault::None)
        return found->second;
    found = mFaults.find(std::string());
    return found != mFaults.end() ? found->second : Fault::None;
}

void SimServer::Record(const ReceivedRequest& rRequest)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mRequests.push_back(rRequest);
}

std::vector<ReceivedRequest> SimServer::GetRequests() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequests;
}

std::vector<ReceivedRequest> SimServer::GetRequests(std::size_t first) const
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (first >= mRequests.size())
        return {};
    return std::vector<ReceivedRequest>(mRequests.begin() + static_cast<std::ptrdiff_t>(first), mRequests.end());
}

int SimServer::GetConnectionCount() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mConnectionCount;
}

} // namespace simserver
