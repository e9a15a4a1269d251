#include "audio/AudioThread.h"
#include "audio/taglib.h"
#include "audio/tests/Mp3TestSupport.h"
#include "platform/lame_enc/tests/Mp3TestTools.h"
#include "testsupport/TemporaryFileSystem.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <mutex>
#include <sys/resource.h>
#include <thread>

namespace {

using audio::TMP3Out;

// What was recorded before the disk filled is kept as a valid MP3: frames only, the last one whole.
bool EndsOnAWholeFrame(const std::string& path) {
    const auto bytes = mp3test::ReadFileBytes(path);
    const auto scan = mp3test::ScanFrames(bytes);
    return !scan.frames.empty() && scan.endOffset == bytes.size();
}
using mp3test::OutputEvents;
using mp3test::TMemorySource;

constexpr int Rate = 44100;
constexpr int ThreeSeconds = 3 * Rate;

class Mp3OutputTest : public ::testing::Test {
protected:
    void Wire(std::vector<std::int16_t> samples, std::uint32_t channels = 1,
              std::uint32_t rate = Rate, bool endless = false) {
        source = audio::MakeComponent<TMemorySource>(std::move(samples), channels, rate, endless);
        output->SetInput(source.get());
    }

    // Runs in a child process; exits with 0 when the recording ended as it must.
    [[noreturn]] void RecordIntoFullFileSystem(const std::string& path, rlim_t fileSizeLimit) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Wire(mp3test::Sine(440, 0.5, Rate, ThreeSeconds));
        output->SetFileName(path);
        const int syncDoneBefore = events.SyncDone;
        const bool ended = mp3test::RunToEnd(*output);
        mp3test::PumpUntil([&] { return !events.Failures.empty(); }, 10);
        const bool ok = ended && events.Failures.size() == 1 &&
                        events.Failures[0] == "Error writing down mp3 file" &&
                        events.SyncDone == syncDoneBefore + 1 && source->Closes == 1 &&
                        !output->Busy() && EndsOnAWholeFrame(path) &&
                        std::filesystem::file_size(path) <= fileSizeLimit;
        std::fprintf(stderr, "%s: ended %d, failures %zu (%s), sync done %d, closes %d, size %ju\n",
                     ok ? "finished" : "not finished", ended, events.Failures.size(),
                     events.Failures.empty() ? "" : events.Failures.front().c_str(),
                     events.SyncDone.load(), source->Closes.load(),
                     static_cast<std::uintmax_t>(std::filesystem::file_size(path)));
        std::fflush(stderr);
        std::_Exit(ok ? 0 : 1);
    }

    testsupport::TemporaryFolder folder;
    audio::TComponentPtr<TMemorySource> source;
    audio::TComponentPtr<TMP3Out> output = audio::MakeComponent<TMP3Out>();
    OutputEvents events{*output};
};

TEST_F(Mp3OutputTest, ThreeSecondRecordingIsAValidProtectedMonoFile) {
    ASSERT_TRUE(audio::TagLibrary().Loaded());
    const auto samples = mp3test::Sine(440, 0.5, Rate, ThreeSeconds);
    Wire(samples);
    mp3test::UseExamSettings(*output);
    const std::string path = folder / "1.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));

    EXPECT_TRUE(events.Failures.empty()) << events.Failures.front();
    EXPECT_EQ(events.SyncDone, 1);
    EXPECT_TRUE(mp3test::PumpUntil([&] { return events.Done == 1; }));
    EXPECT_EQ(source->Opens, 1);
    EXPECT_EQ(source->Closes, 1);
    EXPECT_FALSE(output->Busy());

    // TagLib, handed empty fields, saves the file without any tag: it strips the empty ID3v1
    // block the recording ended with and adds no ID3v2 tag. What remains is frames only.
    const auto bytes = mp3test::ReadFileBytes(path);
    const auto scan = mp3test::ScanFrames(bytes);
    EXPECT_EQ(scan.endOffset, bytes.size());
    ASSERT_FALSE(scan.frames.empty());
    EXPECT_EQ(scan.frames.front().offset, 0u);
    for (const auto& frame : scan.frames) {
        ASSERT_EQ(frame.mpegVersion, 1);
        ASSERT_EQ(frame.layer, 3);
        ASSERT_EQ(frame.sampleRate, Rate);
        ASSERT_EQ(frame.channelMode, 3);
        ASSERT_EQ(frame.bitrateKbps, 128);
        ASSERT_TRUE(frame.crcProtected);
    }
    const auto decoded = mp3test::DecodeFile(path);
    EXPECT_EQ(decoded.channels, 1);
    // Three seconds within one frame, once the encoder's delay is set aside.
    EXPECT_NEAR(static_cast<double>(decoded.samples.size()) - mp3test::LameDelaySamples,
                ThreeSeconds, 1152);
    EXPECT_GT(mp3test::BestCorrelation(samples, decoded.samples, 1, ThreeSeconds - 4000, 3000),
              0.99);
}

