#include "platform/SoundSystem.h"
#include "platform/pulse/tests/PulseTestSupport.h"

#include <chrono>
#include <thread>

namespace {

using namespace platform;
using namespace std::chrono_literals;

TEST(PulsePlayback, LoopingRingPlaysFromItsCursorAndStops) {
    REQUIRE_TEST_SOUND_SERVER();
    std::unique_ptr<PlaybackDevice> device;
    ASSERT_EQ(DefaultSoundSystem().CreatePlaybackDevice(DefaultSoundDevice, &device), DS_OK);
    const WaveFormat format = PcmFormat(16, 1, 44100);
    std::unique_ptr<PrimaryPlaybackBuffer> primary;
    ASSERT_EQ(device->CreatePrimaryBuffer(&primary), DS_OK);
    EXPECT_EQ(primary->SetFormat(format), DS_OK);
    EXPECT_EQ(primary->SetFormat(PcmFormat(12, 1, 44100)), DSERR_BADFORMAT);

    std::unique_ptr<PlaybackBuffer> buffer;
    ASSERT_EQ(device->CreateSecondaryBuffer(format, 8820, &buffer), DS_OK);
    LockedRegion region;
    ASSERT_EQ(buffer->Lock(0, 8820, &region), DS_OK);
    std::fill(region.part1, region.part1 + region.bytes1, 0);
    ASSERT_EQ(buffer->Unlock(region), DS_OK);
    ASSERT_EQ(buffer->SetCurrentPosition(0), DS_OK);
    EXPECT_EQ(buffer->SetCurrentPosition(8820), DSERR_INVALIDPARAM);

    ASSERT_EQ(buffer->Play(true), DS_OK);
    // The play cursor goes round the ring (the test server's sink consumes in bursts, so allow it
    // a few seconds).
    std::uint32_t previous = 0, travelled = 0;
    for (int i = 0; i < 250 && travelled < 2 * 8820; ++i) {
        std::this_thread::sleep_for(20ms);
        std::uint32_t play = 0, write = 0;
        ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
        EXPECT_LT(play, 8820u);
        travelled += (play + 8820 - previous) % 8820;
        previous = play;
    }
    EXPECT_GE(travelled, 2 * 8820u);

    ASSERT_EQ(buffer->Stop(), DS_OK);
    std::this_thread::sleep_for(100ms);
    std::uint32_t stopped = 0, again = 0;
    buffer->GetCurrentPosition(&stopped, nullptr);
    std::this_thread::sleep_for(100ms);
    buffer->GetCurrentPosition(&again, nullptr);
    EXPECT_EQ(stopped, again);
}

TEST(PulsePlayback, OnlyTheDefaultDevicePlays) {
    REQUIRE_TEST_SOUND_SERVER();
    std::unique_ptr<PlaybackDevice> device;
    SoundDeviceId source{};
    source[0] = 1;
    EXPECT_EQ(DefaultSoundSystem().CreatePlaybackDevice(source, &device), DSERR_NODRIVER);
}

} // namespace
