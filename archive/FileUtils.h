// Path, folder-walk and file-opening routines behind the names stored in archives. Every path
// routine exists in two styles: the Windows style ("\", drive letters, case ignored) and the POSIX
// style of this platform ("/", no drive part, exact comparison).
#pragma once

#include "archive/FileSystem.h"
#include "archive/Streams.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace archive {

struct PathStyle {
    char Separator;
    bool HasDrives;  // drive letters and "\\server\share" prefixes
    bool IgnoreCase; // when comparing path pieces
};
inline constexpr PathStyle PosixPathStyle{'/', false, false};
inline constexpr const PathStyle& NativePathStyle = PosixPathStyle;

std::string AddTrailingSeparator(const std::string& path, const PathStyle& style = NativePathStyle);
std::string RemoveTrailingSeparator(const std::string& path,
                                    const PathStyle& style = NativePathStyle);
// Resolves "." and ".." pieces; a trailing or doubled separator survives, ".." never climbs above
// the root of a rooted path, leading ".." pieces of a relative path stay.
std::string NormalizePath(const std::string& path, const PathStyle& style = NativePathStyle);
// `target` relative to the folder `origin` (or `target` itself when no relation exists).
std::string RelativePathBetween(const std::string& origin, const std::string& target,
                                const PathStyle& style = NativePathStyle);
bool IsRootedPath(const std::string& path, const PathStyle& style = NativePathStyle);
// The drive letter and ":" or the "\\server\share" part; always empty in the POSIX style.
std::string DrivePart(const std::string& path, const PathStyle& style = NativePathStyle);

using TFolderHandler = std::function<void(const std::string& folder)>;
using TFileHandler = std::function<void(const std::string& folder, const TSearchRec& entry)>;

// Calls `handler` for the root and then every subfolder, depth first in listing order; each path
// ends with the separator. Folders that cannot be listed end their own visit silently.
void EnumerateDirectories(const std::string& root, const TFolderHandler& handler,
                          bool includeHidden, const std::string& subfolderMask = {},
                          const bool* abort = nullptr, const PathStyle& style = NativePathStyle);
// Calls `handler` with the pattern's folder part for each entry of the folder that the pattern's
// name part matches and whose attributes pass AttributesMatch.
void EnumerateFiles(const std::string& pattern, const TFileHandler& handler, std::uint32_t rejected,
                    std::uint32_t required, const bool* abort = nullptr,
                    const PathStyle& style = NativePathStyle);
bool AttributesMatch(std::uint32_t attributes, std::uint32_t rejected, std::uint32_t required);

bool FileExistsNotDir(const std::string& path);

enum class StreamAccess : std::uint8_t { CreateNew, ReadOnly, ReadShared, WriteOnly, ReadWrite };
// A file stream opened as `access` prescribes, or nothing (a missing file for the read kinds, an
// empty name). Raises platform::FileError when opening or creating fails.
std::unique_ptr<TStream> OpenFileForAccess(const std::string& fileName, StreamAccess access);

} // namespace archive
