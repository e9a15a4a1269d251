#include "platform/SoundSystem.h"
#include "platform/pulse/tests/PulseTestSupport.h"

#include <chrono>
#include <thread>

namespace {

using namespace platform;
using namespace std::chrono_literals;

// A recording must fail loudly, not stand still, when the sound server goes away under it.
TEST(PulseServerLoss, CapturePositionFailsOnceTheServerIsGone) {
    pulse_test::OwnPulseServer server;
    if (!server.Started())
        GTEST_SKIP() << "no private sound server could be started";
    pulse_test::ScopedPulseServer use(server.Address());

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

} // namespace
