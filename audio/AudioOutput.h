// The consumer at the end of a chain. Each output owns a worker thread (TAudioThread) on which all
// its passes run: BeginOutput, OutputBlock until the pass is over, EndOutput. The GUI thread only
// starts a pass (Run) and ends it (Stop).
#pragma once

#include "audio/AudioInput.h"
#include "audio/Component.h"
#include "audio/EventSlot.h"
#include "platform/FailureCause.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace audio {

class TAudioThread;

using TOutputDoneEvent = TNotifyEvent;
using TOutputProgressEvent = TNotifyEvent;
using TThreadExceptionEvent = TNotifyEvent;

enum class TOutputStatus { tosPlaying = 0, tosPaused = 1, tosIdle = 2 };

class TAudioOutput : public TComponent {
public:
    TAudioOutput();
    // A concrete output whose EndOutput uses its own members must call Stop(false) first in its
    // own destructor, unless it is always destroyed through TComponentDeleter.
    ~TAudioOutput() override;

    TAudioInput* Input() const { return FInput; }
    // On a busy output: a synchronous stop, the new input, and a new Run (which raises "Input is
    // not assigned" when Value is nothing).
    virtual void SetInput(TAudioInput* Value);

    // Starts a pass on the worker. Raises "Component is Busy" or "Input is not assigned"; a failure
    // inside the pass is reported through ExceptionText and OnThreadException, never here.
    void Run();
    // Ends the running pass. With Async false it returns only after the pass has completely ended:
    // EndOutput has run, Busy is false, OnSyncDone has returned, and no OnDone comes for that pass.
    // On the GUI thread the wait runs pending GUI hand-overs. Raises "You are trying to stop this
    // thread from the thread itself!" on the output's own worker.
    void Stop(bool Async);

    bool Busy() const { return FBusy; }
    bool Prepared() const { return FPrepared; }
    TOutputStatus Status() const;
    // Percent of the input read: 0 without an input or for an input of size 0, -1 for an endless
    // input, else Position / Size * 100 rounded to the nearest (ties to even).
    std::int32_t Progress() const;
    std::int32_t LastProgress() const { return FLastProgress; }
    std::string ExceptionText() const;
    // Why the last pass failed, as its raiser knew it; Other when it did not say or nothing failed.
    platform::FailureCause ExceptionCause() const;
    TAudioThread& Worker() { return *FWorker; }

    // OnDone, OnProgress and OnThreadException run on the GUI thread through the event thread;
    // OnSyncDone runs on the worker at the end of every pass and must not touch the GUI.
    TEventSlot OnDone;
    TEventSlot OnProgress;
    TEventSlot OnThreadException;
    TEventSlot OnSyncDone;

protected:
    // Called on the worker once per block: pulls from Input (normally with ReadInto), writes the
    // result, and answers true to be called again. With Abort true it must finish without pulling
    // more and answer false.
    virtual bool OutputBlock(bool Abort) = 0;
    // Called on the worker after the last OutputBlock of a pass, also after BeginOutput or
    // OutputBlock raised: flushes and closes what BeginOutput opened and closes Input.
    virtual void EndOutput() = 0;
    // Called on the worker at the start of a pass: opens Input, reads the format, opens the
    // destination.
    virtual void BeginOutput() = 0;

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void BeforeDestruction() override;

    // Set by Run, cleared at the end of the pass. An output must not clear it itself during a pass:
    // a Run accepted meanwhile would be lost when the pass ends.
    std::atomic<bool> FBusy{false};
    std::atomic<bool> FPrepared{false};

private:
    friend class TAudioThread;
    void StoreInput(TAudioInput* Value);
    void SetException(std::string Text, platform::FailureCause Cause);
    void ShutDownWorker();

    std::atomic<TAudioInput*> FInput{nullptr};
    std::atomic<std::int32_t> FLastProgress{0};
    mutable std::mutex FExceptionTextLock;
    std::string FExceptionText;
    platform::FailureCause FExceptionCause;
    std::mutex FRunLock;
    std::unique_ptr<TAudioThread> FWorker;
};

} // namespace audio
