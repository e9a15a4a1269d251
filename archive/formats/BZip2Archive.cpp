#include "archive/formats/Formats.h"
#include "archive/formats/LibraryFormat.h"

namespace archive {

struct BZip2ArchiveTraits {
    static constexpr const char* ClassName = "TBZ2CompressArchive";
    static constexpr const char* FormatName = "BZip2 archive";
    static constexpr const char* ExtensionMasks = "*.bz2;*.bzip2;*.tbz2;*.tbz";
    static constexpr const char* SubExtensions = ".tbz2=.tar;.tbz=.tar";
    static constexpr std::uint8_t HandlerFormat = 0x02;
    static constexpr TFormatCapacity Capacity = TFormatCapacity::OneStream;
};
using TBZ2CompressArchive = TLibraryFormatArchive<BZip2ArchiveTraits>;

const TCompressArchiveClass& BZip2ArchiveClass() {
    return TBZ2CompressArchive::Class();
}

} // namespace archive
