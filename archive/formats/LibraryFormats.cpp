#include "archive/formats/Formats.h"
#include "archive/sevenzip.h"

#include <array>
#include <utility>

namespace archive {

namespace {

// A format written with the library's own default settings: it offers no setting of its own, so
// one row of this table is all that tells it from the others.
struct LibraryFormat {
    const char* ClassName;
    const char* FormatName;
    const char* ExtensionMasks;
    const char* SubExtensions;
    std::uint8_t HandlerFormat;
    TFormatCapacity Capacity;
};

// In the order they are registered after zip.
constexpr LibraryFormat LibraryFormats[] = {
    {"TBZ2CompressArchive", "BZip2 archive", "*.bz2;*.bzip2;*.tbz2;*.tbz", ".tbz2=.tar;.tbz=.tar",
     0x02, TFormatCapacity::OneStream},
    {"T7zCompressArchive", "7z archive", "*.7z", "", 0x07, TFormatCapacity::Tree},
    {"TTarCompressArchive", "Tar archive", "*.tar", "", TarHandlerFormat, TFormatCapacity::Tree},
    {"TGZipCompressArchive", "GZip archive", "*.gz;*.gzip;*.tgz;*.tpz", ".tgz=.tar;.tpz=.tar", 0xEF,
     TFormatCapacity::OneStream},
    {"TXzCompressArchive", "Xz archive", "*.xz;*.txz", ".txz=.tar", 0x0C,
     TFormatCapacity::OneStream},
    {"TSwfcCompressArchive", "Swf archive", "*.swf", "", 0xD8, TFormatCapacity::OneMovie},
    {"TWimCompressArchive", "Wim archive", "*.wim;*.swm", "", 0xE6, TFormatCapacity::Tree},
};
constexpr std::size_t FormatCount = std::size(LibraryFormats);
constexpr std::size_t TarRow = 2;
static_assert(LibraryFormats[TarRow].HandlerFormat == TarHandlerFormat);

// The registry's entries create archives through a plain function, so each row gets a class of its
// own: the row's number is its template argument.
template <std::size_t Row> class TLibraryFormatArchive final : public TSevenzipCompressArchive {
public:
    explicit TLibraryFormatArchive(const std::string& volumeName, std::int64_t volumeMaxSize = 0,
                                   bool volumeNameIsMask = false)
        : TSevenzipCompressArchive(volumeName, volumeMaxSize, volumeNameIsMask) {}

    static const TCompressArchiveClass& Class() {
        static const TCompressArchiveClass info{
            Format().ClassName, Format().FormatName, Format().ExtensionMasks,
            Format().SubExtensions,
            [](const std::string& name, std::int64_t size,
               bool isMask) -> std::unique_ptr<TCompressArchive> {
                return std::make_unique<TLibraryFormatArchive>(name, size, isMask);
            }};
        return info;
    }
    const TCompressArchiveClass& ArchiveClass() const override { return Class(); }
    sevenzip::GUID HandlerClassId() const override {
        return sevenzip::HandlerClass(Format().HandlerFormat);
    }
    TFormatCapacity Capacity() const override { return Format().Capacity; }

private:
    static constexpr const LibraryFormat& Format() { return LibraryFormats[Row]; }
};

template <std::size_t... Rows>
std::array<const TCompressArchiveClass*, FormatCount> ClassesOf(std::index_sequence<Rows...>) {
    return {&TLibraryFormatArchive<Rows>::Class()...};
}

} // namespace

std::span<const TCompressArchiveClass* const> LibraryFormatClasses() {
    static const auto classes = ClassesOf(std::make_index_sequence<FormatCount>());
    return classes;
}

const TCompressArchiveClass& TarArchiveClass() {
    return TLibraryFormatArchive<TarRow>::Class();
}

} // namespace archive
