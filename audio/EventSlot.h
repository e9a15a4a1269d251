// Component events: handlers that take only the sending component. A handler learns everything
// else from the sender's properties; senders are compared by address.
#pragma once

#include <functional>
#include <mutex>

namespace audio {

class TComponent;

using TNotifyEvent = std::function<void(TComponent* Sender)>;

// A published event property. It is written on the GUI thread and read by worker and event
// threads, so every access is guarded.
class TEventSlot {
public:
    TEventSlot() = default;
    TEventSlot(const TEventSlot&) = delete;
    TEventSlot& operator=(const TEventSlot&) = delete;

    TEventSlot& operator=(TNotifyEvent Handler) {
        std::lock_guard guard(FLock);
        FHandler = std::move(Handler);
        return *this;
    }
    bool Assigned() const {
        std::lock_guard guard(FLock);
        return static_cast<bool>(FHandler);
    }
    TNotifyEvent Get() const {
        std::lock_guard guard(FLock);
        return FHandler;
    }
    // Calls the handler, when one is assigned, on the calling thread.
    void operator()(TComponent* Sender) const {
        if (TNotifyEvent handler = Get())
            handler(Sender);
    }

private:
    mutable std::mutex FLock;
    TNotifyEvent FHandler;
};

} // namespace audio
