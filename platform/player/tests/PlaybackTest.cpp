#include "platform/Playback.h"

#include "platform/FileStream.h"
#include "platform/GuiHandover.h"
#include "platform/player/tests/EndRecorder.h"
#include "platform/player/tests/TestAudioFiles.h"
#include "testsupport/OwnSoundServer.h"
#include "testsupport/ScopedEnvironmentVariable.h"
#include "testsupport/TestSoundServer.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>

#include <memory>

namespace platform {
namespace {

using namespace std::chrono_literals;
using player::testing::EndRecorder;
using player::testing::TestAudioFiles;
using testsupport::ScopedEnvironmentVariable;

HSTREAM Open(const std::string& path) {
    return BASS_StreamCreateFile(0, path.c_str(), 0, 0, 0);
}

FileHandle OpenLikeARecording(const std::string& path) {
    return FileHandle::Open(path, FileAccess::Write, FileShare::None,
                            FileDisposition::OpenExisting);
}

class PlaybackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        files = std::make_unique<TestAudioFiles>();
        oneSecond = files->Mp3("one.mp3", 1.0);
        short_ = files->Mp3("short.mp3", 0.3);
    }
    static void TearDownTestSuite() { files.reset(); }

    void SetUp() override {
        REQUIRE_TEST_SOUND_SERVER();
        ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr))
            << "error " << BASS_ErrorGetCode();
    }
    void TearDown() override { BASS_Free(); }

    static inline std::unique_ptr<TestAudioFiles> files;
    static inline std::string oneSecond;
    static inline std::string short_;
};

TEST_F(PlaybackTest, EndArrivesOnceOnThePlaybackThreadAfterTheFileHasPlayedOut) {
    EndRecorder ends;
    const HSTREAM stream = Open(oneSecond);
    ASSERT_NE(stream, 0u) << "error " << BASS_ErrorGetCode();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    const HSYNC sync = BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &ends);
    ASSERT_NE(sync, 0u);

    ASSERT_TRUE(ends.WaitFor(1));
    EXPECT_FALSE(ends.WaitFor(2, 700ms)) << "called more than once";
    const auto call = ends.Calls().front();
    EXPECT_EQ(call.Sync, sync);
    EXPECT_EQ(call.Channel, stream);
    EXPECT_EQ(call.Data, 0u);
    EXPECT_NE(call.Thread, std::this_thread::get_id());
    // Played, not merely decoded: the server's sink consumes in real time.
    EXPECT_GE(call.When - started, 900ms);
    EXPECT_TRUE(BASS_StreamFree(stream));
}

TEST_F(PlaybackTest, ARemovedSyncIsNeverCalled) {
    EndRecorder removed;
    EndRecorder kept;
    const HSTREAM stream = Open(short_);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    const HSYNC gone = BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &removed);
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &kept), 0u);
    EXPECT_TRUE(BASS_ChannelRemoveSync(stream, gone));

    ASSERT_TRUE(kept.WaitFor(1));
    EXPECT_TRUE(removed.Calls().empty());
    EXPECT_FALSE(BASS_ChannelRemoveSync(stream, gone));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

// The station's own sequence: inside the END callback the sync is removed and the stream freed.
TEST_F(PlaybackTest, TheStreamIsFreedInsideItsOwnEndCallback) {
    EndRecorder ends;
    std::atomic<BOOL> removed = 0;
    std::atomic<BOOL> freed = 0;
    std::atomic<int> freeLibraryError = BASS_OK;
    ends.OnCall([&](HSYNC sync, DWORD channel) {
        removed = BASS_ChannelRemoveSync(channel, sync);
        freed = BASS_StreamFree(channel);
        // The library's own thread cannot wait for itself to end.
        if (!BASS_Free())
            freeLibraryError = BASS_ErrorGetCode();
    });
    const HSTREAM stream = Open(short_);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &ends), 0u);

    ASSERT_TRUE(ends.WaitFor(1));
    EXPECT_TRUE(removed);
    EXPECT_TRUE(freed);
    EXPECT_EQ(freeLibraryError, BASS_ERROR_NOTAVAIL);
    EXPECT_FALSE(BASS_StreamFree(stream));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_NO_THROW(OpenLikeARecording(short_)) << "the file is still held";
}

