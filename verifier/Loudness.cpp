#include "verifier/Loudness.h"
#include "verifier/DecoderFailure.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace interview_check {
namespace {

// The momentary window is four steps long; before that it would still hold the zeros it starts
// with and read quieter than the recording is.
constexpr std::size_t StepsPerWindow = 4;

void Require(int result, const char* what) {
    if (result != EBUR128_SUCCESS)
        throw DecoderFailure(std::string("анализ громкости: ") + what + " (код libebur128 " +
                             std::to_string(result) + ")");
}

} // namespace

double LoudnessFacts::SilentShare() const {
    if (momentary.empty())
        return 1.0;
    const auto silent = std::count_if(momentary.begin(), momentary.end(),
                                      [](float lufs) { return !(lufs > SilenceLufs); });
    return static_cast<double>(silent) / static_cast<double>(momentary.size());
}

double LoudnessFacts::ClippedShare() const {
    return samples ? static_cast<double>(clippedSamples) / static_cast<double>(samples) : 0.0;
}

struct LoudnessMeter::Analysis {
    explicit Analysis(ebur128_state* state) : state(state) {}
    ~Analysis() { ebur128_destroy(&state); }
    Analysis(const Analysis&) = delete;
    Analysis& operator=(const Analysis&) = delete;
    ebur128_state* state;
};

LoudnessMeter::LoudnessMeter() = default;
LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::Start(int channels, long rate) {
    if (channels <= 0 || rate <= 0)
        throw DecoderFailure("анализ громкости: неверный формат звука");
    ebur128_state* state =
        ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate),
                     EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK | EBUR128_MODE_M);
    if (!state)
        throw DecoderFailure("анализ громкости: libebur128 не запускается");
    state_ = std::make_unique<Analysis>(state);
    channels_ = channels;
    rate_ = rate;
    stepFrames_ = std::max<std::size_t>(
        1, static_cast<std::size_t>(std::lround(static_cast<double>(rate) * LoudnessStepSeconds)));
}

void LoudnessMeter::Take(const float* samples, std::size_t frames, int channels, long rate) {
    if (!state_)
        Start(channels, rate);
    else if (channels != channels_ || rate != rate_)
        throw DecoderFailure("анализ громкости: формат звука меняется");
    while (frames > 0) {
        const std::size_t piece = std::min(frames, stepFrames_ - inStep_);
        TakeStep(samples, piece);
        samples += piece * static_cast<std::size_t>(channels_);
        frames -= piece;
    }
}

void LoudnessMeter::TakeStep(const float* samples, std::size_t frames) {
    const std::size_t count = frames * static_cast<std::size_t>(channels_);
    for (std::size_t i = 0; i < count; ++i)
        if (std::fabs(samples[i]) >= ClipLevel)
            ++facts_.clippedSamples;
    facts_.samples += count;
    Require(ebur128_add_frames_float(state_->state, samples, frames), "звук не принят");
    frames_ += frames;
    inStep_ += frames;
    if (inStep_ < stepFrames_)
        return;
    inStep_ = 0;
    if (++steps_ < StepsPerWindow)
        return;
    double momentary = 0;
    Require(ebur128_loudness_momentary(state_->state, &momentary), "мгновенная громкость");
    facts_.momentary.push_back(static_cast<float>(momentary));
}

LoudnessFacts LoudnessMeter::Finish() {
    if (state_) {
        double value = 0;
        Require(ebur128_loudness_global(state_->state, &value), "интегральная громкость");
        if (std::isfinite(value))
            facts_.integratedLufs = value;
        Require(ebur128_loudness_range(state_->state, &value), "диапазон громкости");
        facts_.rangeLu = std::isfinite(value) ? value : 0.0;
        double peak = 0;
        for (int channel = 0; channel < channels_; ++channel) {
            Require(ebur128_sample_peak(state_->state, static_cast<unsigned>(channel), &value),
                    "пиковый уровень");
            peak = std::max(peak, value);
        }
        if (peak > 0)
            facts_.samplePeakDbfs = 20.0 * std::log10(peak);
        facts_.seconds = static_cast<double>(frames_) / static_cast<double>(rate_);
    }
    return std::move(facts_);
}

} // namespace interview_check
