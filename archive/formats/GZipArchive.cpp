#include "archive/formats/Formats.h"
#include "archive/formats/LibraryFormat.h"

namespace archive {

struct GZipArchiveTraits {
    static constexpr const char* ClassName = "TGZipCompressArchive";
    static constexpr const char* FormatName = "GZip archive";
    static constexpr const char* ExtensionMasks = "*.gz;*.gzip;*.tgz;*.tpz";
    static constexpr const char* SubExtensions = ".tgz=.tar;.tpz=.tar";
    static constexpr std::uint8_t HandlerFormat = 0xEF;
    static constexpr TFormatCapacity Capacity = TFormatCapacity::OneStream;
};
using TGZipCompressArchive = TLibraryFormatArchive<GZipArchiveTraits>;

const TCompressArchiveClass& GZipArchiveClass() {
    return TGZipCompressArchive::Class();
}

} // namespace archive
