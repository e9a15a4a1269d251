#include "archive/formats/Formats.h"
#include "archive/formats/LibraryFormat.h"

namespace archive {

struct TarArchiveTraits {
    static constexpr const char* ClassName = "TTarCompressArchive";
    static constexpr const char* FormatName = "Tar archive";
    static constexpr const char* ExtensionMasks = "*.tar";
    static constexpr const char* SubExtensions = "";
    static constexpr std::uint8_t HandlerFormat = TarHandlerFormat;
    static constexpr TFormatCapacity Capacity = TFormatCapacity::Tree;
};
using TTarCompressArchive = TLibraryFormatArchive<TarArchiveTraits>;

const TCompressArchiveClass& TarArchiveClass() {
    return TTarCompressArchive::Class();
}

} // namespace archive
