// Windows paths, which the path routines take as well as the station's own: the archive's names
// must come out the same whichever way a folder was spelt.
#pragma once

#include "archive/FileUtils.h"

namespace archive {

inline constexpr PathStyle WindowsPathStyle{'\\', true, true};

} // namespace archive
