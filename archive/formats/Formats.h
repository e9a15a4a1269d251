// The formats this writer can create, one file each.
#pragma once

#include "archive/ArchiveFormats.h"

namespace archive {

const TCompressArchiveClass& ZipArchiveClass();
const TCompressArchiveClass& BZip2ArchiveClass();
const TCompressArchiveClass& SevenZipArchiveClass();
const TCompressArchiveClass& TarArchiveClass();
const TCompressArchiveClass& GZipArchiveClass();
const TCompressArchiveClass& XzArchiveClass();
const TCompressArchiveClass& SwfcArchiveClass();
const TCompressArchiveClass& WimArchiveClass();

} // namespace archive
