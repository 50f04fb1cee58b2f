// bench-logfetch URL FOLDER NAME: downloads one collection with CommandLogFetch
// and prints the command's state and the process's memory before and after.
#include <joxmaintenance/CommandLogFetch.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// A field of /proc/self/status in KiB (VmRSS, VmHWM).
long StatusKib(const std::string& rField)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
    {
        if (line.compare(0, rField.size() + 1, rField + ":") == 0)
            return std::stol(line.substr(rField.size() + 1));
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: bench-logfetch URL FOLDER NAME\n");
        return 2;
    }
    joxmaintenance::CommandLogFetch fetch(QString::fromLatin1(argv[1]), QString::fromLatin1(argv[2]),
                                          QString::fromLatin1(argv[3]));
    const long rssBefore = StatusKib("VmRSS");
    fetch.DoExecute();
    std::printf("{\"state\": %d, \"rss_before_kib\": %ld, \"rss_peak_kib\": %ld, \"messages\": \"%s\"}\n",
                fetch.GetState(), rssBefore, StatusKib("VmHWM"),
                fetch.GetMessagesText().toUtf8().replace('"', '\'').replace('\n', ' ').constData());
    return fetch.GetState() == 2 ? 0 : 1;
}
