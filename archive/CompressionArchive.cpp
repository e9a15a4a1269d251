#include "archive/CompressionArchive.h"

#include "archive/StringUtils.h"

#include <cctype>
#include <cstdio>
#include <string_view>

namespace archive {

TCompressionVolume::TCompressionVolume(std::string fileName, std::int64_t volumeMaxSize)
    : FileName(std::move(fileName)), VolumeMaxSize(volumeMaxSize) {}

TCompressionVolume::TCompressionVolume(TStream* stream, bool ownsStream, std::int64_t volumeMaxSize)
    : VolumeMaxSize(volumeMaxSize) {
    SetStream(stream, ownsStream);
}

void TCompressionVolume::SetStream(std::unique_ptr<TStream> stream) {
    ownedStream_ = std::move(stream);
    stream_ = ownedStream_.get();
    ownsStream_ = true;
}

void TCompressionVolume::SetStream(TStream* stream, bool ownsStream) {
    if (stream == stream_ && ownsStream == ownsStream_)
        return;
    if (ownsStream) {
        SetStream(std::unique_ptr<TStream>(stream));
        return;
    }
    ownedStream_.reset();
    stream_ = stream;
    ownsStream_ = false;
}

void TCompressionVolume::SetTempStream(TStream* stream, bool ownsStream) {
    ownedTempStream_.reset(ownsStream ? stream : nullptr);
    tempStream_ = stream;
}

TCompressionArchive::TCompressionArchive(const std::string& volumeName, std::int64_t volumeMaxSize,
                                         bool volumeNameIsMask)
    : VolumeMaxSize(volumeMaxSize) {
    // The file itself is not touched before the first write.
    if (volumeNameIsMask)
        VolumeNameMask = volumeName;
    else
        AddVolume(volumeName, volumeMaxSize);
}

TCompressionArchive::TCompressionArchive(TStream* volume0, std::int64_t volumeMaxSize,
                                         bool ownsVolume)
    : VolumeMaxSize(volumeMaxSize) {
    AddVolume(volume0, volumeMaxSize, ownsVolume);
}

TCompressionArchive::~TCompressionArchive() = default;

void TCompressionArchive::AddVolume(const std::string& fileName, std::int64_t volumeMaxSize) {
    volumes_.push_back(std::make_unique<TCompressionVolume>(fileName, volumeMaxSize));
}

void TCompressionArchive::AddVolume(const std::string& fileName, const std::string& tempFileName,
                                    std::int64_t volumeMaxSize) {
    AddVolume(fileName, volumeMaxSize);
    volumes_.back()->TempFileName = tempFileName;
}

void TCompressionArchive::AddVolume(TStream* stream, std::int64_t volumeMaxSize, bool ownsStream) {
    volumes_.push_back(std::make_unique<TCompressionVolume>(stream, ownsStream, volumeMaxSize));
}

void TCompressionArchive::AddVolume(TStream* stream, TStream* tempStream,
                                    std::int64_t volumeMaxSize, bool ownsStream,
                                    bool ownsTempStream) {
    AddVolume(stream, volumeMaxSize, ownsStream);
    volumes_.back()->SetTempStream(tempStream, ownsTempStream);
}

std::string TCompressionArchive::VolumeNameFor(std::int32_t index) const {
    // The mask comes from the caller: only one integer conversion (with flags, width and
    // precision) and "%%" are accepted, so that it can never read arguments that are not there.
    const std::string& mask = VolumeNameMask;
    std::string name;
    bool converted = false;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] != '%') {
            name += mask[i];
            continue;
        }
        if (i + 1 < mask.size() && mask[i + 1] == '%') {
            name += '%';
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < mask.size() && std::string_view("-+ 0#").find(mask[end]) != std::string::npos)
            ++end;
        while (end < mask.size() &&
               (std::isdigit(static_cast<unsigned char>(mask[end])) || mask[end] == '.'))
            ++end;
        if (converted || end >= mask.size() || mask[end] != 'd')
            throw ECompressionError("Format '" + mask + "' invalid or incompatible with argument");
        char piece[64];
        std::snprintf(piece, sizeof piece, mask.substr(i, end - i + 1).c_str(),
                      index + VolumeIndexOffset);
        name += piece;
        converted = true;
        i = end;
    }
    return name;
}

TStream* TCompressionArchive::VolumeStreamFor(std::int32_t index) {
    if (index == CurrentVolume) {
        if (!ValidVolume(index))
            return nullptr;
        TStream* stream = volumes_[static_cast<std::size_t>(index)]->Stream();
        if (stream)
            stream->Seek(0, static_cast<int>(SeekOrigin::Begin));
        return stream;
    }
    if (index < 0)
        return nullptr;

    TStream* stream = nullptr;
    if (ValidVolume(index)) {
        TCompressionVolume& volume = *volumes_[static_cast<std::size_t>(index)];
        if (!volume.Stream()) {
            auto opened = OpenFileForAccess(volume.FileName, VolumeAccess());
            if (opened)
                volume.SetStream(std::move(opened));
        }
        stream = volume.Stream();
    } else if (!VolumeNameMask.empty()) {
        while (volumes_.size() < static_cast<std::size_t>(index))
            AddVolume(VolumeNameFor(static_cast<std::int32_t>(volumes_.size())), VolumeMaxSize);
        const std::string name = VolumeNameFor(index);
        auto opened = OpenFileForAccess(name, VolumeAccess());
        if (opened) {
            AddVolume(name, VolumeMaxSize);
            volumes_.back()->SetStream(std::move(opened));
            stream = volumes_.back()->Stream();
        }
    }
    CurrentVolume = index;
    return stream;
}

