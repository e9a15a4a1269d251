// The playback library: plays an MP3 file on the default sound output and calls back once the file
// has played out. The calls, their handle types and constants keep the shape the station was
// designed around; nothing of the sound server or the decoder shows through.
//
// Threads: every call may be made from any thread, including from inside a sync callback. The
// library runs one callback thread of its own per initialisation (beside the sound server's client
// thread); sync callbacks run on it, one at a time, with no lock of the library held, so a callback
// may call back into the library and may wait for another thread (the GUI thread) that is itself
// calling into the library.
#pragma once

#include <cstdint>

namespace platform {

using BOOL = std::int32_t;
using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using HSTREAM = DWORD; // 0 = no stream
using HSYNC = DWORD;   // 0 = no sync

// Sync types for BASS_ChannelSetSync. The END sync fires when the stream has played out (its last
// sample has been played, not merely decoded), or when its playback has ended for good because the
// sound server went away.
constexpr DWORD BASS_SYNC_END = 2;
// Or-ed into the type: the sync removes itself after its first call.
constexpr DWORD BASS_SYNC_ONETIME = 0x80000000u;

// Device number for BASS_Init: the sound server's default output.
constexpr int BASS_DEVICE_DEFAULT = -1;

// Why the calling thread's last call failed (BASS_ErrorGetCode).
constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_MEM = 1;      // out of memory
constexpr int BASS_ERROR_FILEOPEN = 2; // the file cannot be opened (missing, unreadable, or held
                                       // without sharing by a recording)
constexpr int BASS_ERROR_DRIVER = 3;   // the sound server cannot be reached or went away
constexpr int BASS_ERROR_HANDLE = 5;   // not a live stream or sync handle
constexpr int BASS_ERROR_INIT = 8;     // BASS_Init has not succeeded
constexpr int BASS_ERROR_START = 9;    // the server refused to start the playback
constexpr int BASS_ERROR_ALREADY = 14; // already initialised
constexpr int BASS_ERROR_ILLTYPE = 19; // unsupported sync type
constexpr int BASS_ERROR_ILLPARAM = 20;
constexpr int BASS_ERROR_DEVICE = 23;   // no such output device
constexpr int BASS_ERROR_NOTAVAIL = 37; // not possible from where it was called
constexpr int BASS_ERROR_FILEFORM = 41; // the file is not MPEG audio
constexpr int BASS_ERROR_ENDED = 45;    // the stream has played out; play it with restart
constexpr int BASS_ERROR_UNKNOWN = -1;

// A sync callback: the sync, the channel it belongs to, data (0 for END), and the user value given
// to BASS_ChannelSetSync.
using SYNCPROC = void(HSYNC handle, DWORD channel, DWORD data, void* user);

// Connects to the sound server for `device` (only BASS_DEVICE_DEFAULT exists). `freq` is a hint
// (each stream plays at its own rate); `flags` must be 0; `win` and `clsid` are not used. FALSE
// when the server cannot be reached (BASS_ERROR_DRIVER) or when already initialised.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* clsid);
// Stops and releases every stream, then disconnects. It waits for a sync callback that is running;
// on the GUI thread it keeps GUI hand-overs flowing meanwhile. Not possible from inside a sync
// callback (BASS_ERROR_NOTAVAIL).
BOOL BASS_Free();
// Opens an MP3 file (`mem` false: `file` is a zero-terminated UTF-8 path; `offset` and `length`,
// 0 = up to the end, select the part to play) or an MP3 image in memory (`mem` true: `file` points
// to the image, whose `length` bytes from `offset` on must outlive the stream). `flags` must be 0.
// The file is held with a shared lock until the stream is freed, so a recording cannot replace it
// meanwhile, and a file that a recording holds without sharing is refused (BASS_ERROR_FILEOPEN).
// 0 on failure.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
// Starts the stream on the default output; `restart` true plays it again from its beginning. A
// stream that is playing goes on. A stream that has played out plays only with `restart`.
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
// Adds a sync of `type` (BASS_SYNC_END, optionally with BASS_SYNC_ONETIME); `param` must be 0. If
// the stream has already played out, the END sync is called at once (on the library's thread), so
// a sync set just after BASS_ChannelPlay never misses a very short file's end. 0 on failure.
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user);
// After it returns the sync is never called again (a call already running goes on).
BOOL BASS_ChannelRemoveSync(DWORD handle, HSYNC sync);
// Stops the stream and releases it and its file before returning; safe from inside the stream's
// own sync callback.
BOOL BASS_StreamFree(HSTREAM handle);
// The error of the calling thread's last call (BASS_OK after a call that succeeded).
int BASS_ErrorGetCode();

} // namespace platform
