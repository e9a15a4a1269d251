#include "audio/AudioInput.h"

#include "audio/AudioException.h"

#include <cstring>
#include <exception>
#include <string>

namespace audio {

TAudioInput::~TAudioInput() = default;

void TAudioInput::Open() {
    std::string failure;
    platform::FailureCause cause;
    bool failed = false;
    {
        std::lock_guard guard(FDataLock);
        FEndOfData = false;
        try {
            DoOpen();
        } catch (const std::exception& error) {
            FEndOfData = true;
            failure = error.what();
            cause = platform::CauseOf(error);
            failed = true;
        }
    }
    if (failed)
        throw EAudioException(failure, cause);
}

void TAudioInput::Close() {
    std::lock_guard guard(FDataLock);
    DoClose();
}

void TAudioInput::ReadBlock(const void*& Buffer, std::uint32_t& Bytes) {
    std::lock_guard guard(FDataLock);
    DoReadBlock(Buffer, Bytes);
}

void TAudioInput::ForceClose() {
    try {
        Close();
    } catch (...) {
        // Closing by force means the component is left closed whatever DoClose reported.
    }
    FBusy = false;
}

std::uint32_t TAudioInput::ReadInto(void* Buffer, std::uint32_t BufferSize, bool& DataEnded) {
    auto* target = static_cast<unsigned char*>(Buffer);
    std::uint32_t total = 0;
    std::uint32_t piece = BufferSize;
    while (total < BufferSize && piece > 0) {
        piece = BufferSize - total;
        const void* block = nullptr;
        ReadBlock(block, piece);
        // A stage may answer more than asked only through a fault of its own; never let that
        // write past the caller's buffer.
        if (piece > BufferSize - total)
            piece = BufferSize - total;
        if (block != nullptr && piece > 0)
            std::memcpy(target + total, block, piece);
        total += piece;
    }
    DataEnded = piece == 0;
    return total;
}

TAudioConverter::~TAudioConverter() = default;

std::uint32_t TAudioConverter::GetBitsPerSample() const {
    TAudioInput* input = FInput;
    if (input == nullptr)
        return 0;
    const std::uint32_t bits = input->GetBitsPerSample();
    return FKeepFormatMark ? bits : (bits & 127u);
}

std::uint32_t TAudioConverter::GetChannels() const {
    TAudioInput* input = FInput;
    return input == nullptr ? 0 : input->GetChannels();
}

std::uint32_t TAudioConverter::GetSampleRate() const {
    TAudioInput* input = FInput;
    return input == nullptr ? 0 : input->GetSampleRate();
}

void TAudioConverter::ReadBlock(const void*& Buffer, std::uint32_t& Bytes) {
    std::lock_guard guard(FDataLock);
    if (FEndOfData) {
        Buffer = nullptr;
        Bytes = 0;
        return;
    }
    DoReadBlock(Buffer, Bytes);
    const std::int64_t position = FPosition += Bytes;
    const std::int64_t size = FSize;
    if (size > 0 && position > size) {
        const std::int64_t excess = position - size;
        Bytes = excess >= Bytes ? 0 : Bytes - static_cast<std::uint32_t>(excess);
        FEndOfData = true;
    }
    if (Bytes == 0)
        FEndOfData = true;
}

void TAudioConverter::PauseInput() {
    if (TAudioInput* input = FInput)
        input->PauseInput();
}

bool TAudioConverter::StopAtCaptured() {
    TAudioInput* input = FInput;
    return input != nullptr && input->StopAtCaptured();
}

void TAudioConverter::ResumeInput() {
    if (TAudioInput* input = FInput)
        input->ResumeInput();
}

void TAudioConverter::SeekInput(std::int32_t Offset) {
    if (TAudioInput* input = FInput)
        input->SeekInput(Offset);
}

void TAudioConverter::SetInput(TAudioInput* Value) {
    if (Value == this)
        return;
    std::lock_guard guard(FDataLock);
    TAudioInput* old = FInput;
    if (FBusy) {
        if (old != nullptr)
            old->Close();
        if (Value != nullptr)
            Value->Open();
    }
    if (old != nullptr && old != Value)
        RemoveFreeNotification(old);
    FInput = Value;
    if (Value != nullptr)
        FreeNotification(Value);
}

void TAudioConverter::Notification(TComponent* AComponent, TOperation Operation) {
    TAudioInput::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || AComponent == nullptr || AComponent != FInput.load())
        return;
    try {
        SetInput(nullptr);
    } catch (...) {
        // The input is going away whatever its Close reported: never keep a dangling reference.
        std::lock_guard guard(FDataLock);
        FInput = nullptr;
    }
}

} // namespace audio