std::int64_t TCompressionArchive::VolumeMaxSizeFor(std::int32_t index) {
    return ValidVolume(index) ? volumes_[static_cast<std::size_t>(index)]->VolumeMaxSize
                              : VolumeMaxSize;
}

std::int32_t TCompressionArchive::AppendItem(std::unique_ptr<TCompressionItem> item) {
    // Archives being created keep every item, equal names included.
    items_.push_back(std::move(item));
    return static_cast<std::int32_t>(items_.size() - 1);
}

void TCompressArchive::EnsureNotCompressing() const {
    if (compressing_)
        throw ECompressionError(NotWhileCompressingText);
}

TCompressArchive::CompressingScope::CompressingScope(TCompressArchive& archive)
    : archive_(archive) {
    archive_.EnsureNotCompressing();
    archive_.compressing_ = true;
}

TCompressArchive::CompressingScope::~CompressingScope() {
    archive_.compressing_ = false;
}

std::wstring PackedPathFor(const std::string& itemPath, const std::string& oldBase,
                           const std::wstring& newBase, const PathStyle& style) {
    return Utf8ToWide(NormalizePath(AddTrailingSeparator(WideToUtf8(newBase), style) +
                                        RelativePathBetween(oldBase, itemPath, style),
                                    style));
}

std::int32_t TCompressArchive::AddDirectory(const std::wstring& packedName,
                                            const std::string& dirName, bool recurseIntoDir,
                                            bool addFilesInDir) {
    EnsureNotCompressing();
    if (!dirName.empty()) {
        basePackedName_ = packedName;
        baseDirName_ = RemoveTrailingSeparator(dirName);
        addFilesInDir_ = addFilesInDir;
        if (recurseIntoDir) {
            // The walk adds the top folder itself, first.
            const auto first = static_cast<std::int32_t>(ItemCount());
            EnumerateDirectories(
                dirName, [this](const std::string& folder) { AddFolderOfWalk(folder); }, true);
            return first;
        }
    }
    auto item = NewItem();
    item->SetIsDirectory(true);
    item->SetPackedName(packedName);
    item->SetFileName(dirName);
    const std::int32_t index = AppendItem(std::move(item));
    if (!dirName.empty() && addFilesInDir_)
        EnumerateFiles(
            AddTrailingSeparator(dirName) + "*",
            [this](const std::string& folder, const TSearchRec& entry) {
                AddFileOfWalk(folder, entry);
            },
            faDirectory, 0);
    return index;
}

void TCompressArchive::AddFolderOfWalk(const std::string& folder) {
    // Each call moves the base to this folder; PackedPathFor resolves the ".." pieces this gives
    // for siblings, so every folder lands at its place below the top name.
    AddDirectory(PackedPathFor(folder, baseDirName_, basePackedName_), folder, false,
                 addFilesInDir_);
}

void TCompressArchive::AddFileOfWalk(const std::string& folder, const TSearchRec& entry) {
    // A walk takes regular files only: a link may lead anywhere (a notes.txt pointing at
    // /dev/zero reads for ever), and a FIFO, a device or a socket would block the packing.
    if (!IsRegularFileEntry(entry))
        return;
    const std::string path = AddTrailingSeparator(folder) + entry.Name;
    auto item = NewItem();
    item->SetPackedName(PackedPathFor(path, baseDirName_, basePackedName_));
    item->SetFileName(path);
    AppendItem(std::move(item));
}

std::int32_t TCompressArchive::AddFile(const std::wstring& packedName,
                                       const std::string& fileName) {
    EnsureNotCompressing();
    auto item = NewItem();
    item->SetPackedName(packedName);
    item->SetFileName(fileName);
    return AppendItem(std::move(item));
}

std::int32_t TCompressArchive::AddStreamItem(const std::wstring& packedName, TStream* stream,
                                             std::unique_ptr<TStream> owned) {
    EnsureNotCompressing();
    auto item = NewItem();
    item->SetPackedName(packedName);
    item->SetFileSize(stream ? stream->Size() - stream->Position() : 0);
    item->SetAttributes(0);
    const TFileTime now = CurrentFileTime();
    item->SetCreationTime(now);
    item->SetLastAccessTime(now);
    item->SetLastWriteTime(now);
    item->SetHostOS(HostOSName);
    if (owned)
        item->SetItemStream(std::move(owned));
    else
        item->SetItemStream(stream);
    return AppendItem(std::move(item));
}

std::int32_t TCompressArchive::AddFile(const std::wstring& packedName,
                                       std::unique_ptr<TStream> stream) {
    TStream* raw = stream.get();
    return AddStreamItem(packedName, raw, std::move(stream));
}

std::int32_t TCompressArchive::AddFile(const std::wstring& packedName, TStream* stream) {
    return AddStreamItem(packedName, stream, nullptr);
}

} // namespace archive
