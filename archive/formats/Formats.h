// The formats this writer can create: zip, which has settings of its own, and the formats written
// with the library's defaults, one table of them.
#pragma once

#include "archive/ArchiveFormats.h"

#include <cstdint>
#include <span>

namespace archive {

// The 7-Zip library's format number of tar, which the stream formats wrap a folder tree in.
inline constexpr std::uint8_t TarHandlerFormat = 0xEE;

const TCompressArchiveClass& ZipArchiveClass();
// The formats written with the library's own default settings, in the order they are registered.
std::span<const TCompressArchiveClass* const> LibraryFormatClasses();
// The one of them that the stream formats wrap a folder tree in.
const TCompressArchiveClass& TarArchiveClass();

} // namespace archive
