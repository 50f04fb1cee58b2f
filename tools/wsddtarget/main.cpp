// wsddtarget: a WS-Discovery target service for tests and benchmarks.
//   wsddtarget [--ip ADDR] [--endpoint URN] [--types TEXT] [--scopes TEXT]
//              [--xaddrs TEXT] [--hello-interval-ms N [--hello-count N] [--hello-burst N] [--distinct]]
//              [--duration-ms N]
// With --distinct every Hello has a new endpoint, and "%n" in the XAddrs
// becomes the Hello's number (1, 2, ...), so that each service has its own URL.
// Prints "READY <endpoint>" once it listens and "SENT <count> <monotonic ns>"
// after the last counted Hello; SIGTERM or SIGINT (or the end of
// the duration, 60 s by default) sends Bye and ends it.

#include "WsddTarget.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t gStop = 0;

void OnSignal(int)
{
    gStop = 1;
}

int Usage()
{
    std::fprintf(stderr, "usage: wsddtarget [--ip ADDR] [--endpoint URN] [--types TEXT] [--scopes TEXT] "
                         "[--xaddrs TEXT] [--hello-interval-ms N] [--hello-count N] [--hello-burst N] [--distinct] "
                         "[--duration-ms N]\n");
    return 2;
}

// The XAddrs with every "%n" replaced by the number.
std::string NumberedXAddrs(std::string xAddrs, long number)
{
    const std::string text = std::to_string(number);
    for (size_t at = xAddrs.find("%n"); at != std::string::npos; at = xAddrs.find("%n", at + text.size()))
        xAddrs.replace(at, 2, text);
    return xAddrs;
}

} // namespace

int main(int argc, char** argv)
{
    tandriltools::WsddTarget::Settings settings;
    long helloIntervalMs = 0;
    long helloCount = 0;
    long helloBurst = 1;
    long durationMs = 60000;
    bool bDistinct = false;
    for (int index = 1; index < argc; ++index)
    {
        const std::string option = argv[index];
        const bool bHasValue = index + 1 < argc;
        if (option == "--distinct")
            bDistinct = true;
        else if (!bHasValue)
            return Usage();
        else if (option == "--ip")
            settings.mInterfaceIp = argv[++index];
        else if (option == "--endpoint")
            settings.mEndpoint = argv[++index];
        else if (option == "--types")
            settings.mTypes = argv[++index];
        else if (option == "--scopes")
            settings.mScopes = argv[++index];
        else if (option == "--xaddrs")
            settings.mXAddrs = argv[++index];
        else if (option == "--hello-interval-ms")
            helloIntervalMs = std::atol(argv[++index]);
        else if (option == "--hello-count")
            helloCount = std::atol(argv[++index]);
        else if (option == "--hello-burst")
            helloBurst = std::max(1L, std::atol(argv[++index]));
        else if (option == "--duration-ms")
            durationMs = std::atol(argv[++index]);
        else
            return Usage();
    }

    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);

    tandriltools::WsddTarget target(settings);
    if (!target.Start())
    {
        std::fprintf(stderr, "wsddtarget: %s\n", target.GetError().c_str());
        return 1;
    }
    std::printf("READY %s\n", target.GetSettings().mEndpoint.c_str());
    std::fflush(stdout);

    const auto start = std::chrono::steady_clock::now();
    auto nextHello = start + std::chrono::milliseconds(helloIntervalMs);
    long hellosSent = 0;
    while (gStop == 0 && std::chrono::steady_clock::now() - start < std::chrono::milliseconds(durationMs))
    {
        const bool bMoreHellos = helloIntervalMs > 0 && (helloCount == 0 || hellosSent < helloCount);
        if (bMoreHellos && std::chrono::steady_clock::now() >= nextHello)
        {
            if (bDistinct)
                target.SendHello(tandriltools::WsddTarget::NewUuid(), target.GetSettings().mTypes,
                                 NumberedXAddrs(target.GetSettings().mXAddrs, hellosSent + 1));
            else
                target.SendHello();
            ++hellosSent;
            if (hellosSent == helloCount)
            {
                // The steady clock is CLOCK_MONOTONIC: benchmarks compare it across processes.
                std::printf("SENT %ld %lld\n", hellosSent,
                            static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                       std::chrono::steady_clock::now().time_since_epoch())
                                                       .count()));
                std::fflush(stdout);
            }
            // A burst sends its Hellos back to back, then waits for the next interval.
            if (hellosSent % helloBurst == 0)
                nextHello += std::chrono::milliseconds(helloIntervalMs);
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(bMoreHellos ? 1 : 10));
    }
    target.Stop();
    std::fprintf(stderr, "wsddtarget: %ld hellos, %u probes and %u resolves answered\n", hellosSent,
                 target.GetProbesAnswered(), target.GetResolvesAnswered());
    return 0;
}
