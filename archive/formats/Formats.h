// The formats this writer can create, one file each.
#pragma once

#include "archive/ArchiveFormats.h"

#include <cstdint>

namespace archive {

// The 7-Zip library's format number of tar, which the stream formats wrap a folder tree in.
inline constexpr std::uint8_t TarHandlerFormat = 0xEE;

const TCompressArchiveClass& ZipArchiveClass();
const TCompressArchiveClass& BZip2ArchiveClass();
const TCompressArchiveClass& SevenZipArchiveClass();
const TCompressArchiveClass& TarArchiveClass();
const TCompressArchiveClass& GZipArchiveClass();
const TCompressArchiveClass& XzArchiveClass();
const TCompressArchiveClass& SwfcArchiveClass();
const TCompressArchiveClass& WimArchiveClass();

} // namespace archive
