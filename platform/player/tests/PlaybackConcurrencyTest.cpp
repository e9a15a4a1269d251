#include "platform/Playback.h"

#include "platform/player/tests/EndRecorder.h"
#include "platform/player/tests/TestAudioFiles.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

namespace platform {
namespace {

using namespace std::chrono_literals;
using player::testing::EndRecorder;
using player::testing::TestAudioFiles;

class PlaybackConcurrencyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        files = std::make_unique<TestAudioFiles>();
        short_ = files->Mp3("short.mp3", 0.2);
    }
    static void TearDownTestSuite() { files.reset(); }
    void SetUp() override {
        ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr))
            << "error " << BASS_ErrorGetCode() << " (is PULSE_SERVER set to a running server?)";
    }
    void TearDown() override { BASS_Free(); }

    static HSTREAM Open() { return BASS_StreamCreateFile(0, short_.c_str(), 0, 0, 0); }

    static inline std::unique_ptr<TestAudioFiles> files;
    static inline std::string short_;
};

// Every way a playback can end, from several threads at once on one file: freed at once, freed by
// its owner after the END, freed inside the END callback.
TEST_F(PlaybackConcurrencyTest, ThreadsPlayAndReleaseStreamsAtTheSameTime) {
    enum Ending { FreedAtOnce, FreedAfterEnd, FreedInCallback };
    constexpr int threadCount = 3;
    constexpr int roundsPerThread = 6;
    std::atomic<int> failures = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < roundsPerThread; ++round) {
                const auto ending = static_cast<Ending>((t + round) % 3);
                auto ends = std::make_unique<EndRecorder>();
                std::atomic<BOOL> freedInside = 0;
                if (ending == FreedInCallback)
                    ends->OnCall(
                        [&](HSYNC, DWORD channel) { freedInside = BASS_StreamFree(channel); });
                const HSTREAM stream = Open();
                const bool started =
                    stream && BASS_ChannelPlay(stream, 0) &&
                    BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, ends.get());
                if (!started) {
                    ++failures;
                    continue;
                }
                bool ok = true;
                if (ending == FreedAtOnce) {
                    ok = BASS_StreamFree(stream) && !ends->WaitFor(1, 50ms);
                } else {
                    ok = ends->WaitFor(1) && !ends->WaitFor(2, 100ms);
                    ok = ok && (ending == FreedAfterEnd ? BASS_StreamFree(stream) == 1
                                                        : freedInside == 1);
                }
                if (!ok)
                    ++failures;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, 0);
}

// Callers racing BASS_Free either finish their call or fail it cleanly; nothing waits for ever.
TEST_F(PlaybackConcurrencyTest, FreeWhileOtherThreadsAreCallingIn) {
    std::atomic<bool> stop = false;
    std::atomic<int> unexpectedErrors = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&] {
            EndRecorder ends;
            while (!stop) {
                const HSTREAM stream = Open();
                BASS_ChannelPlay(stream, 0);
                BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, EndRecorder::Proc, &ends);
                if (!BASS_StreamFree(stream)) {
                    const int error = BASS_ErrorGetCode();
                    if (error != BASS_ERROR_INIT && error != BASS_ERROR_HANDLE)
                        ++unexpectedErrors;
                }
            }
        });
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(BASS_Free());
    std::this_thread::sleep_for(100ms);
    stop = true;
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(unexpectedErrors, 0);
}

} // namespace
} // namespace platform
