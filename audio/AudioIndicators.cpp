#include "audio/AudioIndicators.h"

#include "audio/AudioException.h"
#include "audio/AudioProcs.h"
#include "audio/EventHandler.h"
#include "audio/GainAnalysis.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace audio {
namespace {

void (*ConversionFor(std::uint16_t bytesPerSample))(const void*, float*, std::size_t) {
    switch (bytesPerSample) {
    case 1:
        return Convert8ToFloat;
    case 2:
        return Convert16ToFloat;
    case 3:
        return Convert24ToFloat;
    case 4:
        return Convert32ToFloat;
    default:
        return nullptr;
    }
}

} // namespace

double TGainIndicator::GainValueFromTitleGain(double TitleGain) {
    const double gain = TitleGain > 32.0 ? 32.0 : TitleGain;
    const double value = 32.0 - gain;
    return value > 100.0 ? 0.0 : value;
}

void TGainIndicator::DoOpen() {
    if (!GainLibrary().Load()) {
        char message[128];
        std::snprintf(message, sizeof message, "Could not load the %s library.", GainLibraryName);
        throw EAudioException(message);
    }
    const TGainEntryPoints& entries = GainLibrary().Get();
    TAudioInput* input = Input();
    if (!input)
        throw EAudioException("Input is not assigned");
    FBusy = true;
    FPosition = 0;
    input->Open();
    if (input->Channels() > 2) {
        input->Close();
        FBusy = false;
        throw EAudioException("Only mono or stereo soures are supported.");
    }
    FAnalysisRate = input->SampleRate();
    bool ready;
    {
        std::lock_guard guard(GainAnalysisLock());
        ready = entries.InitGainAnalysis(static_cast<std::int32_t>(FAnalysisRate)) == 1;
    }
    if (!ready) {
        input->Close();
        FBusy = false;
        char message[160];
        std::snprintf(message, sizeof message,
                      "Failed to set up gain analysis. Possible cause: sample rate %d is not "
                      "supported.",
                      static_cast<int>(FAnalysisRate));
        throw EAudioException(message);
    }
    FBytesPerSample = static_cast<std::uint16_t>(input->BitsPerSample() / 8);
    FSize = input->Size();
    FPosition = 0;
}

void TGainIndicator::DoClose() {
    FGainValue = 0.0;
    PostEvent(this, OnGainData);
    if (TAudioInput* input = Input())
        input->Close();
    FBusy = false;
}

void TGainIndicator::DoReadBlock(const void*& Buffer, std::uint32_t& Bytes) {
    TAudioInput* input = Input();
    if (!input) {
        Buffer = nullptr;
        Bytes = 0;
        return;
    }
    FPosition = input->Position();
    input->ReadBlock(Buffer, Bytes);
    if (!Buffer || Bytes == 0)
        return;
    Analyse(Buffer, Bytes);
}

void TGainIndicator::Analyse(const void* Block, std::uint32_t Bytes) {
    const auto convert = ConversionFor(FBytesPerSample);
    const std::uint32_t channels = Input()->Channels();
    if (!convert || channels == 0 || FAnalysisRate == 0)
        throw EAudioException("Gain analysis failed");
    const std::uint32_t samples = Bytes / FBytesPerSample;
    if (samples > FCapacity) {
        FCapacity = samples;
        FSampleBuffer.resize(samples);
        FBufferA.resize(samples);
        FBufferB.resize(samples);
    }
    convert(Block, FSampleBuffer.data(), samples);
    const std::uint32_t frames = samples / channels;
    if (channels == 2) {
        for (std::uint32_t i = 0; i < frames; ++i) {
            FBufferB[i] = double(FSampleBuffer[2 * i]) * 32768;
            FBufferA[i] = double(FSampleBuffer[2 * i + 1]) * 32768;
        }
    } else {
        for (std::uint32_t i = 0; i < frames; ++i) {
            FBufferB[i] = double(FSampleBuffer[i]) * 32768;
            FBufferA[i] = FBufferB[i];
        }
    }
    const TGainEntryPoints& entries = GainLibrary().Get();
    {
        std::lock_guard guard(GainAnalysisLock());
        if (entries.AnalyzeSamples(FBufferA.data(), FBufferB.data(),
                                   static_cast<std::int32_t>(frames), 2) == 0)
            throw EAudioException("Gain analysis failed");
    }
    FElapsed += static_cast<std::uint32_t>(
        std::nearbyint(double(frames) / double(FAnalysisRate) * 100000.0));
    if (FElapsed < FInterval * 100u)
        return;
    FElapsed = 0;
    double title;
    {
        std::lock_guard guard(GainAnalysisLock());
        title = entries.GetTitleGain();
    }
    FGainValue = GainValueFromTitleGain(title);
    PostEvent(this, OnGainData);
}

} // namespace audio