// Keeps what is written to it and the size of every write.
class WriteCountingStream : public audio::TAudioStream {
public:
    std::size_t Write(const void* Buffer, std::size_t Count) override {
        const auto* from = static_cast<const std::uint8_t*>(Buffer);
        bytes.insert(bytes.end(), from, from + Count);
        writes.push_back(Count);
        return Count;
    }
    std::size_t Read(void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t, int) override { return std::int64_t(bytes.size()); }
    std::int64_t Size() const override { return std::int64_t(bytes.size()); }
    void SetSize(std::int64_t NewSize) override { bytes.resize(std::size_t(NewSize)); }

    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> writes;
};

// A write per encoded chunk (a few hundred bytes, 38 a second) is what a slow disk cannot keep up
// with: sound that arrives in real time goes out in half-second blocks, and the frames stay whole
// and in order.
TEST_F(Mp3OutputTest, TheSoundIsWrittenInHalfSecondBlocks) {
    Wire(mp3test::Sine(440, 0.5, Rate, ThreeSeconds));
    // About real time: a read takes one block of the source (8820 bytes, 100 ms of sound), as a
    // read of a live source takes what one wake found.
    source->BeforeRead = [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); };
    mp3test::UseExamSettings(*output);
    WriteCountingStream stream;
    output->SetStream(&stream);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    output->SetStream(nullptr);
    EXPECT_TRUE(events.Failures.empty()) << events.Failures.front();

    // Blocks of half a second (8000 bytes at 128 kbit/s), or of the read that completes one
    // (up to 100 ms more), then the encoder's tail and the ID3v1 block.
    ASSERT_GE(stream.writes.size(), 6u);
    ASSERT_LE(stream.writes.size(), 8u);
    for (std::size_t i = 0; i + 2 < stream.writes.size(); ++i) {
        EXPECT_GE(stream.writes[i], 8000u - 600u) << i;
        EXPECT_LE(stream.writes[i], 9600u + 600u) << i;
    }
    EXPECT_EQ(stream.writes.back(), 128u);
    const std::vector<std::uint8_t> frames(stream.bytes.begin(), stream.bytes.end() - 128);
    const auto scan = mp3test::ScanFrames(frames);
    EXPECT_EQ(scan.endOffset, frames.size());
    EXPECT_NEAR(double(scan.frames.size() * 1152), ThreeSeconds + mp3test::LameDelaySamples, 2304);
}

// A backlog (sound that waits, as after a slow write) is not written in more writes but in larger
// ones: never more than two writes start in a second.
TEST_F(Mp3OutputTest, ABacklogIsWrittenInLargerBlocksNotMoreWrites) {
    Wire(mp3test::Sine(440, 0.5, Rate, ThreeSeconds));
    mp3test::UseExamSettings(*output);
    WriteCountingStream stream;
    output->SetStream(&stream);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    output->SetStream(nullptr);
    // Three seconds at once: the frames in one write, then the ID3v1 block.
    ASSERT_EQ(stream.writes.size(), 2u);
    EXPECT_GT(stream.writes[0], 40000u);
}

TEST_F(Mp3OutputTest, CheckSettingsWriteUnprotectedFramesAndANewFileEachRun) {
    Wire(mp3test::Sine(440, 0.5, Rate, Rate));
    const std::string path = folder / "test01.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    const auto first = mp3test::ReadFileBytes(path);
    for (const auto& frame : mp3test::ScanFrames(first).frames)
        ASSERT_FALSE(frame.crcProtected);
    // A second run replaces the file rather than appending to it.
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    EXPECT_EQ(mp3test::ReadFileBytes(path), first);
    EXPECT_EQ(events.SyncDone, 2);
}