TEST_F(PlaybackTest, AFileThatARecordingHoldsIsRefusedAndAPlayingFileIsReleasedByTheFree) {
    {
        FileHandle recording = OpenLikeARecording(oneSecond);
        EXPECT_EQ(Open(oneSecond), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    }
    const HSTREAM stream = Open(oneSecond);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    // A new test recording must not replace the file under the playback...
    EXPECT_THROW(OpenLikeARecording(oneSecond), FileError);
    // ...and may start as soon as the playback is freed.
    ASSERT_TRUE(BASS_StreamFree(stream));
    EXPECT_NO_THROW(OpenLikeARecording(oneSecond));
}

TEST_F(PlaybackTest, WhatCannotBePlayedGivesNoStream) {
    const std::string wav = files->Wav("tone.wav", 0.3);
    struct Case {
        const char* what;
        std::string path;
        int code;
    } const cases[] = {
        {"missing file", files->Path("missing.mp3"), BASS_ERROR_FILEOPEN},
        {"wave file", wav, BASS_ERROR_FILEFORM},
        {"empty file", files->Write("empty.mp3", {}), BASS_ERROR_FILEFORM},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        EXPECT_EQ(Open(each.path), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), each.code);
    }
    // The station goes on with handle 0 without looking; every call fails cleanly.
    EXPECT_FALSE(BASS_ChannelPlay(0, 0));
    EXPECT_EQ(BASS_ChannelSetSync(0, BASS_SYNC_END, 0, EndRecorder::Proc, nullptr), 0u);
    EXPECT_FALSE(BASS_ChannelRemoveSync(0, 0));
    EXPECT_FALSE(BASS_StreamFree(0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(PlaybackTest, APlayedOutStreamPlaysAgainOnlyFromItsBeginning) {
    EndRecorder ends;
    const HSTREAM stream = Open(short_);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &ends), 0u);
    ASSERT_TRUE(ends.WaitFor(1));

    EXPECT_FALSE(BASS_ChannelPlay(stream, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ENDED);
    // A sync set after the end is not left waiting for an end that has passed.
    EndRecorder late;
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &late), 0u);
    ASSERT_TRUE(late.WaitFor(1));

    ASSERT_TRUE(BASS_ChannelPlay(stream, 1));
    ASSERT_TRUE(ends.WaitFor(2));
    ASSERT_TRUE(late.WaitFor(2));
    EXPECT_EQ(ends.Calls().size(), 2u);
}

TEST_F(PlaybackTest, AOneTimeSyncIsCalledForTheFirstEndOnly) {
    EndRecorder once;
    EndRecorder always;
    const HSTREAM stream = Open(short_);
    ASSERT_NE(
        BASS_ChannelSetSync(stream, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, EndRecorder::Proc, &once),
        0u);
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &always), 0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    ASSERT_TRUE(always.WaitFor(1));
    ASSERT_TRUE(BASS_ChannelPlay(stream, 1));
    ASSERT_TRUE(always.WaitFor(2));
    EXPECT_EQ(once.Calls().size(), 1u);
}

TEST_F(PlaybackTest, AMemoryImagePlaysOut) {
    const std::vector<char> image = TestAudioFiles::Read(short_);
    EndRecorder ends;
    const HSTREAM stream = BASS_StreamCreateFile(1, image.data(), 0, image.size(), 0);
    ASSERT_NE(stream, 0u) << "error " << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &ends), 0u);
    EXPECT_TRUE(ends.WaitFor(1));
}

TEST_F(PlaybackTest, FreeReleasesTheStreamsStillAlive) {
    EndRecorder ends;
    const HSTREAM playing = Open(short_);
    const HSTREAM idle = Open(oneSecond);
    ASSERT_TRUE(BASS_ChannelPlay(playing, 0));
    ASSERT_NE(BASS_ChannelSetSync(playing, BASS_SYNC_END, 0, EndRecorder::Proc, &ends), 0u);

    ASSERT_TRUE(BASS_Free());
    EXPECT_NO_THROW(OpenLikeARecording(short_));
    EXPECT_NO_THROW(OpenLikeARecording(oneSecond));
    EXPECT_FALSE(ends.WaitFor(1, 800ms)) << "a freed stream's sync was called";
    EXPECT_FALSE(BASS_StreamFree(idle));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Free());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);

    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
}

