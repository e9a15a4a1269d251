// The 7-Zip library's component interfaces as its Linux build lays them out: classes of pure
// virtual methods (no virtual destructor), 16-byte identifiers, 32-bit result codes, 16-byte tagged
// values and wchar_t strings allocated by the library's own string allocator.
#pragma once

#include <cstdint>
#include <cstring>

namespace archive::sevenzip {

using HRESULT = std::int32_t;
using PROPID = std::uint32_t;
using BSTR = wchar_t*;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);

// A system error code as a result: 0 stays 0.
constexpr HRESULT ResultFromSystemError(std::uint32_t code) {
    return code == 0 ? S_OK : static_cast<HRESULT>(0x80070000u | (code & 0xFFFFu));
}

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
    friend bool operator==(const GUID& a, const GUID& b) {
        return std::memcmp(&a, &b, sizeof(GUID)) == 0;
    }
};
static_assert(sizeof(GUID) == 16);

// {23170F69-40C1-278A-0000-00gg00ii0000}: the library's interface identifiers.
constexpr GUID LibraryInterface(std::uint8_t group, std::uint8_t item) {
    return {0x23170F69, 0x40C1, 0x278A, {0, 0, 0, group, 0, item, 0, 0}};
}
// {23170F69-40C1-278A-1000-000110ff0000}: the library's format handler classes.
constexpr GUID HandlerClass(std::uint8_t format) {
    return {0x23170F69, 0x40C1, 0x278A, {0x10, 0, 0, 0x01, 0x10, format, 0, 0}};
}

inline constexpr GUID IID_IUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID IID_ISequentialInStream = LibraryInterface(0x03, 0x01);
inline constexpr GUID IID_ISequentialOutStream = LibraryInterface(0x03, 0x02);
inline constexpr GUID IID_IInStream = LibraryInterface(0x03, 0x03);
inline constexpr GUID IID_IOutStream = LibraryInterface(0x03, 0x04);
inline constexpr GUID IID_IStreamGetSize = LibraryInterface(0x03, 0x06);
inline constexpr GUID IID_ICompressProgressInfo = LibraryInterface(0x04, 0x04);
inline constexpr GUID IID_ICryptoGetTextPassword2 = LibraryInterface(0x05, 0x11);
inline constexpr GUID IID_IProgress = LibraryInterface(0x00, 0x05);
inline constexpr GUID IID_ISetProperties = LibraryInterface(0x06, 0x03);
inline constexpr GUID IID_IInArchive = LibraryInterface(0x06, 0x60);
inline constexpr GUID IID_IArchiveUpdateCallback = LibraryInterface(0x06, 0x80);
inline constexpr GUID IID_IArchiveUpdateCallback2 = LibraryInterface(0x06, 0x82);
inline constexpr GUID IID_IOutArchive = LibraryInterface(0x06, 0xA0);

enum VARTYPE : std::uint16_t {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_UI4 = 19,
    VT_UI8 = 21,
    VT_FILETIME = 64,
};

struct FILETIME {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

struct PROPVARIANT {
    std::uint16_t vt;
    std::uint16_t wReserved1;
    std::uint16_t wReserved2;
    std::uint16_t wReserved3;
    union {
        std::uint32_t ulVal;
        std::uint64_t uhVal;
        std::int16_t boolVal; // -1 true, 0 false
        BSTR bstrVal;
        FILETIME filetime;
    };
};
static_assert(sizeof(PROPVARIANT) == 16);

struct IUnknown {
    virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;
};

struct ISequentialInStream : IUnknown {
    virtual HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processedSize) = 0;
};
struct IInStream : ISequentialInStream {
    virtual HRESULT Seek(std::int64_t offset, std::uint32_t seekOrigin,
                         std::uint64_t* newPosition) = 0;
};
struct IStreamGetSize : IUnknown {
    virtual HRESULT GetSize(std::uint64_t* size) = 0;
};
struct ISequentialOutStream : IUnknown {
    virtual HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processedSize) = 0;
};
struct IOutStream : ISequentialOutStream {
    virtual HRESULT Seek(std::int64_t offset, std::uint32_t seekOrigin,
                         std::uint64_t* newPosition) = 0;
    virtual HRESULT SetSize(std::uint64_t newSize) = 0;
};

struct IProgress : IUnknown {
    virtual HRESULT SetTotal(std::uint64_t total) = 0;
    virtual HRESULT SetCompleted(const std::uint64_t* completeValue) = 0;
};
struct IArchiveUpdateCallback : IProgress {
    virtual HRESULT GetUpdateItemInfo(std::uint32_t index, std::int32_t* newData,
                                      std::int32_t* newProps, std::uint32_t* indexInArchive) = 0;
    virtual HRESULT GetProperty(std::uint32_t index, PROPID propID, PROPVARIANT* value) = 0;
    virtual HRESULT GetStream(std::uint32_t index, ISequentialInStream** inStream) = 0;
    virtual HRESULT SetOperationResult(std::int32_t operationResult) = 0;
};
struct IArchiveUpdateCallback2 : IArchiveUpdateCallback {
    virtual HRESULT GetVolumeSize(std::uint32_t index, std::uint64_t* size) = 0;
    virtual HRESULT GetVolumeStream(std::uint32_t index, ISequentialOutStream** volumeStream) = 0;
};
struct ICryptoGetTextPassword2 : IUnknown {
    virtual HRESULT CryptoGetTextPassword2(std::int32_t* passwordIsDefined, BSTR* password) = 0;
};
struct ICompressProgressInfo : IUnknown {
    virtual HRESULT SetRatioInfo(const std::uint64_t* inSize, const std::uint64_t* outSize) = 0;
};

struct ISetProperties : IUnknown {
    virtual HRESULT SetProperties(const wchar_t* const* names, const PROPVARIANT* values,
                                  std::uint32_t numProps) = 0;
};
struct IOutArchive : IUnknown {
    virtual HRESULT UpdateItems(ISequentialOutStream* outStream, std::uint32_t numItems,
                                IArchiveUpdateCallback* updateCallback) = 0;
    virtual HRESULT GetFileTimeType(std::uint32_t* type) = 0;
};

// Item property identifiers asked for by the library.
enum : PROPID {
    kpidNoProperty = 0,
    kpidPath = 3,
    kpidIsDir = 6,
    kpidSize = 7,
    kpidAttrib = 9,
    kpidCTime = 10,
    kpidATime = 11,
    kpidMTime = 12,
    kpidSolid = 13,
    kpidIsAnti = 21,
    kpidMethod = 22,
    kpidUser = 25,
    kpidGroup = 26,
    kpidTimeType = 40,
    kpidPosixAttrib = 53,
    kpidSymLink = 54,
};

} // namespace archive::sevenzip
