// A real interview for the verifier's tests: recordings encoded by the lame tool, the report
// formatted by the interview format as the station formats it and the folder packed by the
// project's archive writer as the station packs it at the close; then the ways such an archive goes
// wrong.
#pragma once

#include "testsupport/TemporaryFolder.h"

#include <string>
#include <vector>

namespace interview_check::testing {

struct CommandResult {
    int exitCode = -1;
    std::string output; // standard output
};

// Runs `command` through the shell; its standard error is left alone unless redirected.
CommandResult RunCommand(const std::string& command);
std::string Quoted(const std::string& text);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// zip_surgery.py with its arguments; fails the test when the script does.
void ZipSurgery(const std::string& arguments);

// A short MP3 recording made by lame, distinct for each `tone`.
std::string Recording(int tone, double seconds = 1.0);
// An MP3 recording made by lame from what sox makes of `input` with `effects` (e.g. "-n" and
// "synth 40 sine 1000 vol 0.1"), as 44.1 kHz mono; cached under `name`.
std::string SoxRecording(const std::string& name, const std::string& input,
                         const std::string& effects);

class InterviewFixture {
public:
    // Recordings 1.mp3 .. `recordings`.mp3 of school 000145, room 012, saved on 5 March 2026
    // and closed on 6 March 2026, with their report.
    explicit InterviewFixture(int recordings = 3);
    InterviewFixture(const InterviewFixture&) = delete;
    InterviewFixture& operator=(const InterviewFixture&) = delete;

    static constexpr const char* FolderName = "01-05032026-000145-012";
    static constexpr const char* ReportName = "01-06032026-000000-000145-012.csv";
    // The report's school name, as WriteReport writes it.
    std::string schoolName = "Школа №1; корпус 2";

    std::string Scratch(const std::string& name) const { return scratch_ / name; }
    std::string InFolder(const std::string& name) const {
        return scratch_ / (std::string(FolderName) + "/" + name);
    }
    std::string ReportBytes() const { return ReadFile(InFolder(ReportName)); }
    // The report as the station writes it, listing recordings `listed` (one not in the folder as
    // a recording that never started) and closing with the count `participants`.
    void WriteReport(const std::vector<int>& listed, int participants) const;
    // Puts a copy of `mp3` in the folder as `number`.mp3; the report is written anew by the caller.
    void PutRecording(int number, const std::string& mp3) const;
    // The folder packed by the archive writer into Scratch(name).
    std::string Zip(const std::string& name = "interview.zip") const;

private:
    testsupport::TemporaryFolder scratch_{"verifier-test"};
};

} // namespace interview_check::testing
