#include "archive/formats/Formats.h"
#include "archive/formats/LibraryFormat.h"

namespace archive {

struct SevenZipArchiveTraits {
    static constexpr const char* ClassName = "T7zCompressArchive";
    static constexpr const char* FormatName = "7z archive";
    static constexpr const char* ExtensionMasks = "*.7z";
    static constexpr const char* SubExtensions = "";
    static constexpr std::uint8_t HandlerFormat = 0x07;
    static constexpr TFormatCapacity Capacity = TFormatCapacity::Tree;
};
using T7zCompressArchive = TLibraryFormatArchive<SevenZipArchiveTraits>;

const TCompressArchiveClass& SevenZipArchiveClass() {
    return T7zCompressArchive::Class();
}

} // namespace archive
