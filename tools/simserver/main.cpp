// tandril-simserver: the simulated media server as a program.
//   tandril-simserver --folder DIR [--address A] [--port P] [--source TYPE[,START,SECONDS]]...
//                     [--no-sources] [--info VERSION,NAME,SOFTWARE] [--fault [OPERATION=]KIND]...
//                     [--cutoff BYTES] [--build-delay MS] [--fault-text TEXT] [--size-known]
//                     [--job ID,TYPE,STATE[,PROGRESS_DETAILS[,ERROR_DETAILS]]]...
// Texts are taken as UTF-8 and served as they are. With --size-known a
// collection goes out as one DIME record that declares its size, as a server
// sends a file it holds in memory (by default: chunk records).
// Prints "listening on <url>" once it serves, and runs until SIGINT or SIGTERM.
#include "simserver/SimServer.h"

#include <csignal>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>

namespace {

std::vector<std::string> Split(const std::string& rText, char separator)
{
    std::vector<std::string> parts;
    std::stringstream stream(rText);
    std::string part;
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

bool ParseFault(const std::string& rName, simserver::Fault& rFault)
{
    static const std::map<std::string, simserver::Fault> faults = {
        {"none", simserver::Fault::None},
        {"soap11", simserver::Fault::Soap11Fault},
        {"soap12", simserver::Fault::Soap12Fault},
        {"unknown-child", simserver::Fault::UnknownChild},
        {"envelope-child", simserver::Fault::EnvelopeChild},
        {"must-understand", simserver::Fault::MustUnderstandHeader},
        {"dime-missing", simserver::Fault::DimeMissingRecord},
        {"dime-short-option", simserver::Fault::DimeShortOption},
        {"inline-file", simserver::Fault::InlineLogFile},
        {"nil-file", simserver::Fault::NilLogFile},
        {"oversized", simserver::Fault::OversizedReply},
        {"http-error", simserver::Fault::HttpError},
        {"empty-success", simserver::Fault::EmptySuccess},
        {"cut-off", simserver::Fault::CutOff},
        {"silent", simserver::Fault::Silent}};
    auto found = faults.find(rName);
    if (found == faults.end())
        return false;
    rFault = found->second;
    return true;
}

int Usage(const std::string& rProblem)
{
    std::cerr << "tandril-simserver: " << rProblem << "\n"
              << "usage: tandril-simserver --folder DIR [--address A] [--port P] [--source TYPE[,START,SECONDS]]...\n"
              << "       [--no-sources] [--info VERSION,NAME,SOFTWARE] [--fault [OPERATION=]KIND]... [--cutoff BYTES]\n"
              << "       [--build-delay MS] [--fault-text TEXT] [--job ID,TYPE,STATE[,PROGRESS_DETAILS[,ERROR_DETAILS]]]...\n"
              << "       [--size-known]\n"
              << "KIND: none soap11 soap12 unknown-child envelope-child must-understand dime-missing\n"
              << "      dime-short-option inline-file nil-file oversized http-error empty-success cut-off silent\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    std::string address = "127.0.0.1";
    int port = 0;
    std::vector<simserver::LogSource> sources;
    bool noSources = false;
    bool sizeKnown = false;
    simserver::ServerInformation information;
    std::vector<std::pair<std::string, simserver::Fault>> faults;
    long long cutOff = -1;
    long long buildDelay = 0;
    std::string faultText;
    std::vector<simserver::Job> jobs;

    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        if (i + 1 >= argc && option != "--no-sources" && option != "--size-known")
            return Usage("missing value for " + option);
        try
        {
            if (option == "--folder")
                folder = argv[++i];
            else if (option == "--address")
                address = argv[++i];
            else if (option == "--port")
                port = std::stoi(argv[++i]);
            else if (option == "--no-sources")
                noSources = true;
            else if (option == "--size-known")
                sizeKnown = true;
            else if (option == "--source")
            {
                std::vector<std::string> parts = Split(argv[++i], ',');
                simserver::LogSource source;
                source.mType = parts.empty() ? std::string() : parts[0];
                source.mStartTime = parts.size() > 1 ? parts[1] : "2026-01-01T00:00:00";
                source.mDurationSeconds = parts.size() > 2 ? std::stoi(parts[2]) : 3600;
                sources.push_back(source);
            }
            else if (option == "--info")
            {
                std::vector<std::string> parts = Split(argv[++i], ',');
                if (parts.size() != 3)
                    return Usage("--info needs VERSION,NAME,SOFTWARE");
                information = {parts[0], parts[1], parts[2]};
            }
            else if (option == "--fault")
            {
                const std::string value = argv[++i];
                const std::size_t equals = value.find('=');
                const std::string operation = equals == std::string::npos ? std::string() : value.substr(0, equals);
                simserver::Fault fault;
                if (!ParseFault(equals == std::string::npos ? value : value.substr(equals + 1), fault))
                    return Usage("unknown fault in " + value);
                faults.emplace_back(operation, fault);
            }
            else if (option == "--cutoff")
                cutOff = std::stoll(argv[++i]);
            else if (option == "--build-delay")
                buildDelay = std::stoll(argv[++i]);
            else if (option == "--fault-text")
                faultText = argv[++i];
            else if (option == "--job")
            {
                std::vector<std::string> parts = Split(argv[++i], ',');
                if (parts.size() < 3 || parts.size() > 5)
                    return Usage("--job needs ID,TYPE,STATE[,PROGRESS_DETAILS[,ERROR_DETAILS]]");
                simserver::Job job;
                job.mCommandId = parts[0];
                job.mCommandType = parts[1];
                job.mCommandStatus = parts[2];
                if (parts.size() > 3)
                    job.mProgressDetails = parts[3];
                if (parts.size() > 4)
                    job.mErrorDetails = parts[4];
                jobs.push_back(job);
            }
            else
                return Usage("unknown option " + option);
        }
        catch (const std::exception&)
        {
            return Usage("bad value for " + option);
        }
    }
    if (folder.empty())
        return Usage("--folder is required");

    // Block the stop signals before any thread starts, then wait for one.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    simserver::SimServer server(folder);
    server.SetInformation(information);
    if (noSources)
        server.SetNoLogSources();
    else
        server.SetLogSources(sources);
    for (const auto& rFault : faults)
        server.SetFault(rFault.first, rFault.second);
    if (cutOff >= 0)
        server.SetCutOffBytes(static_cast<std::uint64_t>(cutOff));
    server.SetBuildDelay(std::chrono::milliseconds(buildDelay));
    server.SetFaultText(faultText);
    server.SetAttachmentSizeKnown(sizeKnown);
    server.SetJobs(jobs);
    if (!server.Start(address, port))
    {
        std::cerr << "tandril-simserver: " << server.GetError() << "\n";
        return 1;
    }
    std::cout << "listening on " << server.GetUrl() << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    server.Stop();
    return 0;
}
