// The file stream with its create and sharing modes, the file output's names and its own stream,
// the tag containers and the UTF-16 copies of names.
#include "audio/tests/GuiPump.h"
#include "audio/tests/TestChain.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>

namespace audio::test {
namespace {

namespace fs = std::filesystem;

using testsupport::ReadWholeFile;
using testsupport::TemporaryFolder;

void WriteAll(const std::string& Path, const std::string& Content) {
    std::ofstream(Path, std::ios::binary) << Content;
}

constexpr std::uint16_t ReadShareNone = 0x00;
constexpr std::uint16_t ReadShareRead = 0x20;
constexpr std::uint16_t ReadWriteShareAll = 0x42;

TEST(AudioFileStream, CreateReplacesTheFileAndKeepsOthersOut) {
    TemporaryFolder folder;
    const std::string path = folder / "1.mp3";
    WriteAll(path, "an older recording");
    {
        TAudioFileStream stream(Utf8ToUtf16(path), TAudioFileStream::fmCreate, 0);
        EXPECT_EQ(stream.Size(), 0);
        EXPECT_EQ(stream.Write("ID3", 3), 3u);
        try {
            TAudioFileStream other(Utf8ToUtf16(path), ReadWriteShareAll, 0);
            FAIL() << "a file being written is not shared";
        } catch (const EAudioException& error) {
            EXPECT_NE(std::string(error.what()).find(platform::SharingViolationText),
                      std::string::npos)
                << error.what();
        }
        EXPECT_EQ(stream.Seek(0, 0), 0);
        char back[3] = {};
        EXPECT_EQ(stream.Read(back, 3), 3u);
        EXPECT_EQ(std::string(back, 3), "ID3");
    }
    EXPECT_EQ(ReadWholeFile(path), "ID3");
    EXPECT_NO_THROW(TAudioFileStream(Utf8ToUtf16(path), ReadShareNone, 0));
}

TEST(AudioFileStream, OpenModesShareAsAsked) {
    TemporaryFolder folder;
    const std::string path = folder / "report.csv";
    WriteAll(path, "data");
    TAudioFileStream reader(Utf8ToUtf16(path), ReadShareRead, 0);
    EXPECT_NO_THROW(TAudioFileStream(Utf8ToUtf16(path), ReadShareRead, 0));
    EXPECT_THROW(TAudioFileStream(Utf8ToUtf16(path), ReadShareNone, 0), EAudioException);
}

TEST(AudioFileStream, MissingFileOrFolderGivesTheSystemText) {
    TemporaryFolder folder;
    for (std::uint16_t mode : {ReadShareNone, TAudioFileStream::fmCreate}) {
        try {
            TAudioFileStream stream(Utf8ToUtf16(folder / "missing/1.mp3"), mode, 0);
            FAIL();
        } catch (const EAudioException& error) {
            EXPECT_NE(std::string(error.what()).find(platform::SystemErrorText(ENOENT)),
                      std::string::npos)
                << error.what();
        }
    }
}

// Writes what it reads into its file, the way a file output does.
class TTestFileOut : public TAudioTaggedFileOut {
public:
    ~TTestFileOut() override { Stop(false); }
    std::atomic<bool> LockedDuringPass{false};

protected:
    void BeginOutput() override {
        if (!StreamAssigned())
            CreateFileStream();
        Input()->Open();
    }
    bool OutputBlock(bool Abort) override {
        if (Abort)
            return false;
        // Nobody else may open the file while it is written.
        try {
            TAudioFileStream other(WideName(), 0x40, 0);
        } catch (const EAudioException&) {
            LockedDuringPass = true;
        }
        char buffer[300];
        bool ended = false;
        const std::uint32_t got = Input()->ReadInto(buffer, sizeof buffer, ended);
        if (Stream()->Write(buffer, got) != got)
            throw EAudioException("short write");
        return got > 0 && !ended;
    }
    void EndOutput() override {
        FreeFileStream();
        Input()->Close();
    }
};

TEST(AudioFileOut, PassWritesTheWholeInputIntoANewExclusiveFile) {
    platform::SetGuiThread();
    TemporaryFolder folder;
    auto source = MakeComponent<TMemorySource>();
    source->Data.resize(10000);
    std::iota(source->Data.begin(), source->Data.end(), std::uint8_t{7});
    source->BlockLimit = 1000;
    auto output = MakeComponent<TTestFileOut>();
    output->SetInput(source.get());
    output->SetShareMode(0x40); // has no effect: the file is always created exclusively
    const std::string path = folder / "Собеседование 1.mp3";
    WriteAll(path, std::string(20000, 'x'));
    output->SetFileName(path);
    EXPECT_EQ(output->FileName(), path);
    EXPECT_EQ(output->WideName(), Utf8ToUtf16(path));

    std::atomic<bool> done{false};
    output->OnSyncDone = [&](TComponent*) { done = true; };
    output->Run();
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
    EXPECT_EQ(output->ExceptionText(), "");
    EXPECT_TRUE(output->LockedDuringPass);
    EXPECT_EQ(ReadWholeFile(path), std::string(source->Data.begin(), source->Data.end()));
    EXPECT_EQ(output->Stream(), nullptr);
}

TEST(AudioFileOut, FileThatCannotBeCreatedFailsThePass) {
    platform::SetGuiThread();
    TemporaryFolder folder;
    auto source = MakeComponent<TMemorySource>();
    auto output = MakeComponent<TTestFileOut>();
    output->SetInput(source.get());
    output->SetFileName(folder / "no such folder/1.mp3");
    std::atomic<bool> done{false};
    output->OnSyncDone = [&](TComponent*) { done = true; };
    output->Run();
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
    EXPECT_NE(output->ExceptionText().find(platform::SystemErrorText(ENOENT)), std::string::npos)
        << output->ExceptionText();
    EXPECT_EQ(source->Opens, 0) << "the chain is not opened when the file cannot be created";
}

TEST(AudioFileOut, WriteModeIsAlwaysRewrite) {
    auto output = MakeComponent<TTestFileOut>();
    output->SetWriteMode(1);
    EXPECT_EQ(output->WriteMode(), 0);
}

TEST(AudioTags, ContainersStartEmptyAndAssignmentCopiesIntoTheOwnedOne) {
    auto output = MakeComponent<TTestFileOut>();
    TId3v1Tags& owned = output->Id3v1Tags();
    EXPECT_EQ(owned.Title(), "");
    EXPECT_EQ(owned.Year(), 0);
    EXPECT_EQ(output->Id3v2Tags().Title(), u"");
    EXPECT_EQ(output->Id3v2Tags().Year(), "");
    EXPECT_TRUE(output->APEv2Tags().Empty());

    TId3v1Tags given;
    given.SetTitle("Ответ");
    given.SetYear(2019);
    output->SetId3v1Tags(given);
    EXPECT_EQ(&output->Id3v1Tags(), &owned);
    EXPECT_EQ(owned.Title(), "Ответ");
    EXPECT_EQ(owned.Year(), 2019);
    given.SetTitle("changed later");
    EXPECT_EQ(owned.Title(), "Ответ");

    TId3v2Tags wide;
    wide.SetArtist(u"Участник");
    output->SetId3v2Tags(wide);
    EXPECT_EQ(output->Id3v2Tags().Artist(), u"Участник");
    EXPECT_EQ(output->Id3v2Tags().Value("Artist"), "Участник");
}

} // namespace
} // namespace audio::test
