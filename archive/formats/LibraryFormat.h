// A format written with the library's own default settings: it offers no setting of its own.
// Each such format describes itself with a traits type in its own file.
#pragma once

#include "archive/ArchiveFormats.h"
#include "archive/sevenzip.h"

namespace archive {

template <typename Traits> class TLibraryFormatArchive final : public TSevenzipCompressArchive {
public:
    explicit TLibraryFormatArchive(const std::string& volumeName, std::int64_t volumeMaxSize = 0,
                                   bool volumeNameIsMask = false)
        : TSevenzipCompressArchive(volumeName, volumeMaxSize, volumeNameIsMask) {}

    static const TCompressArchiveClass& Class() {
        static const TCompressArchiveClass info{
            Traits::ClassName, Traits::FormatName, Traits::ExtensionMasks, Traits::SubExtensions,
            [](const std::string& name, std::int64_t size,
               bool isMask) -> std::unique_ptr<TCompressArchive> {
                return std::make_unique<TLibraryFormatArchive>(name, size, isMask);
            }};
        return info;
    }
    const TCompressArchiveClass& ArchiveClass() const override { return Class(); }
    sevenzip::GUID HandlerClassId() const override {
        return sevenzip::HandlerClass(Traits::HandlerFormat);
    }
    TFormatCapacity Capacity() const override { return Traits::Capacity; }
};

} // namespace archive