// The station hands the END's work to the GUI thread and waits for it there; the GUI thread may be
// freeing the library at that very moment. Neither side may wait for the other for ever.
TEST_F(PlaybackTest, FreeOnTheGuiThreadWhileTheEndCallbackWaitsForIt) {
    SetGuiThread();
    EndRecorder ends;
    std::atomic<bool> waitingForGui = false;
    std::atomic<BOOL> freedInHandover = 1;
    ends.OnCall([&](HSYNC sync, DWORD channel) {
        waitingForGui = true;
        Synchronize([&] {
            BASS_ChannelRemoveSync(channel, sync);
            freedInHandover = BASS_StreamFree(channel);
        });
    });
    const HSTREAM stream = Open(short_);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &ends), 0u);
    while (!waitingForGui)
        std::this_thread::sleep_for(5ms);

    EXPECT_TRUE(BASS_Free());
    EXPECT_EQ(ends.Calls().size(), 1u);
    EXPECT_FALSE(freedInHandover) << "the library was already released";
}

// Any other thread blocks until the hand-over has run; that is the GUI thread's ordinary loop.
TEST_F(PlaybackTest, EndWorkHandedToTheGuiThreadReleasesThePlayback) {
    SetGuiThread();
    EndRecorder ends;
    std::atomic<BOOL> freed = 0;
    ends.OnCall([&](HSYNC sync, DWORD channel) {
        Synchronize([&] {
            EXPECT_TRUE(IsGuiThread());
            BASS_ChannelRemoveSync(channel, sync);
            freed = BASS_StreamFree(channel);
        });
    });
    const HSTREAM stream = Open(short_);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &ends), 0u);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (ends.Calls().empty() && std::chrono::steady_clock::now() < deadline) {
        CheckSynchronize();
        std::this_thread::sleep_for(2ms);
    }
    ASSERT_EQ(ends.Calls().size(), 1u);
    EXPECT_TRUE(freed);
}

TEST(PlaybackWithoutServerTest, InitReportsTheFailureAndLaterCallsFailCleanly) {
    TestAudioFiles files;
    const std::string mp3 = files.Mp3("one.mp3", 0.2);
    {
        ScopedEnvironmentVariable server("PULSE_SERVER", "unix:" + files.Path("no-server"));
        EXPECT_FALSE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
    }
    EXPECT_EQ(Open(mp3), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_ChannelPlay(1, 0));
    EXPECT_EQ(BASS_ChannelSetSync(1, BASS_SYNC_END, 0, EndRecorder::Proc, nullptr), 0u);
    EXPECT_FALSE(BASS_ChannelRemoveSync(1, 1));
    EXPECT_FALSE(BASS_StreamFree(1));
    EXPECT_FALSE(BASS_Free());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST(PlaybackServerLossTest, APlaybackCutOffByTheServersEndEndsAndLaterPlaysFail) {
    TestAudioFiles files;
    const std::string mp3 = files.Mp3("long.mp3", 5.0);
    testsupport::OwnSoundServer server;
    ASSERT_TRUE(server.Started()) << "the project's script could not start a sound server";
    EndRecorder ends;
    {
        ScopedEnvironmentVariable address("PULSE_SERVER", server.Address());
        ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr))
            << "error " << BASS_ErrorGetCode();
    }
    const HSTREAM stream = Open(mp3);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    ASSERT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &ends), 0u);
    std::this_thread::sleep_for(300ms);
    const auto stopped = std::chrono::steady_clock::now();
    server.Stop();

    ASSERT_TRUE(ends.WaitFor(1));
    EXPECT_LT(ends.Calls().front().When - stopped, 4s) << "waited for the file's end instead";
    EXPECT_FALSE(BASS_ChannelPlay(stream, 1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
    EXPECT_TRUE(BASS_StreamFree(stream));
    EXPECT_TRUE(BASS_Free());
}

} // namespace
} // namespace platform
