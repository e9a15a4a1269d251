// The registry of archive formats: each format is known by its display name and the file-name
// masks it claims, and is chosen for a file by the first mask that matches its name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace archive {

class TCompressArchive;

// The class facts of one format that can be created.
struct TCompressArchiveClass {
    const char* ClassName;
    const char* FormatName;
    const char* ExtensionMasks; // ";"-separated, in order of preference
    const char* SubExtensions;  // ".tgz=.tar" pairs, ";"-separated
    // The name form of the constructor: the archive's file (or volume name mask when
    // `volumeNameIsMask`), the default volume size limit (0 = none). The file is not touched.
    std::unique_ptr<TCompressArchive> (*Create)(const std::string& volumeName,
                                                std::int64_t volumeMaxSize, bool volumeNameIsMask);
};

class TCompressionArchiveFormats {
public:
    void RegisterFormat(const TCompressArchiveClass& format);
    // The first registered format one of whose masks matches the whole `fileName` (a path is
    // fine; case is ignored), or nullptr.
    const TCompressArchiveClass* CompressClassFor(const std::string& fileName) const;
    std::size_t CompressFormatCount() const { return compressFormats_.size(); }
    const TCompressArchiveClass& CompressFormat(std::size_t index) const {
        return *compressFormats_.at(index);
    }

private:
    std::vector<const TCompressArchiveClass*> compressFormats_;
};

// The process's one registry, filled with every format on first use.
const TCompressionArchiveFormats& ArchiveFormats();

} // namespace archive
