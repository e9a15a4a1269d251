#include "archive/FileUtils.h"

#include "archive/StringUtils.h"

#include <cctype>

namespace archive {
namespace {

bool SamePiece(const std::string& a, const std::string& b, const PathStyle& style) {
    return style.IgnoreCase ? SameText(a, b) : a == b;
}

bool EndsWith(const std::string& text, char c) {
    return !text.empty() && text.back() == c;
}

std::string Separator(const PathStyle& style) {
    return std::string(1, style.Separator);
}

bool BeginsWithTwoSeparators(const std::string& path, const PathStyle& style) {
    return path.size() >= 2 && path[0] == style.Separator && path[1] == style.Separator;
}

} // namespace

std::string AddTrailingSeparator(const std::string& path, const PathStyle& style) {
    return EndsWith(path, style.Separator) ? path : path + style.Separator;
}

std::string RemoveTrailingSeparator(const std::string& path, const PathStyle& style) {
    return EndsWith(path, style.Separator) ? path.substr(0, path.size() - 1) : path;
}

std::string DrivePart(const std::string& path, const PathStyle& style) {
    if (!style.HasDrives)
        return {};
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])))
        return path.substr(0, 2);
    if (BeginsWithTwoSeparators(path, style)) {
        // "\\server\share": up to the separator that ends the share name.
        const std::size_t serverEnd = path.find(style.Separator, 2);
        if (serverEnd == std::string::npos)
            return path;
        const std::size_t shareEnd = path.find(style.Separator, serverEnd + 1);
        return shareEnd == std::string::npos ? path : path.substr(0, shareEnd);
    }
    return {};
}

bool IsRootedPath(const std::string& path, const PathStyle& style) {
    const std::size_t drive = DrivePart(path, style).size();
    return path.size() > drive && path[drive] == style.Separator;
}

std::string NormalizePath(const std::string& path, const PathStyle& style) {
    // 1-based positions, 0 when absent, so that "rooted" reads as in the path rules.
    const std::size_t colonAt = style.HasDrives ? path.find(':') + 1 : 0;
    const std::size_t separatorAt = path.find(style.Separator) + 1;
    const bool rooted = separatorAt != 0 && separatorAt == colonAt + 1;

    std::size_t prefixLength = colonAt;
    if (rooted)
        prefixLength = BeginsWithTwoSeparators(path, style) ? 2 : separatorAt;
    const std::string prefix = path.substr(0, prefixLength);

    TStringList pieces;
    SplitString(path.substr(prefixLength), Separator(style), pieces, true);
    for (std::size_t i = 0; i < pieces.size();) {
        if (pieces[i] == ".") {
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (pieces[i] != ".." || (!rooted && (i == 0 || pieces[i - 1] == ".."))) {
            ++i;
        } else if (i == 0) {
            pieces.erase(pieces.begin());
        } else {
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(i - 1),
                         pieces.begin() + static_cast<std::ptrdiff_t>(i + 1));
            --i;
        }
    }
    const std::string result = prefix + JoinStrings(pieces, Separator(style), true);
    return result.empty() ? "." : result;
}

std::string RelativePathBetween(const std::string& originPath, const std::string& targetPath,
                                const PathStyle& style) {
    if (targetPath.empty())
        return ".";
    if (originPath.empty())
        return NormalizePath(targetPath, style);
    const std::string origin = NormalizePath(originPath, style);
    const std::string target = NormalizePath(targetPath, style);
    const std::string originDrive = DrivePart(origin, style);
    const std::string targetDrive = DrivePart(target, style);

    if (SamePiece(origin, target, style))
        return ".";
    if (!targetDrive.empty() &&
        (originDrive.empty() || !SamePiece(originDrive, targetDrive, style)))
        return target;
    if (!originDrive.empty() && !target.empty() && target[0] == style.Separator &&
        !BeginsWithTwoSeparators(target, style))
        return originDrive + target;
    if (IsRootedPath(origin, style) && !IsRootedPath(target, style))
        return AddTrailingSeparator(origin, style) +
               (target[0] == style.Separator ? target.substr(1) : target);

    TStringList originPieces, targetPieces;
    SplitString(origin, Separator(style), originPieces, false);
    SplitString(target, Separator(style), targetPieces, false);
    std::size_t common = 0;
    while (common < originPieces.size() && common < targetPieces.size() &&
           SamePiece(originPieces[common], targetPieces[common], style))
        ++common;

    std::string result;
    for (std::size_t i = common; i < originPieces.size(); ++i)
        result += ".." + Separator(style);
    result = RemoveTrailingSeparator(result, style);
    for (std::size_t i = common; i < targetPieces.size(); ++i)
        result += (result.empty() ? "" : Separator(style)) + targetPieces[i];
    return result;
}

