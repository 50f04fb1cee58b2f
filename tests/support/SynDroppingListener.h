#pragma once

#include <string>
#include <vector>

namespace tandriltest {

// A port on 127.0.0.1 that never answers a connect, as a host whose packets
// are dropped: its listening socket's accept queue is kept full, so the
// kernel drops every SYN sent to it and a connect waits in SYN_SENT until
// its limit runs out or it is ended.
class SynDroppingListener
{
public:
    // On the given port (0: any free one).
    explicit SynDroppingListener(int port = 0);
    ~SynDroppingListener();
    SynDroppingListener(const SynDroppingListener&) = delete;
    SynDroppingListener& operator=(const SynDroppingListener&) = delete;

    bool IsValid() const { return mFiller >= 0; }
    int GetPort() const { return mPort; }
    // "http://127.0.0.1:PORT".
    std::string GetUrl() const;
    // The descriptors of this process whose connect to the port is under
    // way, as the calling thread's network namespace lists its sockets.
    std::vector<int> ConnectingDescriptors() const;

private:
    int mListener = -1;
    int mFiller = -1;
    int mPort = 0;
};

} // namespace tandriltest
