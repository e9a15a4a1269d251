#include "platform/SoundSystem.h"
#include "platform/pulse/tests/PulseTestSupport.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace platform;
using namespace std::chrono_literals;

struct ListedDevice {
    bool isDefault;
    SoundDeviceId id;
    std::string description;
};

std::vector<ListedDevice> ListDevices(SoundResult* result = nullptr) {
    std::vector<ListedDevice> devices;
    const SoundResult r = DefaultSoundSystem().EnumerateCaptureDevices(
        [&](const SoundDeviceId* id, const char* description) {
            devices.push_back({id == nullptr, id ? *id : SoundDeviceId{}, description});
            return true;
        });
    if (result)
        *result = r;
    return devices;
}

const WaveFormat CaptureFormat = PcmFormat(16, 1, 44100);
constexpr std::uint32_t Ring = 8820;

TEST(PulseCapture, ListsTheDefaultFirstThenEachRealSourceButNoMonitor) {
    REQUIRE_TEST_SOUND_SERVER();
    const auto devices = ListDevices();
    ASSERT_GE(devices.size(), 2u);
    EXPECT_TRUE(devices[0].isDefault);
    bool sawSine = false;
    for (std::size_t i = 1; i < devices.size(); ++i) {
        EXPECT_FALSE(devices[i].isDefault);
        EXPECT_NE(devices[i].id, DefaultSoundDevice);
        EXPECT_EQ(devices[i].description.find("Monitor"), std::string::npos)
            << devices[i].description;
        sawSine = sawSine || devices[i].description.find("ine") != std::string::npos;
    }
    EXPECT_TRUE(sawSine);
}

TEST(PulseCapture, EndsTheEnumerationWhenTheCallbackSaysSo) {
    REQUIRE_TEST_SOUND_SERVER();
    int calls = 0;
    DefaultSoundSystem().EnumerateCaptureDevices([&](const SoundDeviceId*, const char*) {
        ++calls;
        return false;
    });
    EXPECT_EQ(calls, 1);
}

// Polls like the capture source does and gathers what arrives after `readOffset`, which is moved on
// past it (a second call must not read the ring's older bytes again).
std::vector<std::int16_t> CaptureFor(CaptureBuffer& buffer, std::chrono::milliseconds duration,
                                     std::uint32_t& readOffset) {
    std::vector<std::int16_t> samples;
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(20ms);
        std::uint32_t position = 0;
        EXPECT_EQ(buffer.GetCurrentPosition(nullptr, &position), DS_OK);
        const std::uint32_t waiting = (position + Ring - readOffset) % Ring;
        if (waiting == 0)
            continue;
        LockedRegion region;
        EXPECT_EQ(buffer.Lock(readOffset, waiting, &region), DS_OK);
        for (auto [part, bytes] :
             {std::pair{region.part1, region.bytes1}, std::pair{region.part2, region.bytes2}}) {
            const auto* first = reinterpret_cast<const std::int16_t*>(part);
            samples.insert(samples.end(), first, first + bytes / 2);
        }
        EXPECT_EQ(buffer.Unlock(region), DS_OK);
        readOffset = (readOffset + waiting) % Ring;
    }
    return samples;
}

TEST(PulseCapture, DefaultDeviceDeliversTheSineInRealTime) {
    REQUIRE_TEST_SOUND_SERVER();
    std::unique_ptr<CaptureDevice> device;
    ASSERT_EQ(DefaultSoundSystem().CreateCaptureDevice(DefaultSoundDevice, &device), DS_OK);
    std::unique_ptr<CaptureBuffer> buffer;
    ASSERT_EQ(device->CreateCaptureBuffer(CaptureFormat, Ring, &buffer), DS_OK);
    std::uint32_t position = 1;
    ASSERT_EQ(buffer->GetCurrentPosition(&position, nullptr), DS_OK);
    EXPECT_EQ(position, 0u);
    ASSERT_EQ(buffer->Start(true), DS_OK);
    std::uint32_t readOffset = 0;
    CaptureFor(*buffer, 200ms, readOffset); // the stream settles
    const auto samples = CaptureFor(*buffer, 1000ms, readOffset);
    EXPECT_NEAR(double(samples.size()), 44100.0, 44100 * 0.05);
    // Both test servers (PulseAudio's sine module, PipeWire's fed null sink) play a sine at half
    // the full amplitude.
    EXPECT_NEAR(pulse_test::Rms(samples.data(), samples.size()), 16384 / std::sqrt(2.0), 800);

    ASSERT_EQ(buffer->Stop(), DS_OK);
    std::this_thread::sleep_for(50ms);
    std::uint32_t stopped = 0;
    buffer->GetCurrentPosition(&stopped, nullptr);
    std::this_thread::sleep_for(150ms);
    buffer->GetCurrentPosition(&position, nullptr);
    EXPECT_EQ(position, stopped) << "a stopped ring still moves";
}

