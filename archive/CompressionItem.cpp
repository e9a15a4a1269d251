#include "archive/CompressionItem.h"

#include "archive/CompressionArchive.h"
#include "archive/FileUtils.h"

#include <typeinfo>

namespace archive {

TCompressionItem::TCompressionItem(TCompressionArchive& archive) : archive_(archive) {}

TCompressionItem::~TCompressionItem() = default;

void TCompressionItem::Mark(TItemProperty property, bool present) {
    const auto bit = static_cast<std::size_t>(property);
    valid_.set(bit, present);
    modified_.set(bit, present);
}

template <typename T>
void TCompressionItem::Store(TItemProperty property, T& field, const T& value) {
    CheckWrite(property);
    field = value;
    Mark(property, true);
}

void TCompressionItem::SetPackedName(const std::wstring& value) {
    if (value != packedName_)
        Store(TItemProperty::PackedName, packedName_, value);
}
void TCompressionItem::SetPackedSize(std::int64_t value) {
    Store(TItemProperty::PackedSize, packedSize_, value);
}
void TCompressionItem::SetPackedExtension(const std::wstring& value) {
    Store(TItemProperty::PackedExtension, packedExtension_,
          value.empty() || value.front() == L'.' ? value : L"." + value);
}
void TCompressionItem::SetFileSize(std::int64_t value) {
    Store(TItemProperty::FileSize, fileSize_, value);
}
void TCompressionItem::SetAttributes(std::uint32_t value) {
    Store(TItemProperty::Attributes, attributes_, value);
}
void TCompressionItem::SetIsDirectory(bool value) {
    SetAttributes(value ? attributes_ | faDirectory : attributes_ & ~faDirectory);
}
void TCompressionItem::SetCreationTime(TFileTime value) {
    Store(TItemProperty::CreationTime, creationTime_, value);
}
void TCompressionItem::SetLastAccessTime(TFileTime value) {
    Store(TItemProperty::LastAccessTime, lastAccessTime_, value);
}
void TCompressionItem::SetLastWriteTime(TFileTime value) {
    Store(TItemProperty::LastWriteTime, lastWriteTime_, value);
}
void TCompressionItem::SetComment(const std::wstring& value) {
    Store(TItemProperty::Comment, comment_, value);
}
void TCompressionItem::SetHostOS(const std::wstring& value) {
    Store(TItemProperty::HostOS, hostOS_, value);
}
void TCompressionItem::SetHostFileSystem(const std::wstring& value) {
    Store(TItemProperty::HostFileSystem, hostFileSystem_, value);
}
void TCompressionItem::SetUserName(const std::wstring& value) {
    Store(TItemProperty::UserName, userName_, value);
}
void TCompressionItem::SetGroupName(const std::wstring& value) {
    Store(TItemProperty::GroupName, groupName_, value);
}
void TCompressionItem::SetCRC(std::uint32_t value) {
    Store(TItemProperty::CRC, crc_, value);
}
void TCompressionItem::SetMethodName(const std::wstring& value) {
    Store(TItemProperty::MethodName, methodName_, value);
}
void TCompressionItem::SetEncrypted(bool value) {
    Store(TItemProperty::Encrypted, encrypted_, value);
}
void TCompressionItem::SetPosixAttributes(std::uint32_t value) {
    Store(TItemProperty::PosixAttributes, posixAttributes_, value);
}
void TCompressionItem::SetLinkTarget(const std::wstring& value) {
    Store(TItemProperty::LinkTarget, linkTarget_, value);
}

void TCompressionItem::SetFileName(const std::string& value) {
    CheckWrite(TItemProperty::FileName);
    fileName_ = value;
    Mark(TItemProperty::FileName, !value.empty());
    if (value.empty())
        return;
    // The facts are those of the moment the item is added.
    const auto facts = ReadFileFacts(value);
    if (!facts)
        return;
    SetFileSize(facts->Size);
    SetAttributes(facts->Attributes);
    SetCreationTime(facts->CreationTime);
    SetLastAccessTime(facts->LastAccessTime);
    SetLastWriteTime(facts->LastWriteTime);
    SetHostOS(HostOSName);
}

void TCompressionItem::SetItemStream(std::unique_ptr<TStream> stream) {
    CheckWrite(TItemProperty::ItemStream);
    openedStream_.reset();
    ownedStream_ = std::move(stream);
    stream_ = ownedStream_.get();
    Mark(TItemProperty::ItemStream, stream_ != nullptr);
}

void TCompressionItem::SetItemStream(TStream* stream) {
    CheckWrite(TItemProperty::ItemStream);
    openedStream_.reset();
    ownedStream_.reset();
    stream_ = stream;
    Mark(TItemProperty::ItemStream, stream_ != nullptr);
}

TStream* TCompressionItem::AcquireStream() {
    if (!stream_ && !fileName_.empty()) {
        openedStream_ = OpenFileForAccess(fileName_, archive_.ItemAccess());
        stream_ = openedStream_.get();
    }
    return stream_;
}

void TCompressionItem::ReleaseStream() {
    if (openedStream_) {
        openedStream_.reset();
        stream_ = nullptr;
    }
}

void TCompressItem::CheckWrite(TItemProperty property) const {
    if (property == TItemProperty::MethodName)
        throw ECompressionError("write is not an supported operation.");
    const auto* owner = dynamic_cast<const TCompressArchive*>(&Archive());
    if (!owner)
        throw std::bad_cast();
    owner->EnsureNotCompressing();
}

} // namespace archive