TEST_F(Mp3OutputTest, Id3v2FieldsAreWrittenThroughTagLib) {
    Wire(mp3test::Sine(440, 0.5, Rate, Rate));
    audio::TId3v2Tags tags;
    tags.SetTitle(u"Участник 1");
    tags.SetArtist(u"Artist");
    tags.SetYear("2024");
    tags.SetTrack("not a number");
    output->SetId3v2Tags(tags);
    audio::TId3v1Tags v1;
    v1.SetTitle("Title one");
    output->SetId3v1Tags(v1);
    const std::string path = folder / "tagged.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    ASSERT_TRUE(events.Failures.empty()) << events.Failures.front();

    const auto bytes = mp3test::ReadFileBytes(path);
    ASSERT_GT(bytes.size(), 128u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "ID3");
    // Text frames in UTF-16 (encoding byte 1, then a byte-order mark).
    const std::string text(bytes.begin(), bytes.begin() + 400);
    const auto title = text.find("TIT2");
    ASSERT_NE(title, std::string::npos);
    EXPECT_EQ(bytes[title + 10], 1);
    EXPECT_NE(text.find("TDRC"), std::string::npos);
    EXPECT_EQ(text.find("TRCK"), std::string::npos) << "a track that is no number is skipped";
    // TagLib keeps an ID3v1 block in step with the ID3v2 tag.
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");
    EXPECT_EQ(mp3test::DecodeFile(path).channels, 1);
}

// TagLib 1 (libtag_c.so.0) picks the file type by the name's extension and refuses this one: the
// failure is reported, and the output's own empty ID3v1 block stays. TagLib 2 falls back to the
// content and tags the MP3 it finds, dropping the ID3v1 block, which holds nothing here. Either way
// every frame of the recording is there and the chain closed.
TEST_F(Mp3OutputTest, AFileNamedUnlikeAnMp3IsRefusedByTagLib1AndTaggedByTagLib2Whole) {
    ASSERT_TRUE(audio::TagLibrary().Loaded());
    Wire(mp3test::Sine(440, 0.5, Rate, Rate));
    const std::string path = folder / "recording.dat";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    const bool tagLib1 = audio::TagLibrary().FileName() == "libtag_c.so.0";
    if (tagLib1) {
        ASSERT_TRUE(mp3test::PumpUntil([&] { return !events.Failures.empty(); }));
        EXPECT_EQ(events.Failures, std::vector<std::string>{"Failed to write tags"});
    } else {
        EXPECT_TRUE(events.Failures.empty()) << events.Failures.front();
    }
    EXPECT_EQ(source->Closes, 1);
    const auto bytes = mp3test::ReadFileBytes(path);
    ASSERT_GT(bytes.size(), 128u);
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125) == "TAG", tagLib1);
    const auto frames = mp3test::ScanFrames(bytes);
    EXPECT_EQ(frames.endOffset, bytes.size() - (tagLib1 ? 128 : 0));
    EXPECT_GE(frames.frames.size(), static_cast<std::size_t>(Rate / 1152));
}

TEST_F(Mp3OutputTest, StereoInputsEncodeWithTheirMode) {
    const auto stereo = mp3test::Sine(440, 0.5, Rate, Rate, 2);
    for (const auto mode : {audio::TMP3Mode::mmJointStereo, audio::TMP3Mode::mmMono}) {
        Wire(stereo, 2);
        output->SetMode(mode);
        const std::string path = folder / "stereo.mp3";
        output->SetFileName(path);
        ASSERT_TRUE(mp3test::RunToEnd(*output));
        ASSERT_TRUE(events.Failures.empty()) << events.Failures.front();
        const auto decoded = mp3test::DecodeFile(path);
        EXPECT_EQ(decoded.channels, mode == audio::TMP3Mode::mmMono ? 1 : 2);
        // A stereo source into a mono stream is mixed down, not read as mono at double speed.
        const int frames = static_cast<int>(decoded.samples.size()) / decoded.channels;
        EXPECT_NEAR(frames - mp3test::LameDelaySamples, Rate, 1152);
        const auto mono = mp3test::Sine(440, 0.5, Rate, Rate);
        EXPECT_GT(
            mp3test::BestCorrelation(mono, decoded.samples, decoded.channels, Rate - 4000, 3000),
            0.99);
        output->SetInput(nullptr);
    }
}

