#include "archive/SevenzipObjects.h"

#include "archive/CompressionArchive.h"
#include "archive/SevenzipLibrary.h"

#include <algorithm>

namespace archive::sevenzip {
namespace {

constexpr const char* StreamNotAssignedText = "Sevenzip: Stream object is not assigned";

void SetBool(PROPVARIANT* value, bool flag) {
    value->vt = VT_BOOL;
    value->boolVal = flag ? -1 : 0;
}
void SetUInt32(PROPVARIANT* value, std::uint32_t number) {
    value->vt = VT_UI4;
    value->ulVal = number;
}
void SetUInt64(PROPVARIANT* value, std::uint64_t number) {
    value->vt = VT_UI8;
    value->uhVal = number;
}
void SetString(PROPVARIANT* value, const std::wstring& text) {
    value->bstrVal = AllocateLibraryString(text);
    value->vt = VT_BSTR;
}
void SetFileTime(PROPVARIANT* value, std::uint64_t time) {
    value->vt = VT_FILETIME;
    value->filetime.dwLowDateTime = static_cast<std::uint32_t>(time);
    value->filetime.dwHighDateTime = static_cast<std::uint32_t>(time >> 32);
}

template <typename T> void Answer(T* place, T value) {
    if (place)
        *place = value;
}

} // namespace

TSevenzipUpdateCallback::TSevenzipUpdateCallback(TCompressionArchive& archive,
                                                 TLibraryErrorRecord* record)
    : TSafecallInterfacedObject(record), archive_(archive) {}

HRESULT TSevenzipUpdateCallback::QueryInterface(const GUID& iid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    IArchiveUpdateCallback2* callback = this;
    if (Offer<IUnknown>(iid, IID_IUnknown, callback, object) ||
        Offer<IProgress>(iid, IID_IProgress, callback, object) ||
        Offer<IArchiveUpdateCallback>(iid, IID_IArchiveUpdateCallback, callback, object) ||
        Offer<IArchiveUpdateCallback2>(iid, IID_IArchiveUpdateCallback2, callback, object) ||
        Offer<ICryptoGetTextPassword2>(iid, IID_ICryptoGetTextPassword2, this, object) ||
        Offer<ICompressProgressInfo>(iid, IID_ICompressProgressInfo, this, object))
        return S_OK;
    return E_NOINTERFACE;
}

void TSevenzipUpdateCallback::CheckCancel() const {
    if (archive_.CancelRequested)
        throw ECompressionCancelled("User abort");
}

HRESULT TSevenzipUpdateCallback::SetTotal(std::uint64_t total) {
    return Guarded([&] {
        archive_.ProgressTotal = total;
        CheckCancel();
        return S_OK;
    });
}

HRESULT TSevenzipUpdateCallback::SetCompleted(const std::uint64_t* completeValue) {
    return Guarded([&] {
        if (!completeValue)
            return S_OK;
        if (archive_.OnProgress)
            archive_.OnProgress(*completeValue, archive_.ProgressTotal);
        CheckCancel();
        return S_OK;
    });
}

HRESULT TSevenzipUpdateCallback::GetUpdateItemInfo(std::uint32_t index, std::int32_t* newData,
                                                   std::int32_t* newProps,
                                                   std::uint32_t* indexInArchive) {
    return Guarded([&] {
        const TCompressionItem& item = archive_.Item(index);
        TItemProperties data;
        data.set(static_cast<std::size_t>(TItemProperty::FileName));
        data.set(static_cast<std::size_t>(TItemProperty::ItemStream));
        const TItemProperties& modified = item.ModifiedProperties();
        // An item that is not in an older archive has no old data the library could copy: a
        // folder added by its bare name (no disk path) still counts as new data.
        const bool isNew = item.IndexInArchive < 0;
        Answer(newData, static_cast<std::int32_t>(isNew || (modified & data).any() ? 1 : 0));
        Answer(newProps, static_cast<std::int32_t>((modified & ~data).any() ? 1 : 0));
        Answer(indexInArchive, static_cast<std::uint32_t>(item.IndexInArchive));
        return S_OK;
    });
}

HRESULT TSevenzipUpdateCallback::GetProperty(std::uint32_t index, PROPID propID,
                                             PROPVARIANT* value) {
    return Guarded([&] {
        const TCompressionItem& item = archive_.Item(index);
        if (!value)
            return S_OK;
        value->vt = VT_EMPTY;
        switch (propID) {
        case kpidNoProperty:
            value->vt = VT_NULL;
            break;
        case kpidPath:
            SetString(value, item.PackedName());
            break;
        case kpidIsDir:
            SetBool(value, item.IsDirectory());
            break;
        case kpidSize:
            SetUInt64(value, static_cast<std::uint64_t>(item.FileSize()));
            break;
        case kpidAttrib:
            SetUInt32(value, item.Attributes());
            break;
        case kpidCTime:
            SetFileTime(value, item.CreationTime());
            break;
        case kpidATime:
            SetFileTime(value, item.LastAccessTime());
            break;
        case kpidMTime:
            SetFileTime(value, item.LastWriteTime());
            break;
        case kpidSolid:
            SetBool(value, true);
            break;
        case kpidIsAnti:
            SetBool(value, false);
            break;
        case kpidUser:
            SetString(value, item.UserName());
            break;
        case kpidGroup:
            SetString(value, item.GroupName());
            break;
        case kpidTimeType:
            SetUInt32(value, 0);
            break;
        case kpidPosixAttrib:
            SetUInt32(value, item.PosixAttributes());
            break;
        case kpidSymLink:
            SetString(value, item.LinkTarget());
            break;
        default:
            break;
        }
        return S_OK;
    });
}

HRESULT TSevenzipUpdateCallback::GetStream(std::uint32_t index, ISequentialInStream** inStream) {
    return Guarded([&] {
        if (!inStream)
            return E_INVALIDARG;
        *inStream = nullptr;
        lastStreamIndex_ = static_cast<std::int32_t>(index);
        // An index outside the items fails here, not at the first read. A folder has no data:
        // formats that ask for every item's stream (tar) get none for it.
        if (archive_.Item(index).IsDirectory())
            return S_OK;
        // No file is opened before the library reads.
        auto stream =
            MakeCom<TSevenzipInStream>(archive_, static_cast<std::int32_t>(index), Record());
        auto sequential = stream.Query<ISequentialInStream>(IID_ISequentialInStream);
        sequential->AddRef();
        *inStream = sequential.Get();
        return S_OK;
    });
}

HRESULT TSevenzipUpdateCallback::SetOperationResult(std::int32_t operationResult) {
    return Guarded([&] {
        const std::int32_t index = lastStreamIndex_;
        if (index >= 0 && static_cast<std::size_t>(index) < archive_.ItemCount())
            archive_.Item(static_cast<std::size_t>(index)).OperationResult =
                operationResult >= 0 && operationResult <= 3
                    ? static_cast<std::uint8_t>(operationResult + 1)
                    : 5;
        return S_OK;
    });
}

HRESULT TSevenzipUpdateCallback::GetVolumeSize(std::uint32_t, std::uint64_t* size) {
    Answer(size, std::uint64_t{0});
    return S_FALSE;
}

HRESULT TSevenzipUpdateCallback::GetVolumeStream(std::uint32_t,
                                                 ISequentialOutStream** volumeStream) {
    return Guarded([&]() -> HRESULT {
        Answer(volumeStream, static_cast<ISequentialOutStream*>(nullptr));
        throw ESystemError(ResultFromSystemError(120), "GetVolumeStream is not implemented");
    });
}

HRESULT TSevenzipUpdateCallback::CryptoGetTextPassword2(std::int32_t* passwordIsDefined,
                                                        BSTR* password) {
    return Guarded([&] {
        Answer(passwordIsDefined, static_cast<std::int32_t>(archive_.Password.empty() ? 0 : -1));
        if (password)
            *password = AllocateLibraryString(archive_.Password);
        return S_OK;
    });
}

HRESULT TSevenzipUpdateCallback::SetRatioInfo(const std::uint64_t* inSize,
                                              const std::uint64_t* outSize) {
    return Guarded([&] {
        const auto read = [](const std::uint64_t* size) {
            return size ? static_cast<std::int64_t>(*size) : std::int64_t{-1};
        };
        if (archive_.OnRatio)
            archive_.OnRatio(read(inSize), read(outSize));
        CheckCancel();
        return S_OK;
    });
}

TSevenzipInStream::TSevenzipInStream(TCompressionArchive& archive, std::int32_t itemIndex,
                                     TLibraryErrorRecord* record)
    : TSafecallInterfacedObject(record), archive_(&archive), itemIndex_(itemIndex) {}

TSevenzipInStream::TSevenzipInStream(std::unique_ptr<TStream> stream)
    : stream_(stream.get()), ownedStream_(std::move(stream)) {}

TSevenzipInStream::~TSevenzipInStream() {
    if (archive_ && itemIndex_ >= 0 && static_cast<std::size_t>(itemIndex_) < archive_->ItemCount())
        archive_->Item(static_cast<std::size_t>(itemIndex_)).ReleaseStream();
}

HRESULT TSevenzipInStream::QueryInterface(const GUID& iid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    IInStream* stream = this;
    if (Offer<IUnknown>(iid, IID_IUnknown, stream, object) ||
        Offer<ISequentialInStream>(iid, IID_ISequentialInStream, stream, object) ||
        Offer<IInStream>(iid, IID_IInStream, stream, object) ||
        Offer<IStreamGetSize>(iid, IID_IStreamGetSize, this, object))
        return S_OK;
    return E_NOINTERFACE;
}

TStream& TSevenzipInStream::Stream() {
    if (archive_) {
        archive_->CurrentItem = itemIndex_;
        if (!stream_)
            stream_ = archive_->Item(static_cast<std::size_t>(itemIndex_)).AcquireStream();
    }
    if (!stream_)
        throw ECompressionError(StreamNotAssignedText);
    return *stream_;
}

HRESULT TSevenzipInStream::Read(void* data, std::uint32_t size, std::uint32_t* processedSize) {
    Answer(processedSize, std::uint32_t{0});
    return Guarded([&] {
        const std::size_t got = Stream().Read(data, size);
        Answer(processedSize, static_cast<std::uint32_t>(got));
        return S_OK;
    });
}

HRESULT TSevenzipInStream::Seek(std::int64_t offset, std::uint32_t seekOrigin,
                                std::uint64_t* newPosition) {
    return Guarded([&] {
        const std::int64_t position = Stream().Seek(offset, static_cast<int>(seekOrigin));
        Answer(newPosition, static_cast<std::uint64_t>(position));
        return S_OK;
    });
}

HRESULT TSevenzipInStream::GetSize(std::uint64_t* size) {
    return Guarded([&] {
        Answer(size, static_cast<std::uint64_t>(Stream().Size()));
        return S_OK;
    });
}

TSevenzipOutStream::TSevenzipOutStream(std::unique_ptr<TStream> stream, bool truncateOnRelease,
                                       TLibraryErrorRecord* record)
    : TSafecallInterfacedObject(record), stream_(std::move(stream)),
      truncateOnRelease_(truncateOnRelease) {}

TSevenzipOutStream::~TSevenzipOutStream() {
    try {
        Finish();
    } catch (...) {
        // Reached only when the update already failed and that failure is being reported.
    }
}

HRESULT TSevenzipOutStream::QueryInterface(const GUID& iid, void** object) {
    if (!object)
        return E_INVALIDARG;
    *object = nullptr;
    IOutStream* stream = this;
    if (Offer<IUnknown>(iid, IID_IUnknown, stream, object) ||
        Offer<ISequentialOutStream>(iid, IID_ISequentialOutStream, stream, object) ||
        Offer<IOutStream>(iid, IID_IOutStream, stream, object))
        return S_OK;
    return E_NOINTERFACE;
}

TStream& TSevenzipOutStream::Stream() {
    if (!stream_)
        throw ECompressionError(StreamNotAssignedText);
    touched_ = true;
    return *stream_;
}

HRESULT TSevenzipOutStream::Write(const void* data, std::uint32_t size,
                                  std::uint32_t* processedSize) {
    Answer(processedSize, std::uint32_t{0});
    return Guarded([&] {
        const std::size_t written = Stream().Write(data, size);
        position_ += static_cast<std::int64_t>(written);
        highestPosition_ = std::max(highestPosition_, position_);
        Answer(processedSize, static_cast<std::uint32_t>(written));
        return S_OK;
    });
}

HRESULT TSevenzipOutStream::Seek(std::int64_t offset, std::uint32_t seekOrigin,
                                 std::uint64_t* newPosition) {
    return Guarded([&] {
        position_ = Stream().Seek(offset, static_cast<int>(seekOrigin));
        Answer(newPosition, static_cast<std::uint64_t>(position_));
        return S_OK;
    });
}

HRESULT TSevenzipOutStream::SetSize(std::uint64_t newSize) {
    return Guarded([&] {
        Stream().SetSize(static_cast<std::int64_t>(newSize));
        // The library's own size is the end so far, shorter or longer than what was written.
        highestPosition_ = static_cast<std::int64_t>(newSize);
        return S_OK;
    });
}

void TSevenzipOutStream::Finish() {
    if (finished_)
        return;
    finished_ = true;
    if (truncateOnRelease_ && touched_ && stream_)
        stream_->SetSize(highestPosition_);
}

} // namespace archive::sevenzip