// A reader waits for sound instead of polling: each wait ends as soon as a look's worth has
// arrived (by the server's delivery, or by the clock for what it delivered early), long before its
// limit, and a stopped capture sends it back at once.
TEST(PulseCapture, AReaderWaitingForSoundWakesWhenItHasArrived) {
    REQUIRE_TEST_SOUND_SERVER();
    constexpr std::uint32_t ring = 44100, look = 4410; // half a second; 50 ms
    std::unique_ptr<CaptureDevice> device;
    ASSERT_EQ(DefaultSoundSystem().CreateCaptureDevice(DefaultSoundDevice, &device), DS_OK);
    std::unique_ptr<CaptureBuffer> buffer;
    ASSERT_EQ(device->CreateCaptureBuffer(CaptureFormat, ring, &buffer), DS_OK);
    ASSERT_EQ(buffer->Start(true), DS_OK);
    ASSERT_TRUE(buffer->WaitForCaptured(look, 5s)); // the stream settles
    std::uint32_t readOffset = 0;
    std::uint32_t position = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) {
        // What waits is taken, as a reader does, so that each wait starts from an empty ring.
        ASSERT_EQ(buffer->GetCurrentPosition(nullptr, &position), DS_OK);
        const std::uint32_t waiting = (position + ring - readOffset) % ring;
        if (waiting > 0) {
            LockedRegion region;
            ASSERT_EQ(buffer->Lock(readOffset, waiting, &region), DS_OK);
            ASSERT_EQ(buffer->Unlock(region), DS_OK);
            readOffset = position;
        }
        buffer->WaitForCaptured(look, 5s);
        ASSERT_EQ(buffer->GetCurrentPosition(nullptr, &position), DS_OK);
        EXPECT_GE((position + ring - readOffset) % ring, look) << "look " << i;
    }
    // Twenty looks of 50 ms take about a second of sound, not twenty limits.
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(seconds, 0.8);
    EXPECT_LT(seconds, 2.0);

    ASSERT_EQ(buffer->Stop(), DS_OK);
    const auto stopped = std::chrono::steady_clock::now();
    buffer->WaitForCaptured(ring / 2, 5s);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 100ms);
}

TEST(PulseCapture, NamedDeviceCapturesToo) {
    REQUIRE_TEST_SOUND_SERVER();
    const auto devices = ListDevices();
    ASSERT_GE(devices.size(), 2u);
    std::unique_ptr<CaptureDevice> device;
    ASSERT_EQ(DefaultSoundSystem().CreateCaptureDevice(devices[1].id, &device), DS_OK);
    std::unique_ptr<CaptureBuffer> buffer;
    ASSERT_EQ(device->CreateCaptureBuffer(CaptureFormat, Ring, &buffer), DS_OK);
    ASSERT_EQ(buffer->Start(true), DS_OK);
    std::uint32_t readOffset = 0;
    EXPECT_GT(CaptureFor(*buffer, 300ms, readOffset).size(), 0u);
}

TEST(PulseCapture, RefusesUnknownDevicesAndBadFormats) {
    REQUIRE_TEST_SOUND_SERVER();
    std::unique_ptr<CaptureDevice> device;
    SoundDeviceId unknown{};
    unknown[3] = 7;
    EXPECT_EQ(DefaultSoundSystem().CreateCaptureDevice(unknown, &device), DSERR_NODRIVER);

    ASSERT_EQ(DefaultSoundSystem().CreateCaptureDevice(DefaultSoundDevice, &device), DS_OK);
    std::unique_ptr<CaptureBuffer> buffer;
    EXPECT_EQ(device->CreateCaptureBuffer(PcmFormat(12, 1, 44100), 8820, &buffer), DSERR_BADFORMAT);
    WaveFormat inconsistent = CaptureFormat;
    inconsistent.avgBytesPerSec = 1;
    EXPECT_EQ(device->CreateCaptureBuffer(inconsistent, 8820, &buffer), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->CreateCaptureBuffer(CaptureFormat, 8821, &buffer), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->CreateCaptureBuffer(CaptureFormat, 0, &buffer), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer, nullptr);
}

TEST(PulseCapture, UnreachableServerListsNothingAndOpensNothing) {
    testsupport::ScopedEnvironmentVariable nowhere("PULSE_SERVER",
                                                   "unix:/nonexistent/station-no-server");
    SoundResult result = DS_OK;
    EXPECT_TRUE(ListDevices(&result).empty());
    EXPECT_TRUE(Failed(result));
    std::unique_ptr<CaptureDevice> device;
    EXPECT_EQ(DefaultSoundSystem().CreateCaptureDevice(DefaultSoundDevice, &device),
              DSERR_NODRIVER);
    std::unique_ptr<PlaybackDevice> playback;
    EXPECT_EQ(DefaultSoundSystem().CreatePlaybackDevice(DefaultSoundDevice, &playback),
              DSERR_NODRIVER);
}

} // namespace
