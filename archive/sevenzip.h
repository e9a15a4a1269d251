// Archives written through the 7-Zip library: the library's handler for the format is created on
// first need, given the archive's settings, and writes every item in one update call while it
// pulls names, facts and data through this side's callback and stream objects.
#pragma once

#include "archive/CompressionArchive.h"
#include "archive/SevenzipCom.h"
#include "archive/SevenzipInterfaces.h"

#include <string>

namespace archive {

// What one archive of a format can hold.
enum class TFormatCapacity {
    Tree,      // folders and any number of files
    OneStream, // one file; anything else is written as a tar inside it (as in .tgz or .tar.xz)
    OneMovie,  // one SWF movie; folders and further files are refused
};

class TSevenzipCompressArchive : public TCompressArchive {
public:
    ~TSevenzipCompressArchive() override;

    // The library's class identifier of the format; all zero here.
    virtual sevenzip::GUID HandlerClassId() const { return {}; }
    virtual TFormatCapacity Capacity() const { return TFormatCapacity::Tree; }
    // The library's handler for the format, created on first need. Raises ECompressionError
    // "Sevenzip: Failed to load 7z.so" or "Sevenzip: Failed to get out archive interface for
    // class {...}".
    sevenzip::IOutArchive* OutArchive();
    // Writes every item into the volumes. Nothing touches the archive file before the library
    // writes; the file ends where the library's writing ended. Raises sevenzip::ESystemError when
    // the library fails, and ECompressionError naming the format when it cannot hold the items.
    void Compress() override;

    // The first failure message of this side during the last library call.
    sevenzip::TLibraryErrorRecord& ErrorRecord() { return errorRecord_; }

protected:
    using TCompressArchive::TCompressArchive;
    std::unique_ptr<TCompressionItem> NewItem() override;

private:
    bool HoldsOneFile() const;
    // One update call of `handler` that writes the items of `source` into `output`.
    void Update(sevenzip::IOutArchive& handler, TCompressionArchive& source,
                std::unique_ptr<TStream> output);
    void CompressAsTar(sevenzip::IOutArchive& handler);
    // The volumes as one stream, each opened when the library first reaches it.
    std::unique_ptr<TStream> VolumesStream();

    sevenzip::TLibraryErrorRecord errorRecord_;
    // Declared last so that it is released first, before the items and volumes.
    sevenzip::ComPtr<sevenzip::IOutArchive> outArchive_;
};

// Hands the archive's settings to the handler in one property call when the handler takes
// properties.
void ApplyArchiveProperties(TCompressionArchive& archive, sevenzip::IUnknown* handler);

// "{23170F69-40C1-278A-1000-000110010000}"
std::string GuidToString(const sevenzip::GUID& id);

} // namespace archive
