// Outputs that write into a stream, into a named file, and into a tagged file.
#pragma once

#include "audio/AudioFileStream.h"
#include "audio/AudioOutput.h"
#include "audio/AudioTags.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace audio {

class TAudioStreamedOutput : public TAudioOutput {
public:
    TAudioStream* Stream() const { return FStream; }
    bool StreamAssigned() const { return FStreamAssigned; }
    // Writes into a stream supplied from outside, which the output neither creates nor frees;
    // nothing restores the output's own file stream until SetStream(nullptr).
    void SetStream(TAudioStream* Value);

protected:
    // Set on the worker (the output's own file stream) or by the GUI thread while idle.
    std::atomic<TAudioStream*> FStream{nullptr};
    std::atomic<bool> FStreamAssigned{false};
};

class TAudioFileOut : public TAudioStreamedOutput {
public:
    // Stored unchanged with its UTF-16 copy; no check. Write it only while the output is idle.
    std::string FileName() const;
    void SetFileName(const std::string& Value);
    std::u16string WideName() const;
    std::uint8_t WriteMode() const { return FWriteMode; }
    // A plain file output only rewrites: the mode stored is 0 whatever is asked.
    virtual void SetWriteMode(std::uint8_t Value);
    std::uint32_t AccessRights() const { return FAccessRights; }
    void SetAccessRights(std::uint32_t Value) { FAccessRights = Value; }
    std::uint16_t ShareMode() const { return FShareMode; }
    void SetShareMode(std::uint16_t Value) { FShareMode = Value; }
    // How often the output's own file is synced to the disk while it is written, on a thread of its
    // own (a power cut costs at most about this much of the recording); 0 syncs it only when it is
    // closed. Read when a file is created.
    std::chrono::milliseconds SyncInterval() const { return FSyncInterval.load(); }
    void SetSyncInterval(std::chrono::milliseconds Value) { FSyncInterval = Value; }

protected:
    // For BeginOutput when no stream is assigned: creates the file from WideName with the mode word
    // ShareMode OR $FFFF (always a new file held exclusively), synced every SyncInterval while it
    // is written. Raises EAudioException.
    void CreateFileStream();
    // Frees the output's own file stream (closing the file); an assigned stream is left alone.
    void FreeFileStream();
    // Closes and frees the file stream. Raises EAudioException, with the cause, when closing
    // reported a failure; the stream is freed all the same.
    void CloseFileStream();
    bool HasFileStream() const { return FFileStream != nullptr; }

    std::atomic<std::uint8_t> FWriteMode{0};
    std::atomic<std::uint32_t> FAccessRights{0};
    std::atomic<std::uint16_t> FShareMode{0};
    std::atomic<std::chrono::milliseconds> FSyncInterval{std::chrono::milliseconds(1000)};

private:
    mutable std::mutex FNameLock;
    std::string FFileName;
    std::u16string FWideName;
    std::unique_ptr<TAudioFileStream> FFileStream;
};

class TAudioTaggedFileOut : public TAudioFileOut {
public:
    TAudioTaggedFileOut();
    // Stops a busy output before the tag containers go, since EndOutput reads them.
    ~TAudioTaggedFileOut() override;

    // The owned containers; assigning copies the contents into them.
    TId3v1Tags& Id3v1Tags() { return *FId3v1Tags; }
    void SetId3v1Tags(const TId3v1Tags& Value) { FId3v1Tags->Assign(Value); }
    TId3v2Tags& Id3v2Tags() { return *FId3v2Tags; }
    void SetId3v2Tags(const TId3v2Tags& Value) { FId3v2Tags->Assign(Value); }
    TAPEv2Tags& APEv2Tags() { return *FAPEv2Tags; }
    void SetAPEv2Tags(const TAPEv2Tags& Value) { FAPEv2Tags->Assign(Value); }

private:
    std::unique_ptr<TId3v1Tags> FId3v1Tags;
    std::unique_ptr<TId3v2Tags> FId3v2Tags;
    std::unique_ptr<TAPEv2Tags> FAPEv2Tags;
};

} // namespace audio