namespace {

// The listing's own rule: special entries show up only when every special attribute they carry
// was asked for.
bool ListedWith(std::uint32_t attributes, std::uint32_t searchAttributes) {
    return (attributes & faSpecialSearch & ~searchAttributes) == 0;
}

bool Aborted(const bool* abort) {
    return abort && *abort;
}

void VisitFolder(const std::string& folder, std::size_t rootLength, const TFolderHandler& handler,
                 std::uint32_t searchAttributes, const std::string& subfolderMask,
                 const bool* abort, const PathStyle& style) {
    handler(folder);
    for (const TSearchRec& entry : ListFolder(folder)) {
        if (Aborted(abort))
            return;
        if (!(entry.Attributes & faDirectory) || (entry.Attributes & faReparsePoint) ||
            !ListedWith(entry.Attributes, searchAttributes))
            continue;
        const std::string subfolder = folder + entry.Name + style.Separator;
        if (!subfolderMask.empty() && !MatchesWildcard(subfolderMask, subfolder, rootLength))
            continue;
        VisitFolder(subfolder, rootLength, handler, searchAttributes, subfolderMask, abort, style);
    }
}

} // namespace

void EnumerateDirectories(const std::string& root, const TFolderHandler& handler,
                          bool includeHidden, const std::string& subfolderMask, const bool* abort,
                          const PathStyle& style) {
    std::string folder = NormalizePath(root, style);
    if (!EndsWith(folder, ':') || !style.HasDrives)
        folder = AddTrailingSeparator(folder, style);
    const std::string here = std::string(".") + style.Separator;
    if (folder.compare(0, here.size(), here) == 0)
        folder.erase(0, here.size());
    const std::uint32_t searchAttributes =
        faDirectory | (includeHidden ? std::uint32_t{faHidden} : 0u);
    VisitFolder(folder, folder.size(), handler, searchAttributes, subfolderMask, abort, style);
}

void EnumerateFiles(const std::string& pattern, const TFileHandler& handler, std::uint32_t rejected,
                    std::uint32_t required, const bool* abort, const PathStyle& style) {
    const std::string ends = style.HasDrives ? std::string{style.Separator, ':'} : Separator(style);
    const std::size_t cut = pattern.find_last_of(ends);
    const std::string folder = cut == std::string::npos ? "" : pattern.substr(0, cut + 1);
    const std::string mask = pattern.substr(folder.size());
    const std::uint32_t searchAttributes = faAnyFile & ~rejected;
    for (const TSearchRec& entry : ListFolder(folder)) {
        if (Aborted(abort))
            return;
        if (!ListedWith(entry.Attributes, searchAttributes) ||
            !MatchesFileMask(entry.Name, mask, !style.IgnoreCase))
            continue;
        if (AttributesMatch(entry.Attributes, rejected, required))
            handler(folder, entry);
    }
}

bool AttributesMatch(std::uint32_t attributes, std::uint32_t rejected, std::uint32_t required) {
    if (attributes == 0)
        attributes = faNormal;
    required &= ~static_cast<std::uint32_t>(faSymLink);
    return (attributes & rejected) == 0 && (attributes & required) == required;
}

bool FileExistsNotDir(const std::string& path) {
    const auto facts = ReadFileFacts(path);
    return facts && !(facts->Attributes & faDirectory);
}

std::unique_ptr<TStream> OpenFileForAccess(const std::string& fileName, StreamAccess access) {
    using platform::FileAccess;
    using platform::FileDisposition;
    using platform::FileShare;
    const auto open = [&](FileAccess how, FileShare share, FileDisposition disposition) {
        return std::make_unique<TFileStream>(fileName, how, share, disposition);
    };
    const auto createNew = [&] {
        return open(FileAccess::ReadWrite, FileShare::None, FileDisposition::CreateAlways);
    };
    switch (access) {
    case StreamAccess::CreateNew:
        return createNew();
    case StreamAccess::ReadOnly:
        if (FileExistsNotDir(fileName))
            return open(FileAccess::Read, FileShare::Read, FileDisposition::OpenExisting);
        return nullptr;
    case StreamAccess::ReadShared:
        if (FileExistsNotDir(fileName))
            return open(FileAccess::Read, FileShare::ReadWrite, FileDisposition::OpenExisting);
        return nullptr;
    case StreamAccess::WriteOnly:
    case StreamAccess::ReadWrite: {
        const FileAccess how =
            access == StreamAccess::WriteOnly ? FileAccess::Write : FileAccess::ReadWrite;
        if (FileExistsNotDir(fileName))
            return open(how, FileShare::None, FileDisposition::OpenExisting);
        return fileName.empty() ? nullptr : createNew();
    }
    }
    return nullptr;
}

} // namespace archive
