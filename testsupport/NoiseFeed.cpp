#include "testsupport/NoiseFeed.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace testsupport {
namespace {

// Runs pactl with `arguments`; the module number it printed, or -1.
int LoadModule(const std::string& arguments) {
    FILE* pipe = ::popen(("pactl load-module " + arguments + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return -1;
    int index = -1;
    if (std::fscanf(pipe, "%d", &index) != 1)
        index = -1;
    return ::pclose(pipe) == 0 ? index : -1;
}

} // namespace

NoiseFeed::NoiseFeed(int seconds) {
    // A fixed white noise from a linear congruential generator: the same in every run.
    noise_.resize(std::size_t(seconds) * 44100);
    std::uint32_t state = 20261211;
    for (std::int16_t& sample : noise_) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<std::int16_t>(static_cast<std::int32_t>(state >> 16) % 16000 - 8000);
    }
    const std::string file = folder_.Path() + "/noise.raw";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(noise_.data()),
               static_cast<std::streamsize>(noise_.size() * 2));
    const std::string sink = std::string(SourceName) + "_sink";
    const std::string format = " rate=44100 channels=1 format=s16le";
    modules_.push_back(LoadModule("module-null-sink sink_name=" + sink + format +
                                  " sink_properties=device.description=station-noise-sink"));
    modules_.push_back(LoadModule("module-remap-source source_name=" + std::string(SourceName) +
                                  " master=" + sink + ".monitor" + format +
                                  " source_properties=device.description=" + Description));
    for (int module : modules_)
        if (module < 0)
            return;
    player_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"pacat", "--playback", "--raw", "--format=s16le", "--rate=44100",
                                 "--channels=1", "--device=" + sink, file});
    ready_ = player_->Started();
}

NoiseFeed::~NoiseFeed() {
    player_.reset();
    for (auto module = modules_.rbegin(); module != modules_.rend(); ++module)
        if (*module >= 0)
            std::system(
                ("pactl unload-module " + std::to_string(*module) + " 2>/dev/null").c_str());
}

std::pair<std::size_t, double> NoiseFeed::Locate(const std::int16_t* window, std::size_t count,
                                                 std::size_t searchUpTo) const {
    double windowEnergy = 0;
    for (std::size_t i = 0; i < count; ++i)
        windowEnergy += double(window[i]) * window[i];
    std::pair<std::size_t, double> best{0, -1};
    for (std::size_t offset = 0; offset < searchUpTo && offset + count <= noise_.size(); ++offset) {
        double product = 0, energy = 0;
        for (std::size_t i = 0; i < count; ++i) {
            product += double(window[i]) * noise_[offset + i];
            energy += double(noise_[offset + i]) * noise_[offset + i];
        }
        const double correlation = product / std::sqrt(windowEnergy * energy + 1e-9);
        if (correlation > best.second)
            best = {offset, correlation};
    }
    return best;
}

} // namespace testsupport
