// The library's calls: one engine per successful BASS_Init, and the calling thread's last error.
#include "platform/Playback.h"

#include "platform/player/Mp3Decoder.h"
#include "platform/player/PlaybackEngine.h"
#include "platform/player/PlaybackError.h"

#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace platform {

namespace {

using player::Mp3Decoder;
using player::PlaybackEngine;
using player::PlaybackError;

thread_local int lastError = BASS_OK;

std::mutex engineMutex;
std::shared_ptr<PlaybackEngine> engine; // guarded by engineMutex

// Callers hold their own reference, so BASS_Free on another thread never destroys an engine under
// a call; that call then fails cleanly with BASS_ERROR_INIT.
std::shared_ptr<PlaybackEngine> CurrentEngine() {
    std::lock_guard lock(engineMutex);
    if (!engine)
        throw PlaybackError(BASS_ERROR_INIT, "The playback library is not initialised.");
    return engine;
}

// Runs `call`, turning its failure into the thread's error code and `failed`.
template <typename Result, typename Call> Result Reported(Result failed, Call&& call) {
    try {
        const Result result = call();
        lastError = BASS_OK;
        return result;
    } catch (const PlaybackError& error) {
        lastError = error.Code();
    } catch (const std::bad_alloc&) {
        lastError = BASS_ERROR_MEM;
    } catch (...) {
        lastError = BASS_ERROR_UNKNOWN;
    }
    return failed;
}

} // namespace

BOOL BASS_Init(int device, DWORD, DWORD flags, void*, const void*) {
    return Reported<BOOL>(0, [&] {
        if (device != BASS_DEVICE_DEFAULT)
            throw PlaybackError(BASS_ERROR_DEVICE, "Only the default output device exists.");
        if (flags != 0)
            throw PlaybackError(BASS_ERROR_ILLPARAM, "No initialisation flags are supported.");
        std::lock_guard lock(engineMutex);
        if (engine)
            throw PlaybackError(BASS_ERROR_ALREADY, "The playback library is initialised.");
        engine = std::make_shared<PlaybackEngine>();
        return 1;
    });
}

BOOL BASS_Free() {
    return Reported<BOOL>(0, [] {
        std::shared_ptr<PlaybackEngine> freed = CurrentEngine();
        // Shut down before letting go of the slot, so a refusal (from a sync callback) leaves the
        // library initialised.
        freed->Shutdown();
        std::lock_guard lock(engineMutex);
        if (engine == freed)
            engine.reset();
        return 1;
    });
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags) {
    return Reported<HSTREAM>(0, [&] {
        const auto current = CurrentEngine();
        if (!file)
            throw PlaybackError(BASS_ERROR_ILLPARAM, "No file given.");
        if (flags != 0)
            throw PlaybackError(BASS_ERROR_ILLPARAM, "No stream flags are supported.");
        auto decoder = mem ? Mp3Decoder::OpenMemory(file, offset, length)
                           : Mp3Decoder::OpenFile(static_cast<const char*>(file), offset, length);
        return current->AddStream(std::move(decoder));
    });
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    return Reported<BOOL>(0, [&] {
        CurrentEngine()->Play(handle, restart != 0);
        return 1;
    });
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user) {
    return Reported<HSYNC>(0, [&] {
        const auto current = CurrentEngine();
        if (param != 0)
            throw PlaybackError(BASS_ERROR_ILLPARAM, "The END sync takes no parameter.");
        return current->SetSync(handle, type, proc, user);
    });
}

BOOL BASS_ChannelRemoveSync(DWORD handle, HSYNC sync) {
    return Reported<BOOL>(0, [&] {
        CurrentEngine()->RemoveSync(handle, sync);
        return 1;
    });
}

BOOL BASS_StreamFree(HSTREAM handle) {
    return Reported<BOOL>(0, [&] {
        CurrentEngine()->FreeStream(handle);
        return 1;
    });
}

int BASS_ErrorGetCode() {
    return lastError;
}

} // namespace platform
