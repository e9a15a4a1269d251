#include "audio/HandoverWait.h"

#include "platform/GuiHandover.h"

namespace audio {

void WaitRunningHandovers(std::unique_lock<std::mutex>& Lock, std::condition_variable& Changed,
                          const std::function<bool()>& Done) {
    if (!platform::IsGuiThread()) {
        Changed.wait(Lock, Done);
        return;
    }
    while (!Done()) {
        Lock.unlock();
        const bool ranAny = platform::CheckSynchronize();
        Lock.lock();
        if (!ranAny && !Done())
            Changed.wait_for(Lock, std::chrono::milliseconds(1), Done);
    }
}

} // namespace audio
