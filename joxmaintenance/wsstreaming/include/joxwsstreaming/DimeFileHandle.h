#pragma once

#include <boost/iostreams/device/file.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace joxwsstreaming {

// One attachment being written: the output file, a write buffer in front of
// it (the runtime hands over pieces of about 2 KiB), and the key of the
// command status to report to. A handle made without a path skips its
// attachment: it opens no file and drops the data.
struct DimeFileHandle
{
    DimeFileHandle(const std::string& rPath, const std::string& rLookupKey);
    // A handle that skips its attachment.
    DimeFileHandle();

    // Buffers the bytes, writing full buffers to the file; false when the
    // file takes no byte.
    bool Append(const char* pData, std::size_t length);
    // Writes what is buffered; false when the file takes no byte.
    bool Flush();
    // The cause of the last failed write or close, for messages.
    std::string GetWriteError() const;

    boost::iostreams::file_sink mFile;
    std::string mPath;
    std::string mLookupKey;
    std::vector<char> mBuffer;
    std::size_t mFilled = 0;
    int mWriteErrno = 0; // errno of the last failed open or write, 0 when unknown
    bool mFailed = false; // a write failed and was reported
    bool mSkipped = false; // the attachment is dropped, not stored
    // The runtime's header fields of the record the handle was opened for.
    const char* mpRecordFields[3] = {nullptr, nullptr, nullptr};
    std::uint64_t mRecordLeft = 0; // data bytes of the current record still to come
    bool mInRecord = false;        // the current record's header was accounted

};

} // namespace joxwsstreaming
