// Reading an interview archive back with libzip, an implementation independent of the writer that
// made it. Entries are streamed in fixed-size pieces and counted: a size the archive declares is
// never trusted for an allocation or as the end of the data.
#pragma once

#include "platform/FailureCause.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct zip;

namespace interview_check {

struct ZipEntry {
    std::uint64_t index = 0;
    std::string name; // as stored, "/" between folders, a folder ends with "/"
    std::uint64_t declaredSize = 0;
    std::uint32_t declaredCrc32 = 0;
    bool IsFolder() const { return !name.empty() && name.back() == '/'; }
};

struct StreamResult {
    std::uint64_t size = 0;  // bytes decompressed and handed on
    std::uint32_t crc32 = 0; // of those bytes
    std::string failure;     // empty when the entry was read to its end
};

// The archive file could not be opened for reading at all (missing, no permission, a folder).
class UnreadableArchive : public platform::Failure {
public:
    using Failure::Failure;
};

// The file was read but is not a sound zip archive; what() is the reason, in Russian.
class DamagedArchive : public platform::Failure {
public:
    using Failure::Failure;
};

class ZipReader {
public:
    // Raises UnreadableArchive or DamagedArchive. Local headers are checked against the central
    // directory on opening.
    explicit ZipReader(const std::string& path);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    const std::vector<ZipEntry>& Entries() const { return entries_; }

    // Decompresses the entry to its end, handing each piece to `sink` (which may be empty), and
    // counts and checksums what it hands on. Reading stops with a failure as soon as the data
    // runs past the entry's declared size.
    using Sink = std::function<void(const unsigned char* data, std::size_t size)>;
    StreamResult Stream(const ZipEntry& entry, const Sink& sink) const;

private:
    struct Closer {
        void operator()(zip* archive) const;
    };
    std::unique_ptr<zip, Closer> archive_;
    std::vector<ZipEntry> entries_;
};

} // namespace interview_check
