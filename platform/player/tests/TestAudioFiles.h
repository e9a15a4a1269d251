// For the playback tests: a temporary folder with short MP3 files made by the lame encoder from
// generated sine waves, and other files to feed the player.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::player::testing {

class TestAudioFiles {
public:
    TestAudioFiles() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "player-test.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        folder_ = pattern;
    }
    TestAudioFiles(const TestAudioFiles&) = delete;
    TestAudioFiles& operator=(const TestAudioFiles&) = delete;
    ~TestAudioFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

    // A 16-bit mono 44100 Hz WAV file of a 440 Hz tone.
    std::string Wav(const std::string& name, double seconds) const {
        constexpr std::uint32_t rate = 44100;
        const auto samples = static_cast<std::uint32_t>(seconds * rate);
        std::vector<char> bytes;
        const auto put = [&bytes](std::uint32_t value, int size) {
            for (int i = 0; i < size; ++i)
                bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
        };
        const auto text = [&bytes](const char* word) { bytes.insert(bytes.end(), word, word + 4); };
        text("RIFF");
        put(36 + samples * 2, 4);
        text("WAVE");
        text("fmt ");
        put(16, 4);
        put(1, 2); // PCM
        put(1, 2); // mono
        put(rate, 4);
        put(rate * 2, 4);
        put(2, 2);
        put(16, 2);
        text("data");
        put(samples * 2, 4);
        for (std::uint32_t i = 0; i < samples; ++i)
            put(static_cast<std::uint16_t>(
                    static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * i / rate))),
                2);
        return Write(name, bytes);
    }

    // A 128 kbit/s MP3 of `seconds` of tone, encoded by the lame command.
    std::string Mp3(const std::string& name, double seconds) const {
        const std::string wav = Wav(name + ".wav", seconds);
        const std::string mp3 = Path(name);
        const std::string command = "lame --quiet -b 128 '" + wav + "' '" + mp3 + "'";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("the lame command failed (is Debian's lame installed?)");
        return mp3;
    }

    std::string Write(const std::string& name, const std::vector<char>& bytes) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return path;
    }

    static std::vector<char> Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string folder_;
};

} // namespace platform::player::testing