TEST_F(Mp3OutputTest, VariableRateFileGetsItsHeader) {
    Wire(mp3test::Sine(440, 0.5, Rate, 2 * Rate));
    output->SetEnableVBR(true);
    output->SetVBRQuality(audio::TMP3Quality::mp3ql2);
    const std::string path = folder / "vbr.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    const auto bytes = mp3test::ReadFileBytes(path);
    EXPECT_NE(std::string(bytes.begin(), bytes.begin() + 64).find("Xing"), std::string::npos);
    EXPECT_EQ(mp3test::DecodeFile(path).samples.size(), static_cast<std::size_t>(2 * Rate));
}

TEST_F(Mp3OutputTest, ShareModeDoesNotShareTheFileBeingWritten) {
    Wire(mp3test::Sine(440, 0.5, Rate, Rate), 1, Rate, true);
    output->SetShareMode(0x40);
    const std::string path = folder / "exclusive.mp3";
    output->SetFileName(path);
    std::atomic<bool> reading{false};
    source->BeforeRead = [&] { reading = true; };
    output->Run();
    ASSERT_TRUE(mp3test::PumpUntil([&] { return reading.load(); }));
    EXPECT_THROW(audio::TAudioFileStream(audio::Utf8ToUtf16(path), 0x20, 0),
                 audio::EAudioException);
    output->Stop(false);
    EXPECT_EQ(events.SyncDone, 1);
}

TEST_F(Mp3OutputTest, EmptyFileNameFailsBeforeTheChainOpens) {
    Wire(mp3test::Sine(440, 0.5, Rate, Rate));
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    ASSERT_TRUE(mp3test::PumpUntil([&] { return !events.Failures.empty(); }));
    EXPECT_EQ(events.Failures, std::vector<std::string>{"File name is not assigned."});
    EXPECT_EQ(output->ExceptionText(), "File name is not assigned.");
    EXPECT_EQ(source->Opens, 0);
    EXPECT_EQ(source->Closes, 0);
    EXPECT_EQ(events.SyncDone, 1);
}

