// What the library sees: the properties handed to a handler, the update callback's answers, the
// stream adapters and the result codes of failures.
#include "archive/Compression.h"
#include "archive/SevenzipLibrary.h"
#include "archive/SevenzipObjects.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <variant>

namespace archive {
namespace {

using namespace sevenzip;
using testsupport::TemporaryFolder;

using RecordedValue = std::variant<std::monostate, std::wstring, std::uint32_t>;
struct RecordedProperty {
    std::wstring name;
    std::uint16_t tag;
    RecordedValue value;
    bool operator==(const RecordedProperty&) const = default;
};

// A handler with the library's interfaces that only records the property call.
class RecordingHandler final : public TSafecallInterfacedObject<IOutArchive, ISetProperties> {
public:
    explicit RecordingHandler(bool offersProperties = true) : offersProperties_(offersProperties) {}

    HRESULT QueryInterface(const GUID& iid, void** object) override {
        *object = nullptr;
        IOutArchive* self = this;
        if (Offer<IUnknown>(iid, IID_IUnknown, self, object) ||
            Offer<IOutArchive>(iid, IID_IOutArchive, self, object) ||
            (offersProperties_ && Offer<ISetProperties>(iid, IID_ISetProperties, this, object)))
            return S_OK;
        return E_NOINTERFACE;
    }
    HRESULT UpdateItems(ISequentialOutStream*, std::uint32_t, IArchiveUpdateCallback*) override {
        return E_NOTIMPL;
    }
    HRESULT GetFileTimeType(std::uint32_t*) override { return E_NOTIMPL; }
    HRESULT SetProperties(const wchar_t* const* names, const PROPVARIANT* values,
                          std::uint32_t count) override {
        ++calls;
        for (std::uint32_t i = 0; i < count; ++i) {
            RecordedValue value;
            if (values[i].vt == VT_BSTR)
                value = std::wstring(values[i].bstrVal);
            else if (values[i].vt == VT_UI4)
                value = values[i].ulVal;
            properties.push_back({names[i], values[i].vt, value});
        }
        return answer;
    }

    int calls = 0;
    HRESULT answer = S_OK;
    std::vector<RecordedProperty> properties;

private:
    bool offersProperties_;
};

class SevenzipBindingTest : public ::testing::Test {
protected:
    TemporaryFolder scratch;
    TZipCompressArchive zip{scratch / "a.zip"};
};

TEST_F(SevenzipBindingTest, DefaultZipHandsExactlyFivePropertiesInOrder) {
    auto handler = MakeCom<RecordingHandler>();
    ApplyArchiveProperties(zip, static_cast<IOutArchive*>(handler.Get()));
    EXPECT_EQ(handler->calls, 1);
    EXPECT_EQ(handler->properties,
              (std::vector<RecordedProperty>{{L"M", VT_BSTR, std::wstring(L"Deflate")},
                                             {L"X", VT_UI4, 7u},
                                             {L"EM", VT_BSTR, std::wstring(L"ZIPCRYPTO")},
                                             {L"PASS", VT_UI4, 3u},
                                             {L"A", VT_UI4, 1u}}));
}

TEST_F(SevenzipBindingTest, ThreadsComeFirstAndBZip2AddsItsDictionary) {
    zip.SetNumberOfThreads(4);
    zip.SetCompressionMethod(TCompressionMethod::BZip2);
    zip.SetEncryptionMethod(TEncryptionMethod::None);
    auto handler = MakeCom<RecordingHandler>();
    ApplyArchiveProperties(zip, static_cast<IOutArchive*>(handler.Get()));
    EXPECT_EQ(handler->properties,
              (std::vector<RecordedProperty>{{L"MT", VT_UI4, 4u},
                                             {L"M", VT_BSTR, std::wstring(L"BZip2")},
                                             {L"X", VT_UI4, 7u},
                                             {L"D", VT_BSTR, std::wstring(L"900000B")},
                                             {L"PASS", VT_UI4, 3u},
                                             {L"A", VT_UI4, 1u}}));
}

TEST_F(SevenzipBindingTest, HandlerWithoutPropertiesGetsNoCallAndRefusalIsRaised) {
    auto silent = MakeCom<RecordingHandler>(false);
    ApplyArchiveProperties(zip, static_cast<IOutArchive*>(silent.Get()));
    EXPECT_EQ(silent->calls, 0);

    auto refusing = MakeCom<RecordingHandler>();
    refusing->answer = E_INVALIDARG;
    try {
        ApplyArchiveProperties(zip, static_cast<IOutArchive*>(refusing.Get()));
        FAIL();
    } catch (const ESystemError& error) {
        EXPECT_EQ(error.ErrorCode, E_INVALIDARG);
        EXPECT_STREQ(error.what(), "The parameter is incorrect");
    }
}

class UpdateCallbackTest : public SevenzipBindingTest {
protected:
    UpdateCallbackTest() {
        scratch.File("F/1.mp3", "12345");
        zip.AddDirectory(L"F", scratch / "F", true, true);
        callback = MakeCom<TSevenzipUpdateCallback>(zip);
    }

