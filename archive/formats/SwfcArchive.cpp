#include "archive/formats/Formats.h"
#include "archive/formats/LibraryFormat.h"

namespace archive {

struct SwfcArchiveTraits {
    static constexpr const char* ClassName = "TSwfcCompressArchive";
    static constexpr const char* FormatName = "Swf archive";
    static constexpr const char* ExtensionMasks = "*.swf";
    static constexpr const char* SubExtensions = "";
    static constexpr std::uint8_t HandlerFormat = 0xD8;
    static constexpr TFormatCapacity Capacity = TFormatCapacity::OneMovie;
};
using TSwfcCompressArchive = TLibraryFormatArchive<SwfcArchiveTraits>;

const TCompressArchiveClass& SwfcArchiveClass() {
    return TSwfcCompressArchive::Class();
}

} // namespace archive
