// One entry of an archive: its name inside the archive, the file facts the archive stores, and the
// stream its data comes from.
#pragma once

#include "archive/FileSystem.h"
#include "archive/Streams.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>

namespace archive {

class TCompressionArchive;

enum class TItemProperty : std::uint8_t {
    PackedName = 0,
    PackedSize = 1,
    PackedExtension = 2,
    FileSize = 3,
    FileName = 4,
    Attributes = 5,
    CreationTime = 6,
    LastAccessTime = 7,
    LastWriteTime = 8,
    Comment = 9,
    HostOS = 10,
    HostFileSystem = 11,
    UserName = 12,
    GroupName = 13,
    CRC = 14,
    ItemStream = 15,
    MethodName = 16,
    Encrypted = 17,
    PosixAttributes = 18,
    LinkTarget = 19,
};
using TItemProperties = std::bitset<20>;

inline constexpr const wchar_t* HostOSName = L"Windows";

class TCompressionItem {
public:
    explicit TCompressionItem(TCompressionArchive& archive);
    virtual ~TCompressionItem();
    TCompressionItem(const TCompressionItem&) = delete;
    TCompressionItem& operator=(const TCompressionItem&) = delete;

    TCompressionArchive& Archive() const { return archive_; }
    const TItemProperties& ValidProperties() const { return valid_; }
    const TItemProperties& ModifiedProperties() const { return modified_; }

    std::int32_t IndexInArchive = -1;
    // 0 not reported, then 1 + the library's operation result (5 for anything unknown).
    std::uint8_t OperationResult = 0;

    const std::wstring& PackedName() const { return packedName_; }
    std::int64_t PackedSize() const { return packedSize_; }
    const std::wstring& PackedExtension() const { return packedExtension_; }
    std::int64_t FileSize() const { return fileSize_; }
    const std::string& FileName() const { return fileName_; }
    std::uint32_t Attributes() const { return attributes_; }
    bool IsDirectory() const { return (attributes_ & faDirectory) != 0; }
    TFileTime CreationTime() const { return creationTime_; }
    TFileTime LastAccessTime() const { return lastAccessTime_; }
    TFileTime LastWriteTime() const { return lastWriteTime_; }
    const std::wstring& Comment() const { return comment_; }
    const std::wstring& HostOS() const { return hostOS_; }
    const std::wstring& HostFileSystem() const { return hostFileSystem_; }
    const std::wstring& UserName() const { return userName_; }
    const std::wstring& GroupName() const { return groupName_; }
    std::uint32_t CRC() const { return crc_; }
    const std::wstring& MethodName() const { return methodName_; }
    bool Encrypted() const { return encrypted_; }
    std::uint32_t PosixAttributes() const { return posixAttributes_; }
    const std::wstring& LinkTarget() const { return linkTarget_; }

    // Every setter first asks the item's class whether the property may be set.
    void SetPackedName(const std::wstring& value);
    void SetPackedSize(std::int64_t value);
    // Adds the leading "." when it is missing.
    void SetPackedExtension(const std::wstring& value);
    void SetFileSize(std::int64_t value);
    // Also takes size, attributes, times and host from the file system, when it can read them.
    void SetFileName(const std::string& value);
    void SetAttributes(std::uint32_t value);
    void SetIsDirectory(bool value);
    void SetCreationTime(TFileTime value);
    void SetLastAccessTime(TFileTime value);
    void SetLastWriteTime(TFileTime value);
    void SetComment(const std::wstring& value);
    void SetHostOS(const std::wstring& value);
    void SetHostFileSystem(const std::wstring& value);
    void SetUserName(const std::wstring& value);
    void SetGroupName(const std::wstring& value);
    void SetCRC(std::uint32_t value);
    void SetMethodName(const std::wstring& value);
    void SetEncrypted(bool value);
    void SetPosixAttributes(std::uint32_t value);
    void SetLinkTarget(const std::wstring& value);
    // The item's data: a stream the item frees, or one the caller keeps; nullptr clears it.
    void SetItemStream(std::unique_ptr<TStream> stream);
    void SetItemStream(TStream* stream);

    // The stream the library reads: the one given, or the file named by FileName opened on first
    // request (nullptr when there is neither).
    TStream* AcquireStream();
    // Closes a stream the item opened itself from its FileName.
    void ReleaseStream();

protected:
    // Raises when the property may not be set on this kind of item.
    virtual void CheckWrite(TItemProperty property) const = 0;

private:
    template <typename T> void Store(TItemProperty property, T& field, const T& value);
    void Mark(TItemProperty property, bool present);

    TCompressionArchive& archive_;
    TItemProperties valid_;
    TItemProperties modified_;

    std::wstring packedName_;
    std::int64_t packedSize_ = 0;
    std::wstring packedExtension_;
    std::int64_t fileSize_ = 0;
    std::string fileName_;
    std::uint32_t attributes_ = 0;
    TFileTime creationTime_ = 0;
    TFileTime lastAccessTime_ = 0;
    TFileTime lastWriteTime_ = 0;
    std::wstring comment_;
    std::wstring hostOS_;
    std::wstring hostFileSystem_;
    std::wstring userName_;
    std::wstring groupName_;
    std::uint32_t crc_ = 0;
    std::wstring methodName_;
    bool encrypted_ = false;
    std::uint32_t posixAttributes_ = 0;
    std::wstring linkTarget_;

    TStream* stream_ = nullptr;
    std::unique_ptr<TStream> ownedStream_;
    std::unique_ptr<TStream> openedStream_;
};

// An entry of an archive being created.
class TCompressItem : public TCompressionItem {
public:
    using TCompressionItem::TCompressionItem;

protected:
    void CheckWrite(TItemProperty property) const override;
};

} // namespace archive
