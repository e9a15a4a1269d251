#include "archive/formats/Formats.h"
#include "archive/formats/LibraryFormat.h"

namespace archive {

struct WimArchiveTraits {
    static constexpr const char* ClassName = "TWimCompressArchive";
    static constexpr const char* FormatName = "Wim archive";
    static constexpr const char* ExtensionMasks = "*.wim;*.swm";
    static constexpr const char* SubExtensions = "";
    static constexpr std::uint8_t HandlerFormat = 0xE6;
    static constexpr TFormatCapacity Capacity = TFormatCapacity::Tree;
};
using TWimCompressArchive = TLibraryFormatArchive<WimArchiveTraits>;

const TCompressArchiveClass& WimArchiveClass() {
    return TWimCompressArchive::Class();
}

} // namespace archive
