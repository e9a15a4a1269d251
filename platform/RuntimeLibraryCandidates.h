// Where each system library the program loads at run time lives, under every name and in every
// place the supported Debian releases give it, the current stable release's first. The loader
// takes the first candidate that loads with every entry point the program calls. A bare name is
// looked up as any library (the program's folders, then the system's search path); a path is taken
// as it is.
#pragma once

#include <string>
#include <vector>

namespace platform {

// TagLib's C binding: TagLib 2 (Debian 13, package libtag-c2) and TagLib 1 (Debian 12, libtagc0).
inline const std::vector<std::string> TagLibraryCandidates{"libtag_c.so.2", "libtag_c.so.0"};

// The 7-Zip library, outside the system's search path: Debian 13's 7zip and Debian 12's
// p7zip-full.
inline const std::vector<std::string> SevenZipLibraryCandidates{"/usr/lib/7zip/7z.so",
                                                                "/usr/lib/p7zip/7z.so"};

} // namespace platform
