#include "archive/sevenzip.h"

#include "archive/ArchiveSettings.h"
#include "archive/SevenzipLibrary.h"
#include "archive/SevenzipObjects.h"

#include "archive/StringUtils.h"
#include "archive/formats/Formats.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

namespace archive {

using namespace sevenzip;

std::string GuidToString(const GUID& id) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.Data1,
                  id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3],
                  id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

TSevenzipCompressArchive::~TSevenzipCompressArchive() = default;

std::unique_ptr<TCompressionItem> TSevenzipCompressArchive::NewItem() {
    return std::make_unique<TCompressItem>(*this);
}

namespace {

ComPtr<IOutArchive> CreateOutHandler(const GUID& classId) {
    const TSevenzipLibrary& library = RequireSevenZipLibrary();
    void* handler = nullptr;
    const HRESULT result = library.CreateObject(&classId, &IID_IOutArchive, &handler);
    if (result != S_OK || !handler)
        throw ECompressionError("Sevenzip: Failed to get out archive interface for class " +
                                GuidToString(classId));
    return ComPtr<IOutArchive>::Adopt(static_cast<IOutArchive*>(handler));
}

// The one file a stream format holds when it wraps a tar: the tar written beside the archive
// (the same disk, so no small temporary folder fills up), removed in every case.
class TTemporaryTar {
public:
    explicit TTemporaryTar(const std::string& archiveName) {
        namespace fs = std::filesystem;
        const fs::path beside = archiveName.empty() ? fs::temp_directory_path()
                                                    : fs::absolute(archiveName).parent_path();
        std::random_device random;
        for (int attempt = 0; path_.empty() || fs::exists(path_); ++attempt) {
            if (attempt == 100)
                throw ECompressionError("Cannot find a free name for the temporary tar archive");
            path_ = (beside / (".archive-" + std::to_string(random()) + ".tar.tmp")).string();
        }
    }
    ~TTemporaryTar() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TTemporaryTar(const TTemporaryTar&) = delete;
    TTemporaryTar& operator=(const TTemporaryTar&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The archive's name without its last extension and with ".tar", as the format's sub-extensions
// (".tgz=.tar") and the usual ".tar.gz" pairs name the tar inside.
std::wstring InnerTarName(const std::string& archiveName) {
    std::string name = std::filesystem::path(archiveName).filename().string();
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    if (name.empty())
        name = "archive";
    const auto endsWithTar = [&] {
        if (name.size() < 4)
            return false;
        std::string tail = name.substr(name.size() - 4);
        for (char& c : tail)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return tail == ".tar";
    };
    if (!endsWithTar())
        name += ".tar";
    return Utf8ToWide(name);
}

// The single item a stream format compresses: the tar of the real items.
class TTarPayload final : public TCompressArchive {
public:
    TTarPayload() : TCompressArchive(std::string(), 0, true) {}
    const TCompressArchiveClass& ArchiveClass() const override { return TarArchiveClass(); }

protected:
    std::unique_ptr<TCompressionItem> NewItem() override {
        return std::make_unique<TCompressItem>(*this);
    }
};

} // namespace

IOutArchive* TSevenzipCompressArchive::OutArchive() {
    if (!outArchive_)
        outArchive_ = CreateOutHandler(HandlerClassId());
    return outArchive_.Get();
}

bool TSevenzipCompressArchive::HoldsOneFile() const {
    return ItemCount() == 1 && !Item(0).IsDirectory();
}

void TSevenzipCompressArchive::Update(IOutArchive& handler, TCompressionArchive& source,
                                      std::unique_ptr<TStream> output) {
    auto adapter = MakeCom<TSevenzipOutStream>(std::move(output), true, &errorRecord_);
    auto callback = MakeCom<TSevenzipUpdateCallback>(source, &errorRecord_);
    const HRESULT result = handler.UpdateItems(
        static_cast<IOutStream*>(adapter.Get()), static_cast<std::uint32_t>(source.ItemCount()),
        static_cast<IArchiveUpdateCallback2*>(callback.Get()));
    CheckResult(result, &errorRecord_);
    // Cut off whatever an older, longer file of the same name had beyond the new end.
    adapter->Finish();
}

void TSevenzipCompressArchive::CompressAsTar(IOutArchive& handler) {
    const std::string archiveName = VolumeCount() > 0 ? Volume(0).FileName : std::string();
    TTemporaryTar tar(archiveName);
    const ComPtr<IOutArchive> tarHandler = CreateOutHandler(HandlerClass(TarHandlerFormat));
    Update(*tarHandler.Get(), *this,
           std::make_unique<TFileStream>(tar.Path(), platform::FileAccess::ReadWrite,
                                         platform::FileShare::None,
                                         platform::FileDisposition::CreateAlways));
    TTarPayload payload;
    payload.AddFile(InnerTarName(archiveName), tar.Path());
    Update(handler, payload, VolumesStream());
}

std::unique_ptr<TStream> TSevenzipCompressArchive::VolumesStream() {
    return std::make_unique<TDynamicSplitStream>(
        [this](std::int32_t index) { return VolumeStreamFor(index); },
        [this](std::int32_t index) { return VolumeMaxSizeFor(index); }, false);
}

void TSevenzipCompressArchive::Compress() {
    CompressingScope compressing(*this);
    errorRecord_.Take();
    const TFormatCapacity capacity = Capacity();
    if (capacity == TFormatCapacity::OneMovie && !HoldsOneFile())
        throw ECompressionError(std::string("Sevenzip: ") + ArchiveClass().FormatName +
                                " holds a single file: it cannot hold folders or more files");

    // Loading the library, creating the handler and setting its properties touch no file.
    IOutArchive* handler = OutArchive();
    ApplyArchiveProperties(*this, handler);
    if (capacity == TFormatCapacity::OneStream && !HoldsOneFile())
        CompressAsTar(*handler);
    else
        Update(*handler, *this, VolumesStream());
}

namespace {

constexpr const wchar_t* CompressionMethodNames[] = {L"Copy", L"Deflate", L"Deflate64", L"BZip2",
                                                     L"LZMA", L"LZMA2",   L"PPMd"};
constexpr const wchar_t* EncryptionMethodNames[] = {L"", L"AES128", L"AES192", L"AES256",
                                                    L"ZIPCRYPTO"};

template <std::size_t N> std::wstring NameFromTable(const wchar_t* const (&table)[N], int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? table[index] : L"";
}

// Names and tagged values of one property call; the strings are freed after the call.
class PropertyList {
public:
    PropertyList() = default;
    PropertyList(const PropertyList&) = delete;
    PropertyList& operator=(const PropertyList&) = delete;
    ~PropertyList() {
        for (PROPVARIANT& value : values_)
            if (value.vt == VT_BSTR)
                FreeLibraryString(value.bstrVal);
    }