TEST_F(Mp3OutputTest, MissingFolderFailsWithTheSystemsMessage) {
    Wire(mp3test::Sine(440, 0.5, Rate, Rate));
    const std::string path = folder / "missing/1.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    ASSERT_TRUE(mp3test::PumpUntil([&] { return !events.Failures.empty(); }));
    EXPECT_NE(events.Failures.front().find("No such file or directory"), std::string::npos)
        << events.Failures.front();
    EXPECT_EQ(source->Opens, 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(Mp3OutputTest, RefusedRecordLeavesAnEmptyClosedFile) {
    Wire(mp3test::Sine(440, 0.5, Rate, Rate), 1, /*rate=*/0);
    const std::string path = folder / "refused.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    ASSERT_TRUE(mp3test::PumpUntil([&] { return !events.Failures.empty(); }));
    EXPECT_EQ(events.Failures.front(), "LAME Error: 2");
    EXPECT_EQ(source->Opens, 1);
    EXPECT_EQ(source->Closes, 1);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_FALSE(output->Busy());
    // The file was closed: it can be created again at once.
    EXPECT_NO_THROW(audio::TAudioFileStream(audio::Utf8ToUtf16(path), 0xFFFF, 0));
    EXPECT_EQ(events.SyncDone, 1);
}

// The operator may start again the moment a refusal is shown. A start that comes while the refused
// pass is still ending is either refused as busy or runs; it never counts as started and then
// vanishes, which would leave the next synchronous stop waiting for ever.
TEST_F(Mp3OutputTest, StartWhileARefusedPassEndsIsNotLost) {
    Wire(mp3test::Sine(440, 0.5, Rate, Rate), 1, /*rate=*/0);
    output->SetFileName(folder / "refused.mp3");
    std::string secondRun;
    std::atomic<bool> secondRunAnswered{false};
    source->AfterClose = [&] {
        if (source->Closes != 1)
            return;
        // The refused pass is between closing its input and its end steps.
        std::thread operatorThread([&] {
            try {
                output->Run();
                secondRun = "started";
            } catch (const std::exception& error) {
                secondRun = error.what();
            }
            secondRunAnswered = true;
        });
        operatorThread.join();
    };
    output->Run();
    audio::TAudioThread& worker = output->Worker();
    const bool settled = mp3test::PumpUntil(
        [&] {
            return secondRunAnswered && worker.Idle() &&
                   worker.PassesFinished() == worker.PassesStarted();
        },
        10);
    if (!settled) {
        // A pass was counted as started but never ran: destroying the output would wait for it.
        (void)output.release();
        FAIL() << "second run: " << secondRun << "; passes started " << worker.PassesStarted()
               << ", finished " << worker.PassesFinished();
    }
    EXPECT_TRUE(secondRun == "Component is Busy" || secondRun == "started") << secondRun;
    output->Stop(false);
    EXPECT_FALSE(output->Busy());
}

TEST_F(Mp3OutputTest, StopRequestEndsTheRunWithoutAnotherChunk) {
    Wire(mp3test::Sine(440, 0.5, Rate, Rate), 1, Rate, true);
    mp3test::UseExamSettings(*output);
    const std::string path = folder / "stopped.mp3";
    output->SetFileName(path);
    // Hold the worker inside its tenth read while the stop is asked for.
    std::mutex gate;
    std::unique_lock held(gate);
    std::atomic<int> waiting{0};
    source->BeforeRead = [&] {
        if (source->Reads == 10) {
            waiting = 1;
            std::lock_guard pass(gate);
        }
    };
    output->Run();
    ASSERT_TRUE(mp3test::PumpUntil([&] { return waiting == 1; }));
    output->Stop(true);
    const int readsAtStop = source->Reads;
    held.unlock();
    ASSERT_TRUE(mp3test::PumpUntil([&] { return events.Done == 1; }));
    // The held read completes its chunk (one read fills a chunk here); no other read follows.
    EXPECT_EQ(source->Reads, readsAtStop);
    EXPECT_EQ(events.SyncDone, 1);
    EXPECT_EQ(source->Closes, 1);
    EXPECT_TRUE(events.Failures.empty());
    const auto decoded = mp3test::DecodeFile(path);
    EXPECT_GT(decoded.samples.size(), 0u);
}

// A full file system, imitated by a file size limit in a child process: the write that falls
// short ends the recording with its message, and the end of the pass still runs.
TEST_F(Mp3OutputTest, ShortWriteEndsTheRecordingAndTheFileIsStillFinished) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = folder / "full.mp3";
    EXPECT_EXIT(RecordIntoFullFileSystem(path, 20000), ::testing::ExitedWithCode(0), "finished");
}

// A real file system that fills while recording: the file is cut back to its last whole frame and
// the decoder reads it to its end.
TEST_F(Mp3OutputTest, AFullFileSystemLeavesTheRecordingOnItsLastWholeFrame) {
    testsupport::TemporaryFileSystem small("size=48k");
    if (!small.Mounted())
        GTEST_SKIP() << small.SkipReason();
    Wire(mp3test::Sine(440, 0.5, Rate, ThreeSeconds), 1, Rate, true);
    mp3test::UseExamSettings(*output);
    const std::string path = small.Folder() + "/1.mp3";
    output->SetFileName(path);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    EXPECT_TRUE(mp3test::PumpUntil([&] { return !events.Failures.empty(); }, 10));
    ASSERT_FALSE(events.Failures.empty());
    EXPECT_EQ(events.Failures.front(), "Error writing down mp3 file");
    EXPECT_TRUE(EndsOnAWholeFrame(path)) << std::filesystem::file_size(path) << " bytes";
    EXPECT_GT(mp3test::DecodeFile(path).samples.size(), 0u);
}

// The disk fills up just as the recording ends: the tail that did not fit is reported all the same.
TEST_F(Mp3OutputTest, ShortWriteAtTheEndIsReportedToo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Learn the size of the frames: TagLib leaves nothing else in a file without tags.
    Wire(mp3test::Sine(440, 0.5, Rate, ThreeSeconds));
    const std::string whole = folder / "whole.mp3";
    output->SetFileName(whole);
    ASSERT_TRUE(mp3test::RunToEnd(*output));
    const auto frameBytes = std::filesystem::file_size(whole);
    // Room for the frames and half the ID3v1 block.
    const std::string path = folder / "full.mp3";
    EXPECT_EXIT(RecordIntoFullFileSystem(path, frameBytes + 64), ::testing::ExitedWithCode(0),
                "finished");
}

} // namespace
