#include "platform/SoundSystem.h"
#include "platform/pulse/tests/PulseTestSupport.h"

#include <chrono>
#include <thread>

namespace {

using namespace platform;
using namespace std::chrono_literals;

// A recording must fail loudly, not stand still, when the sound server goes away under it.
TEST(PulseServerLoss, CapturePositionFailsOnceTheServerIsGone) {
    testsupport::OwnSoundServer server;
    if (!server.Started())
        GTEST_SKIP() << STATION_NO_TEST_SOUND_SERVER ": no private sound server could be started";
    testsupport::ScopedEnvironmentVariable use("PULSE_SERVER", server.Address());

    std::unique_ptr<CaptureDevice> device;
    ASSERT_EQ(DefaultSoundSystem().CreateCaptureDevice(DefaultSoundDevice, &device), DS_OK);
    std::unique_ptr<CaptureBuffer> buffer;
    ASSERT_EQ(device->CreateCaptureBuffer(PcmFormat(16, 1, 44100), 8820, &buffer), DS_OK);
    ASSERT_EQ(buffer->Start(true), DS_OK);
    std::uint32_t position = 0;
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(buffer->GetCurrentPosition(&position, nullptr), DS_OK);

    server.Stop();
    SoundResult result = DS_OK;
    for (int i = 0; i < 100 && !Failed(result); ++i) {
        std::this_thread::sleep_for(50ms);
        result = buffer->GetCurrentPosition(&position, nullptr);
    }
    EXPECT_EQ(result, DSERR_NODRIVER);
    EXPECT_TRUE(Failed(buffer->Start(true)));
}

// A stopped (corked) stream lets the server suspend its idle source, and starting resumes it: that
// is no loss. A suspension under the running stream is, as is a move to another source.
TEST(PulseServerLoss, OnlyASourceTakenFromTheRunningStreamIsALostDevice) {
    testsupport::OwnSoundServer server;
    if (!server.Started())
        GTEST_SKIP() << STATION_NO_TEST_SOUND_SERVER ": no private sound server could be started";
    testsupport::ScopedEnvironmentVariable use("PULSE_SERVER", server.Address());
    const auto pactl = [](const std::string& arguments) {
        return testsupport::OwnSoundServer::Run("pactl " + arguments);
    };
    const auto lostWithin = [](CaptureBuffer& buffer, std::chrono::milliseconds limit) {
        std::uint32_t position = 0;
        const auto end = std::chrono::steady_clock::now() + limit;
        SoundResult result = DS_OK;
        while (result == DS_OK && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(20ms);
            result = buffer.GetCurrentPosition(&position, nullptr);
        }
        return result;
    };
    ASSERT_TRUE(pactl("load-module module-sine-source source_name=other"));

    std::unique_ptr<CaptureDevice> device;
    ASSERT_EQ(DefaultSoundSystem().CreateCaptureDevice(DefaultSoundDevice, &device), DS_OK);
    for (const char* action :
         {"suspend-source sine 1", "move-source-output $(pactl list short source-outputs | cut -f1 "
                                   "| head -n1) other"}) {
        std::unique_ptr<CaptureBuffer> buffer;
        ASSERT_EQ(device->CreateCaptureBuffer(PcmFormat(16, 1, 44100), 8820, &buffer), DS_OK);
        ASSERT_TRUE(pactl("suspend-source sine 1"));
        ASSERT_TRUE(pactl("suspend-source sine 0"));
        ASSERT_EQ(buffer->Start(true), DS_OK);
        EXPECT_EQ(lostWithin(*buffer, 500ms), DS_OK) << action;

        ASSERT_TRUE(pactl(action)) << action;
        EXPECT_EQ(lostWithin(*buffer, 1000ms), AUDCLNT_E_DEVICE_INVALIDATED) << action;
        buffer.reset();
        ASSERT_TRUE(pactl("suspend-source sine 0"));
    }
}

} // namespace
