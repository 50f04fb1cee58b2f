#pragma once

#include <boost/iostreams/device/file.hpp>

#include <string>

namespace joxwsstreaming {

// One attachment being written: the output file and the key of the command
// status to report to.
struct DimeFileHandle
{
    DimeFileHandle(const std::string& rPath, const std::string& rLookupKey);

    boost::iostreams::file_sink mFile;
    std::string mLookupKey;
};

} // namespace joxwsstreaming
