// For the playback tests: a temporary folder with short MP3 files made by the lame encoder from
// generated sine waves, and other files to feed the player.
#pragma once

#include "testsupport/TemporaryFolder.h"
#include "testsupport/WavFile.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::player::testing {

class TestAudioFiles {
public:
    std::string Path(const std::string& name) const { return folder_ / name; }

    // A 16-bit mono 44100 Hz WAV file of a 440 Hz tone.
    std::string Wav(const std::string& name, double seconds) const {
        const std::string path = Path(name);
        testsupport::WriteWavFile(path, testsupport::ToneSamples(440, seconds));
        return path;
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
    testsupport::TemporaryFolder folder_{"player-test"};
};

} // namespace platform::player::testing
