#include "platform/ProcessExit.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

std::atomic<LastWordsAtExit*> current{nullptr};

extern "C" void RunLastWords() {
    if (LastWordsAtExit* words = current.exchange(nullptr))
        words->RunNow();
}

} // namespace

LastWordsAtExit::LastWordsAtExit(std::function<void()> last) : last_(std::move(last)) {
    // Registered when the first object is made, so that the statics made before it are destroyed
    // only after the last words.
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(RunLastWords); });
    current.store(this);
}

LastWordsAtExit::~LastWordsAtExit() {
    LastWordsAtExit* self = this;
    current.compare_exchange_strong(self, nullptr);
}

void LastWordsAtExit::RunNow() {
    if (ran_ || !last_)
        return;
    ran_ = true;
    try {
        last_();
    } catch (...) {
        // The process is ending: there is nobody left to tell.
    }
}

} // namespace platform