    PROPVARIANT Property(std::uint32_t index, PROPID id) {
        PROPVARIANT value{};
        EXPECT_EQ(callback->GetProperty(index, id, &value), S_OK);
        return value;
    }

    ComPtr<TSevenzipUpdateCallback> callback;
};

TEST_F(UpdateCallbackTest, AnswersItemInfoAndProperties) {
    for (std::uint32_t index : {0u, 1u}) {
        std::int32_t newData = -5, newProps = -5;
        std::uint32_t indexInArchive = 5;
        EXPECT_EQ(callback->GetUpdateItemInfo(index, &newData, &newProps, &indexInArchive), S_OK);
        EXPECT_EQ(newData, 1);
        EXPECT_EQ(newProps, 1);
        EXPECT_EQ(indexInArchive, 0xFFFFFFFFu);
    }
    EXPECT_EQ(callback->GetUpdateItemInfo(1, nullptr, nullptr, nullptr), S_OK);

    PROPVARIANT path = Property(0, kpidPath);
    ASSERT_EQ(path.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(path.bstrVal), L"F/");
    FreeLibraryString(path.bstrVal);

    EXPECT_EQ(Property(0, kpidIsDir).boolVal, -1);
    EXPECT_EQ(Property(1, kpidIsDir).boolVal, 0);
    EXPECT_EQ(Property(0, kpidSize).uhVal, 0u);
    const PROPVARIANT size = Property(1, kpidSize);
    EXPECT_EQ(size.vt, VT_UI8);
    EXPECT_EQ(size.uhVal, 5u);
    EXPECT_EQ(Property(1, kpidAttrib).ulVal, zip.Item(1).Attributes());
    const PROPVARIANT written = Property(1, kpidMTime);
    EXPECT_EQ(written.vt, VT_FILETIME);
    EXPECT_EQ((std::uint64_t{written.filetime.dwHighDateTime} << 32) |
                  written.filetime.dwLowDateTime,
              zip.Item(1).LastWriteTime());
    EXPECT_EQ(Property(1, kpidNoProperty).vt, VT_NULL);
    EXPECT_EQ(Property(1, kpidSolid).boolVal, -1);
    EXPECT_EQ(Property(1, kpidIsAnti).boolVal, 0);
    EXPECT_EQ(Property(1, kpidTimeType).vt, VT_UI4);
    EXPECT_EQ(Property(1, kpidMethod).vt, VT_EMPTY);

    PROPVARIANT outside{};
    EXPECT_EQ(callback->GetProperty(2, kpidPath, &outside), E_UNEXPECTED);
}

TEST_F(UpdateCallbackTest, PasswordVolumesProgressAndCancel) {
    std::int32_t defined = 7;
    BSTR password = nullptr;
    EXPECT_EQ(callback->CryptoGetTextPassword2(&defined, &password), S_OK);
    EXPECT_EQ(defined, 0);
    ASSERT_NE(password, nullptr);
    EXPECT_EQ(std::wstring(password), L"");
    FreeLibraryString(password);

    std::uint64_t volumeSize = 99;
    EXPECT_EQ(callback->GetVolumeSize(0, &volumeSize), S_FALSE);
    EXPECT_EQ(volumeSize, 0u);
    ISequentialOutStream* volume = reinterpret_cast<ISequentialOutStream*>(1);
    EXPECT_EQ(static_cast<std::uint32_t>(callback->GetVolumeStream(0, &volume)), 0x80070078u);
    EXPECT_EQ(volume, nullptr);

    EXPECT_EQ(callback->SetTotal(1234), S_OK);
    EXPECT_EQ(zip.ProgressTotal, 1234u);
    EXPECT_EQ(callback->SetCompleted(nullptr), S_OK);
    zip.CancelRequested = true;
    EXPECT_EQ(callback->SetCompleted(nullptr), S_OK);
    const std::uint64_t done = 10;
    EXPECT_EQ(callback->SetCompleted(&done), E_ABORT);
    EXPECT_EQ(callback->SetTotal(1), E_ABORT);
    EXPECT_EQ(callback->SetRatioInfo(nullptr, nullptr), E_ABORT);
}

TEST_F(UpdateCallbackTest, StreamOpensTheFileOnFirstReadAndRecordsTheResult) {
    ISequentialInStream* stream = nullptr;
    ASSERT_EQ(callback->GetStream(1, &stream), S_OK);
    auto held = ComPtr<ISequentialInStream>::Adopt(stream);
    auto sized = held.Query<IStreamGetSize>(IID_IStreamGetSize);
    ASSERT_TRUE(sized);
    std::uint64_t size = 0;
    EXPECT_EQ(sized->GetSize(&size), S_OK);
    EXPECT_EQ(size, 5u);
    char buffer[16] = {};
    std::uint32_t got = 0;
    EXPECT_EQ(held->Read(buffer, sizeof buffer, &got), S_OK);
    EXPECT_EQ(std::string(buffer, got), "12345");
    EXPECT_EQ(zip.CurrentItem, 1);

    EXPECT_EQ(callback->SetOperationResult(0), S_OK);
    EXPECT_EQ(zip.Item(1).OperationResult, 1);
    EXPECT_EQ(callback->SetOperationResult(9), S_OK);
    EXPECT_EQ(zip.Item(1).OperationResult, 5);
}

TEST_F(UpdateCallbackTest, DeletedItemFileAnswersUnexpectedOnFirstUse) {
    std::filesystem::remove(scratch / "F/1.mp3");
    ISequentialInStream* stream = nullptr;
    ASSERT_EQ(callback->GetStream(1, &stream), S_OK);
    auto held = ComPtr<ISequentialInStream>::Adopt(stream);
    char buffer[4];
    std::uint32_t got = 7;
    EXPECT_EQ(held->Read(buffer, sizeof buffer, &got), E_UNEXPECTED);
    EXPECT_EQ(got, 0u);
    auto seekable = held.Query<IInStream>(IID_IInStream);
    EXPECT_EQ(seekable->Seek(0, 0, nullptr), E_UNEXPECTED);
}

TEST(ErrorToResult, EachKindOfFailure) {
    const auto resultOf = [](auto error) {
        return static_cast<std::uint32_t>(ErrorToResult(std::make_exception_ptr(error)));
    };
    EXPECT_EQ(resultOf(std::bad_alloc()), 0x8007000Eu);
    EXPECT_EQ(resultOf(ECompressionCancelled("User abort")), 0x80004004u);
    EXPECT_EQ(resultOf(ESystemError(ResultFromSystemError(120), "x")), 0x80070078u);
    // A file or stream error passes on the errno its failing call named, whatever its text says.
    EXPECT_EQ(resultOf(platform::FileError("Cannot open file \"x\". Permission denied",
                                           platform::CauseOfError(EACCES))),
              0x80070000u | EACCES);
    EXPECT_EQ(resultOf(EStreamError("Stream write error", platform::CauseOfError(ENOSPC))),
              0x80070000u | ENOSPC);
    EXPECT_EQ(resultOf(platform::FileError("Cannot open file \"x\". Permission denied")),
              0x80004005u);
    EXPECT_EQ(resultOf(EStreamError("Error seeking stream")), 0x80004005u);
    EXPECT_EQ(resultOf(ECompressionError("Sevenzip: Stream object is not assigned")), 0x8000FFFFu);
    EXPECT_EQ(resultOf(std::runtime_error("other")), 0x8000FFFFu);
}

TEST(CheckResult, DescriptionThenSystemTextThenCode) {
    EXPECT_NO_THROW(CheckResult(S_OK));
    EXPECT_NO_THROW(CheckResult(S_FALSE));
    const auto messageOf = [](HRESULT result, TLibraryErrorRecord* record = nullptr) {
        try {
            CheckResult(result, record);
        } catch (const ESystemError& error) {
            EXPECT_EQ(error.ErrorCode, result);
            return std::string(error.what());
        }
        return std::string("no error");
    };
    TLibraryErrorRecord record;
    record.Note("Cannot create file \"x\". No space left on device.  ", {});
    record.Note("a later failure", {});
    EXPECT_EQ(messageOf(E_FAIL, &record), "Cannot create file \"x\". No space left on device");
    EXPECT_EQ(messageOf(E_FAIL, &record), "Unspecified error");
    EXPECT_EQ(messageOf(ResultFromSystemError(ENOSPC)), "No space left on device");
    EXPECT_EQ(messageOf(static_cast<HRESULT>(0x8123ABCD)), "OLE error 8123ABCD");
}

// The library may shorten what it wrote; the cut on release must not bring the cut-off bytes back.
TEST(OutStreamAdapter, EndsWhereTheLibraryLeftTheStream) {
    TemporaryFolder scratch;
    const std::string path = scratch.File("old.zip", std::string(20, 'x'));
    {
        auto output = MakeCom<TSevenzipOutStream>(
            std::make_unique<TFileStream>(path, platform::FileAccess::Write,
                                          platform::FileShare::None,
                                          platform::FileDisposition::OpenExisting),
            true);
        std::uint32_t written = 0;
        EXPECT_EQ(output->Write("0123456789", 10, &written), S_OK);
        EXPECT_EQ(output->SetSize(6), S_OK);
        std::uint64_t position = 0;
        EXPECT_EQ(output->Seek(0, 2, &position), S_OK);
        EXPECT_EQ(output->Write("ab", 2, &written), S_OK);
    }
    EXPECT_EQ(testsupport::ReadWholeFile(path), "012345ab");
}

TEST(DynamicSplitStream, OneUnlimitedVolumeSeeksWithinAndRefusesBeforeTheStart) {
    TemporaryFolder scratch;
    TZipCompressArchive zip(scratch / "v.zip");
    TDynamicSplitStream split([&](std::int32_t i) { return zip.VolumeStreamFor(i); },
                              [&](std::int32_t i) { return zip.VolumeMaxSizeFor(i); }, false);
    EXPECT_EQ(split.Write("0123456789", 10), 10u);
    EXPECT_EQ(split.Size(), 10);
    EXPECT_EQ(zip.CurrentVolume, 1); // the size probe asked for a second volume
    EXPECT_EQ(split.Seek(0, 2), 10);
    EXPECT_EQ(split.Seek(-20, 1), 10);
    EXPECT_EQ(split.Seek(4, 0), 4);
    EXPECT_EQ(split.Write("ab", 2), 2u);
    split.SetSize(8);
    EXPECT_EQ(split.Position(), 6);
    EXPECT_EQ(split.Size(), 8);
    EXPECT_THROW(split.Seek(0, 3), EStreamError);
    EXPECT_EQ(testsupport::ReadWholeFile(scratch / "v.zip"), "0123ab67");
}

TEST(DynamicSplitStream, LimitedVolumesFromANameMask) {
    TemporaryFolder scratch;
    TZipCompressArchive zip(scratch / "part.%.3d", 4, true);
    TDynamicSplitStream split([&](std::int32_t i) { return zip.VolumeStreamFor(i); },
                              [&](std::int32_t i) { return zip.VolumeMaxSizeFor(i); }, false);
    EXPECT_EQ(split.Write("abcdefghij", 10), 10u);
    EXPECT_EQ(zip.VolumeCount(), 3u);
    EXPECT_EQ(split.Seek(1, 0), 1);
    char buffer[16] = {};
    EXPECT_EQ(split.Read(buffer, sizeof buffer), 9u);
    EXPECT_EQ(std::string(buffer, 9), "bcdefghij");
    EXPECT_EQ(testsupport::ReadWholeFile(scratch / "part.001"), "abcd");
    EXPECT_EQ(testsupport::ReadWholeFile(scratch / "part.003"), "ij");
}

} // namespace
} // namespace archive