    void AddUInt32(const wchar_t* name, std::uint32_t number) {
        PROPVARIANT value{};
        value.vt = VT_UI4;
        value.ulVal = number;
        Add(name, value);
    }
    void AddString(const wchar_t* name, const std::wstring& text) {
        PROPVARIANT value{};
        value.bstrVal = AllocateLibraryString(text);
        value.vt = VT_BSTR;
        Add(name, value);
    }
    void AddSwitch(const wchar_t* name, bool on) { AddString(name, on ? L"ON" : L"OFF"); }

    bool Empty() const { return values_.empty(); }
    HRESULT ApplyTo(ISetProperties& setter) const {
        std::vector<const wchar_t*> names;
        for (const std::wstring& name : names_)
            names.push_back(name.c_str());
        return setter.SetProperties(names.data(), values_.data(),
                                    static_cast<std::uint32_t>(values_.size()));
    }

private:
    void Add(const wchar_t* name, const PROPVARIANT& value) {
        names_.emplace_back(name);
        values_.push_back(value);
    }
    std::vector<std::wstring> names_;
    std::vector<PROPVARIANT> values_;
};

template <typename Capability> const Capability* Offered(const TCompressionArchive& archive) {
    return dynamic_cast<const Capability*>(&archive);
}

void CollectProperties(const TCompressionArchive& archive, bool readsOrWrites, bool writes,
                       PropertyList& list) {
    if (readsOrWrites)
        if (auto* threads = Offered<ThreadsSetting>(archive);
            threads && threads->NumberOfThreads() > 1)
            list.AddUInt32(L"MT", threads->NumberOfThreads());
    if (!writes)
        return;
    const auto* method = Offered<MethodSetting>(archive);
    if (method)
        list.AddString(L"M", NameFromTable(CompressionMethodNames,
                                           static_cast<int>(method->CompressionMethod()) % 128));
    if (auto* level = Offered<LevelSetting>(archive))
        list.AddUInt32(L"X", level->CompressionLevel());
    if (auto* encryption = Offered<EncryptionSetting>(archive);
        encryption && encryption->EncryptionMethod() != TEncryptionMethod::None)
        list.AddString(L"EM", NameFromTable(EncryptionMethodNames,
                                            static_cast<int>(encryption->EncryptionMethod())));
    if (auto* dictionary = Offered<DictionarySetting>(archive); dictionary && method) {
        const auto kind = method->CompressionMethod();
        if (kind == TCompressionMethod::BZip2 || kind == TCompressionMethod::LZMA ||
            kind == TCompressionMethod::LZMA2)
            list.AddString(L"D", std::to_wstring(dictionary->DictionarySize()) + L"B");
    }
    if (auto* passes = Offered<PassesSetting>(archive))
        list.AddUInt32(L"PASS", passes->NumberOfPasses());
    if (auto* sfx = Offered<SfxRemovalSetting>(archive))
        list.AddSwitch(L"RSFX", sfx->RemoveSfxBlock());
    if (auto* header = Offered<HeaderCompressionSetting>(archive)) {
        list.AddSwitch(L"HC", header->CompressHeader());
        if (header->CompressHeaderFull())
            list.AddSwitch(L"HCF", true);
    }
    if (auto* headerEncryption = Offered<HeaderEncryptionSetting>(archive))
        list.AddSwitch(L"HE", headerEncryption->EncryptHeader());
    if (auto* creation = Offered<CreationTimeSetting>(archive))
        list.AddSwitch(L"TC", creation->SaveCreationTime());
    if (auto* access = Offered<AccessTimeSetting>(archive))
        list.AddSwitch(L"TA", access->SaveLastAccessTime());
    if (auto* write = Offered<WriteTimeSetting>(archive))
        list.AddSwitch(L"TM", write->SaveLastWriteTime());
    if (auto* algorithm = Offered<AlgorithmSetting>(archive))
        list.AddUInt32(L"A", algorithm->Algorithm());
    if (auto* solid = Offered<SolidSetting>(archive)) {
        if (solid->SolidExtension())
            list.AddString(L"S", L"E");
        if (solid->SolidBlockSize() > 0)
            list.AddString(L"S", std::to_wstring(solid->SolidBlockSize()) + L"B");
    }
}

} // namespace

void ApplyArchiveProperties(TCompressionArchive& archive, IUnknown* handler) {
    const ComPtr<IUnknown> object(handler);
    const auto setter = object.Query<ISetProperties>(IID_ISetProperties);
    if (!setter)
        return;
    const bool reads = static_cast<bool>(object.Query<IUnknown>(IID_IInArchive));
    const bool writes = static_cast<bool>(object.Query<IUnknown>(IID_IOutArchive));
    PropertyList list;
    CollectProperties(archive, reads || writes, writes, list);
    if (list.Empty())
        return;
    auto* record = dynamic_cast<TSevenzipCompressArchive*>(&archive);
    CheckResult(list.ApplyTo(*setter.Get()), record ? &record->ErrorRecord() : nullptr);
}

} // namespace archive
