#pragma once

#include "simserver/SimServerTypes.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace simserver {

class SimService;

// A simulated media server: serves the nine maintenance operations over HTTP
// on one address and port, with state that tests set up and fault injection.
// Stored collections are files in the folder given to the constructor, which
// is the only place the server writes to; a collection being built waits in
// its subfolder ".building", out of the list, and new collections are
// numbered on from the highest "collection_<n>.zip" the folder holds. Texts
// are UTF-8, on the wire and in the state the tests set and read, unless the
// server keeps them as bytes (SetByteStrings). Downloads go out as DIME
// attachments streamed from disk with HTTP chunking.
class SimServer
{
public:
    // rFolder: the server's own folder for stored collections (created when missing).
    explicit SimServer(const std::string& rFolder);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Binds rAddress:port (0 = any free port) and starts serving; false with
    // GetError() set when binding fails.
    bool Start(const std::string& rAddress = "127.0.0.1", int port = 0);
    // Stops accepting, ends every open connection and joins all threads.
    void Stop();

    // The bound port (0 before Start).
    int GetPort() const;
    // "http://<address>:<port>".
    std::string GetUrl() const;
    std::string GetError() const;
    const std::string& GetFolder() const { return mFolder; }

    void SetInformation(const ServerInformation& rInformation);
    // Null list: LogList answers without any Sources element.
    void SetLogSources(const std::vector<LogSource>& rSources);
    void SetNoLogSources();
    void SetJobs(const std::vector<Job>& rJobs);
    // Stores a collection with the given content; false for an unsafe name.
    bool AddCollection(const std::string& rName, const std::string& rContent);
    // Names of the stored collections, sorted.
    std::vector<std::string> GetCollections() const;
    // Makes the given operation ("LogList", ...; empty for all) misbehave.
    void SetFault(const std::string& rOperation, Fault fault);
    // Sends this text as the DIME option (the file path) of every download
    // instead of the client's folder and the collection name; empty: normal.
    void SetAttachmentOption(const std::string& rOption);
    std::string GetAttachmentOption() const;
    // The raw option field the DimeShortOption fault sends; empty: a field
    // that declares 65535 bytes of file name and holds two.
    void SetMalformedOptionField(const std::string& rField);
    std::string GetMalformedOptionField() const;
    // The text (UTF-8) of the Soap11Fault fault: its fault string, and the
    // "Reason" element of its detail; empty: "Simulated fault" with the
    // detail "<Reason>simulated</Reason>".
    void SetFaultText(const std::string& rText);
    std::string GetFaultText() const;
    // Paces every attachment to at most this many bytes per second (0: as fast as possible).
    void SetAttachmentRate(std::uint64_t bytesPerSecond);
    std::uint64_t GetAttachmentRate() const;
    // Whether an attachment goes out as one DIME record that declares its
    // length (false: chunk records, the length unknown up front).
    void SetAttachmentSizeKnown(bool known);
    bool GetAttachmentSizeKnown() const;
    // Whether the server keeps its texts as bytes, as a server in the
    // runtime's default string mode does (false: as UTF-8): it then lists
    // each byte of a name as the character of that value, reads each
    // character of a request back as one byte, and sends a download's file
    // name as the bytes it holds. Connections opened afterwards follow it.
    void SetByteStrings(bool bytes);
    bool GetByteStrings() const;
    // How long building a collection takes (LogCreateAndFetchCollection and
    // LogCreateCollection answer only after it); 0 by default.
    void SetBuildDelay(std::chrono::milliseconds delay);
    // Bytes of an attachment sent before a CutOff download ends the connection.
    void SetCutOffBytes(std::uint64_t bytes);
    std::uint64_t GetCutOffBytes() const;
    // Every request received so far, in order.
    std::vector<ReceivedRequest> GetRequests() const;
    // The requests received after the first ones, in order.
    std::vector<ReceivedRequest> GetRequests(std::size_t first) const;
    // Number of connections accepted so far.
    int GetConnectionCount() const;

    // A collection name the server accepts: not empty, not "." or "..", no separators.
    static bool IsSafeName(const std::string& rName);

private:
    friend class SimService;

    void AcceptLoop();
    void ServeConnection(int socket, std::shared_ptr<bool> pDone);
    void JoinFinishedConnections();
    Fault TakeFault(const std::string& rOperation) const;
    void Record(const ReceivedRequest& rRequest);
    // Builds a collection of the sources, taking the build delay; its name,
    // or empty when it could not be written or Stop() came first.
    std::string CreateCollection(const std::vector<LogSource>& rSources);
    // Waits for the build delay; false when Stop() came first.
    bool WaitForBuild();
    // Waits until Stop() or until the peer closes the socket.
    void WaitSilently(int socket);

    std::string mFolder;
    mutable std::mutex mMutex;
    std::condition_variable mStopped;
    bool mStopping = false;
    std::string mAddress;
    int mPort = 0;
    int mListenSocket = -1;
    std::string mError;
    std::thread mAcceptThread;
    struct Connection
    {
        std::thread mThread;
        std::shared_ptr<bool> mpDone; // set under mMutex when the thread ends
    };
    std::vector<Connection> mConnections;
    std::vector<int> mOpenSockets;
    int mConnectionCount = 0;
    int mCollectionCounter = 0;

    ServerInformation mInformation;
    std::unique_ptr<std::vector<LogSource>> mSources;
    std::vector<Job> mJobs;
    std::map<std::string, Fault> mFaults;
    std::uint64_t mCutOffBytes = 1024 * 1024;
    std::string mAttachmentOption;
    std::string mMalformedOptionField;
    std::string mFaultText;
    std::uint64_t mAttachmentRate = 0;
    bool mAttachmentSizeKnown = false;
    bool mByteStrings = false;
    std::chrono::milliseconds mBuildDelay{0};
    std::vector<ReceivedRequest> mRequests;
};

} // namespace simserver
