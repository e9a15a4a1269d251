// The archive writer: formats chosen by file name, archives built from folders and files, and
// written through the 7-Zip library.
#pragma once

#include "archive/ArchiveFormats.h"
#include "archive/CompressionArchive.h"
#include "archive/CompressionErrors.h"
#include "archive/formats/ZipArchive.h"
#include "archive/sevenzip.h"
