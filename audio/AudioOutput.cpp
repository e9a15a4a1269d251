#include "audio/AudioOutput.h"

#include "audio/AudioException.h"
#include "audio/AudioThread.h"
#include "audio/EventHandler.h"

#include <cmath>
#include <limits>

namespace audio {

TAudioOutput::TAudioOutput() {
    FWorker = std::make_unique<TAudioThread>(*this);
    AcquireEventThread();
}

TAudioOutput::~TAudioOutput() {
    try {
        Stop(false);
    } catch (...) {
        // Destroyed from its own worker: nothing can be stopped from here.
    }
    ShutDownWorker();
    ReleaseEventThread();
}

void TAudioOutput::BeforeDestruction() {
    try {
        Stop(false);
    } catch (...) {
        // Destroyed from its own worker; the destructor makes a last attempt.
    }
    TComponent::BeforeDestruction();
}

void TAudioOutput::ShutDownWorker() {
    // No queued or half-delivered event may reach the worker once it is gone.
    DiscardEventsOf(this);
    FWorker.reset();
}

void TAudioOutput::Run() {
    std::lock_guard guard(FRunLock);
    SetException({}, {});
    if (FBusy)
        throw EAudioException("Component is Busy", {platform::FailureKind::ComponentBusy, 0});
    if (FInput.load() == nullptr)
        throw EAudioException("Input is not assigned");
    FWorker->StartPass();
}

void TAudioOutput::Stop(bool Async) {
    if (FWorker->IsWorkerThread())
        throw EAudioException("You are trying to stop this thread from the thread itself!");
    const std::uint64_t pass = FWorker->RequestStop(Async);
    if (Async)
        return;
    std::shared_ptr<TEventHandler> events = EventThread();
    if (events) {
        events->BlockSender(this);
        events->RemoveEventsOf(this);
    }
    FWorker->WaitForPassEnd(pass);
    if (events)
        events->UnblockSender(this);
    FWorker->SetNotifyDone(true);
}

TOutputStatus TAudioOutput::Status() const {
    return FBusy ? TOutputStatus::tosPlaying : TOutputStatus::tosIdle;
}

std::int32_t TAudioOutput::Progress() const {
    TAudioInput* input = FInput;
    if (input == nullptr)
        return 0;
    const std::int64_t size = input->Size();
    if (size == -1)
        return -1;
    if (size == 0)
        return 0;
    // nearbyint rounds in the default mode: to the nearest, ties to even.
    const double percent =
        std::nearbyint(static_cast<double>(input->Position()) / static_cast<double>(size) * 100.0);
    if (percent >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (percent <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(percent);
}

std::string TAudioOutput::ExceptionText() const {
    std::lock_guard guard(FExceptionTextLock);
    return FExceptionText;
}

platform::FailureCause TAudioOutput::ExceptionCause() const {
    std::lock_guard guard(FExceptionTextLock);
    return FExceptionCause;
}

void TAudioOutput::SetException(std::string Text, platform::FailureCause Cause) {
    std::lock_guard guard(FExceptionTextLock);
    FExceptionText = std::move(Text);
    FExceptionCause = Cause;
}

void TAudioOutput::StoreInput(TAudioInput* Value) {
    TAudioInput* old = FInput;
    if (old != nullptr && old != Value)
        RemoveFreeNotification(old);
    FInput = Value;
    if (Value != nullptr)
        FreeNotification(Value);
}

void TAudioOutput::SetInput(TAudioInput* Value) {
    if (!FBusy) {
        StoreInput(Value);
        return;
    }
    Stop(false);
    StoreInput(Value);
    Run();
}

void TAudioOutput::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || AComponent == nullptr || AComponent != FInput.load())
        return;
    try {
        SetInput(nullptr);
    } catch (const EAudioException&) {
        // A busy output restarts without an input, which fails with "Input is not assigned"; the
        // output is stopped and idle, which is all a vanishing input leaves to do.
    }
    if (FInput.load() == AComponent)
        StoreInput(nullptr);
}

} // namespace audio
