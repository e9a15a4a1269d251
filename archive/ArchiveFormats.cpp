#include "archive/ArchiveFormats.h"

#include "archive/StringUtils.h"
#include "archive/formats/Formats.h"

namespace archive {

void TCompressionArchiveFormats::RegisterFormat(const TCompressArchiveClass& format) {
    compressFormats_.push_back(&format);
}

const TCompressArchiveClass*
TCompressionArchiveFormats::CompressClassFor(const std::string& fileName) const {
    TStringList masks;
    for (const TCompressArchiveClass* format : compressFormats_) {
        SplitAtChar(format->ExtensionMasks, ';', masks);
        for (const std::string& mask : masks)
            if (MatchesFileMask(fileName, mask))
                return format;
    }
    return nullptr;
}

const TCompressionArchiveFormats& ArchiveFormats() {
    static const TCompressionArchiveFormats registry = [] {
        TCompressionArchiveFormats formats;
        // Registration order decides between formats that claim the same mask.
        formats.RegisterFormat(ZipArchiveClass());
        for (const TCompressArchiveClass* format : LibraryFormatClasses())
            formats.RegisterFormat(*format);
        return formats;
    }();
    return registry;
}

} // namespace archive
