#include "archive/formats/Formats.h"
#include "archive/formats/LibraryFormat.h"

namespace archive {

struct XzArchiveTraits {
    static constexpr const char* ClassName = "TXzCompressArchive";
    static constexpr const char* FormatName = "Xz archive";
    static constexpr const char* ExtensionMasks = "*.xz;*.txz";
    static constexpr const char* SubExtensions = ".txz=.tar";
    static constexpr std::uint8_t HandlerFormat = 0x0C;
    static constexpr TFormatCapacity Capacity = TFormatCapacity::OneStream;
};
using TXzCompressArchive = TLibraryFormatArchive<XzArchiveTraits>;

const TCompressArchiveClass& XzArchiveClass() {
    return TXzCompressArchive::Class();
}

} // namespace archive
