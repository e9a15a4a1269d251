// Archive objects: the volumes an archive is written to, the items it holds, and for archives
// being created the folder walk that collects the items.
#pragma once

#include "archive/CompressionErrors.h"
#include "archive/CompressionItem.h"
#include "archive/FileUtils.h"
#include "archive/Streams.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace archive {

struct TCompressArchiveClass;

// One output file (or stream) of an archive.
class TCompressionVolume {
public:
    TCompressionVolume(std::string fileName, std::int64_t volumeMaxSize);
    // `stream` is freed with the volume when `ownsStream` is set.
    TCompressionVolume(TStream* stream, bool ownsStream, std::int64_t volumeMaxSize);

    std::string FileName;
    std::string TempFileName; // serves updating archives only
    std::int64_t VolumeMaxSize = 0;

    TStream* Stream() const { return stream_; }
    bool OwnsStream() const { return ownsStream_; }
    void SetStream(std::unique_ptr<TStream> stream);
    void SetStream(TStream* stream, bool ownsStream);
    void SetTempStream(TStream* stream, bool ownsStream);

private:
    TStream* stream_ = nullptr;
    bool ownsStream_ = true;
    std::unique_ptr<TStream> ownedStream_;
    std::unique_ptr<TStream> ownedTempStream_;
    TStream* tempStream_ = nullptr;
};

// Notification hooks, called from the library's callbacks (possibly on its own threads). The
// station's archive writing (station/core/ArchiveWriting.cpp) assigns OnProgress to show how far
// the packing is; OnRatio is left unassigned there.
using TProgressHook = std::function<void(std::uint64_t completed, std::uint64_t total)>;
using TRatioHook = std::function<void(std::int64_t inSize, std::int64_t outSize)>;

class TCompressionArchive {
public:
    virtual ~TCompressionArchive();
    TCompressionArchive(const TCompressionArchive&) = delete;
    TCompressionArchive& operator=(const TCompressionArchive&) = delete;

    // The format's class facts (name, masks).
    virtual const TCompressArchiveClass& ArchiveClass() const = 0;
    virtual StreamAccess VolumeAccess() const { return StreamAccess::ReadOnly; }
    virtual StreamAccess ItemAccess() const { return StreamAccess::ReadOnly; }

    TProgressHook OnProgress;
    TRatioHook OnRatio;
    std::wstring Password;
    std::int32_t CurrentVolume = -1;
    std::int32_t VolumeIndexOffset = 1;
    std::int64_t VolumeMaxSize = 0;
    std::string VolumeNameMask; // one integer placeholder, as "%.3d"
    // Written by the library's callbacks, which may come from its own threads.
    std::atomic<std::uint64_t> ProgressTotal{0};
    std::atomic<bool> CancelRequested{false};
    std::atomic<std::int32_t> CurrentItem{0};

    void AddVolume(const std::string& fileName, std::int64_t volumeMaxSize);
    void AddVolume(const std::string& fileName, const std::string& tempFileName,
                   std::int64_t volumeMaxSize);
    void AddVolume(TStream* stream, std::int64_t volumeMaxSize, bool ownsStream);
    void AddVolume(TStream* stream, TStream* tempStream, std::int64_t volumeMaxSize,
                   bool ownsStream, bool ownsTempStream);
    std::size_t VolumeCount() const { return volumes_.size(); }
    TCompressionVolume& Volume(std::size_t index) const { return *volumes_.at(index); }

    std::size_t ItemCount() const { return items_.size(); }
    TCompressionItem& Item(std::size_t index) const { return *items_.at(index); }

    // The stream of volume `index`, opened with VolumeAccess on first request; nullptr when there
    // is no such volume.
    TStream* VolumeStreamFor(std::int32_t index);
    std::int64_t VolumeMaxSizeFor(std::int32_t index);

protected:
    TCompressionArchive(const std::string& volumeName, std::int64_t volumeMaxSize,
                        bool volumeNameIsMask);
    TCompressionArchive(TStream* volume0, std::int64_t volumeMaxSize, bool ownsVolume);

    virtual std::unique_ptr<TCompressionItem> NewItem() = 0;
    std::int32_t AppendItem(std::unique_ptr<TCompressionItem> item);

private:
    std::string VolumeNameFor(std::int32_t index) const;
    bool ValidVolume(std::int32_t index) const {
        return index >= 0 && static_cast<std::size_t>(index) < volumes_.size();
    }

    std::vector<std::unique_ptr<TCompressionVolume>> volumes_;
    std::vector<std::unique_ptr<TCompressionItem>> items_;
};

// An archive being created.
class TCompressArchive : public TCompressionArchive {
public:
    StreamAccess VolumeAccess() const override { return StreamAccess::WriteOnly; }

    // Adds the folder (with its files when `addFilesInDir`, and its whole tree when
    // `recurseIntoDir`) and returns the index of the first item added.
    std::int32_t AddDirectory(const std::wstring& packedName, const std::string& dirName = {},
                              bool recurseIntoDir = false, bool addFilesInDir = false);
    std::int32_t AddFile(const std::wstring& packedName, const std::string& fileName);
    // The stream's data from its current position.
    std::int32_t AddFile(const std::wstring& packedName, std::unique_ptr<TStream> stream);
    std::int32_t AddFile(const std::wstring& packedName, TStream* stream);

    virtual void Compress() {}

    bool Compressing() const { return compressing_; }
    // Raises "Operation is not supported while compressing" while Compress runs.
    void EnsureNotCompressing() const;

    std::uint8_t DuplicateAction = 0;
    std::uint8_t DuplicateCheck = 0; // never turned on for archives being created

protected:
    using TCompressionArchive::TCompressionArchive;

    // Marks the archive as compressing for the life of the guard.
    class CompressingScope {
    public:
        explicit CompressingScope(TCompressArchive& archive);
        ~CompressingScope();
        CompressingScope(const CompressingScope&) = delete;
        CompressingScope& operator=(const CompressingScope&) = delete;

    private:
        TCompressArchive& archive_;
    };

private:
    void AddFolderOfWalk(const std::string& folder);
    void AddFileOfWalk(const std::string& folder, const TSearchRec& entry);
    std::int32_t AddStreamItem(const std::wstring& packedName, TStream* stream,
                               std::unique_ptr<TStream> owned);

    std::wstring basePackedName_;
    std::string baseDirName_;
    bool addFilesInDir_ = false;
    bool compressing_ = false;
};

// The name an item at `itemPath` gets when the folder `oldBase` is stored as `newBase`.
std::wstring PackedPathFor(const std::string& itemPath, const std::string& oldBase,
                           const std::wstring& newBase, const PathStyle& style = NativePathStyle);

} // namespace archive
