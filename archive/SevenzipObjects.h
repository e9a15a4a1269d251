// The objects the 7-Zip library calls back during an update: the update callback that describes
// each item, an input stream per item, and the output stream over the archive's volumes.
#pragma once

#include "archive/SevenzipCom.h"
#include "archive/Streams.h"

#include <memory>

namespace archive {

class TCompressionArchive;

namespace sevenzip {

class TSevenzipUpdateCallback final
    : public TSafecallInterfacedObject<IArchiveUpdateCallback2, ICryptoGetTextPassword2,
                                       ICompressProgressInfo> {
public:
    explicit TSevenzipUpdateCallback(TCompressionArchive& archive,
                                     TLibraryErrorRecord* record = nullptr);

    HRESULT QueryInterface(const GUID& iid, void** object) override;
    HRESULT SetTotal(std::uint64_t total) override;
    HRESULT SetCompleted(const std::uint64_t* completeValue) override;
    HRESULT GetUpdateItemInfo(std::uint32_t index, std::int32_t* newData, std::int32_t* newProps,
                              std::uint32_t* indexInArchive) override;
    HRESULT GetProperty(std::uint32_t index, PROPID propID, PROPVARIANT* value) override;
    HRESULT GetStream(std::uint32_t index, ISequentialInStream** inStream) override;
    HRESULT SetOperationResult(std::int32_t operationResult) override;
    HRESULT GetVolumeSize(std::uint32_t index, std::uint64_t* size) override;
    HRESULT GetVolumeStream(std::uint32_t index, ISequentialOutStream** volumeStream) override;
    HRESULT CryptoGetTextPassword2(std::int32_t* passwordIsDefined, BSTR* password) override;
    HRESULT SetRatioInfo(const std::uint64_t* inSize, const std::uint64_t* outSize) override;

private:
    void CheckCancel() const;

    TCompressionArchive& archive_;
    std::atomic<std::int32_t> lastStreamIndex_{-1};
};

class TSevenzipInStream final : public TSafecallInterfacedObject<IInStream, IStreamGetSize> {
public:
    // The data of one item of `archive`; the item's file is opened on first use.
    TSevenzipInStream(TCompressionArchive& archive, std::int32_t itemIndex,
                      TLibraryErrorRecord* record = nullptr);
    // A plain stream, freed with the adapter.
    explicit TSevenzipInStream(std::unique_ptr<TStream> stream);
    ~TSevenzipInStream() override;

    HRESULT QueryInterface(const GUID& iid, void** object) override;
    HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processedSize) override;
    HRESULT Seek(std::int64_t offset, std::uint32_t seekOrigin,
                 std::uint64_t* newPosition) override;
    HRESULT GetSize(std::uint64_t* size) override;

private:
    TStream& Stream();

    TCompressionArchive* archive_ = nullptr;
    std::int32_t itemIndex_ = -1;
    TStream* stream_ = nullptr;
    std::unique_ptr<TStream> ownedStream_;
};

class TSevenzipOutStream final : public TSafecallInterfacedObject<IOutStream> {
public:
    // With `truncateOnRelease`, the stream is cut where the writing ended when the adapter is
    // finished or released, so that no older, longer content survives behind it.
    TSevenzipOutStream(std::unique_ptr<TStream> stream, bool truncateOnRelease,
                       TLibraryErrorRecord* record = nullptr);
    ~TSevenzipOutStream() override;

    HRESULT QueryInterface(const GUID& iid, void** object) override;
    HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processedSize) override;
    HRESULT Seek(std::int64_t offset, std::uint32_t seekOrigin,
                 std::uint64_t* newPosition) override;
    HRESULT SetSize(std::uint64_t newSize) override;

    // Cuts the stream now, raising when that fails; nothing is done for a stream never used.
    void Finish();

private:
    TStream& Stream();

    std::unique_ptr<TStream> stream_;
    bool truncateOnRelease_;
    bool touched_ = false;
    bool finished_ = false;
    std::int64_t position_ = 0;
    std::int64_t highestPosition_ = 0;
};

} // namespace sevenzip
} // namespace archive
