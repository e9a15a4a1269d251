#include "verifier/tests/InterviewFixture.h"

#include "archive/Compression.h"
#include "archive/StringUtils.h"
#include "interview_format/Report.h"
#include "platform/DiskSync.h"
#include "testsupport/WavFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <sys/wait.h>

#ifndef VERIFIER_TEST_DIR
#error "VERIFIER_TEST_DIR must name the folder of the verifier's tests"
#endif

namespace interview_check::testing {
namespace {

namespace fs = std::filesystem;

// One folder of encoded recordings for the whole test program: lame runs once per tone.
const std::string& RecordingCache() {
    static const testsupport::TemporaryFolder folder("verifier-recordings");
    return folder.Path();
}

void WriteTone(const std::string& path, int tone, double seconds) {
    testsupport::WriteWavFile(path, testsupport::ToneSamples(220.0 * (1 + tone), seconds));
}

} // namespace

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer{};
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
        result.output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void ZipSurgery(const std::string& arguments) {
    const CommandResult result = RunCommand(
        "python3 " + Quoted(VERIFIER_TEST_DIR "/zip_surgery.py") + " " + arguments + " 2>&1");
    ASSERT_EQ(result.exitCode, 0) << result.output;
}

namespace {

std::mutex cacheLock;

// Mono at 128 kbit/s with a trailing ID3v1 block, as the station records.
void Encode(const std::string& stem) {
    const CommandResult lame =
        RunCommand("lame --quiet -b 128 -m m --id3v1-only --tc station " + Quoted(stem + ".wav") +
                   " " + Quoted(stem + ".mp3") + " 2>&1");
    if (lame.exitCode != 0)
        throw std::runtime_error("lame failed: " + lame.output);
}

} // namespace

std::string Recording(int tone, double seconds) {
    const std::lock_guard<std::mutex> guard(cacheLock);
    const std::string stem = RecordingCache() + "/tone" + std::to_string(tone) + "-" +
                             std::to_string(static_cast<int>(seconds * 1000));
    if (!fs::exists(stem + ".mp3")) {
        WriteTone(stem + ".wav", tone, seconds);
        Encode(stem);
    }
    return stem + ".mp3";
}

std::string SoxRecording(const std::string& name, const std::string& input,
                         const std::string& effects) {
    const std::lock_guard<std::mutex> guard(cacheLock);
    const std::string stem = RecordingCache() + "/" + name;
    if (!fs::exists(stem + ".mp3")) {
        const CommandResult sox = RunCommand("sox -q " + input + " -r 44100 -c 1 -b 16 " +
                                             Quoted(stem + ".wav") + " " + effects + " 2>&1");
        if (sox.exitCode != 0)
            throw std::runtime_error("sox failed: " + sox.output);
        Encode(stem);
    }
    return stem + ".mp3";
}

InterviewFixture::InterviewFixture(int recordings) {
    fs::create_directory(Scratch(FolderName));
    std::vector<int> listed;
    for (int number = 1; number <= recordings; ++number) {
        fs::copy_file(Recording(number), InFolder(std::to_string(number) + ".mp3"));
        listed.push_back(number);
    }
    WriteReport(listed, recordings);
}

void InterviewFixture::WriteReport(const std::vector<int>& listed, int participants) const {
    interview_format::InterviewReport report{.examDate = "05.03.2026",
                                             .region = "г. Москва",
                                             .schoolCode = "000145",
                                             .schoolName = schoolName,
                                             .room = "012",
                                             .participants = participants};
    for (const int number : listed) {
        const std::string name = std::to_string(number) + ".mp3";
        // A listed file that is not there is listed as the station lists a recording that
        // never started.
        if (!fs::exists(InFolder(name))) {
            report.recordings.push_back(interview_format::NotStartedEntry(name));
            continue;
        }
        const std::string bytes = ReadFile(InFolder(name));
        report.recordings.push_back({.name = name,
                                     .created = "05-03-2026 09.15.00",
                                     .size = static_cast<std::int64_t>(bytes.size()),
                                     .crc32 = static_cast<std::uint32_t>(
                                         crc32(0, reinterpret_cast<const Bytef*>(bytes.data()),
                                               static_cast<uInt>(bytes.size())))});
    }
    platform::ReplaceFileContent(InFolder(ReportName), interview_format::FormatReport(report));
}

void InterviewFixture::PutRecording(int number, const std::string& mp3) const {
    fs::copy_file(mp3, InFolder(std::to_string(number) + ".mp3"),
                  fs::copy_options::overwrite_existing);
}

std::string InterviewFixture::Zip(const std::string& name) const {
    const std::string path = Scratch(name);
    const archive::TCompressArchiveClass* format = archive::ArchiveFormats().CompressClassFor(path);
    if (!format)
        throw std::runtime_error("no archive format for " + path);
    std::unique_ptr<archive::TCompressArchive> zip = format->Create(path, 0, false);
    zip->AddDirectory(archive::Utf8ToWide(FolderName), Scratch(FolderName), true, true);
    zip->Compress();
    return path;
}

} // namespace interview_check::testing
