// The station's read-back of the archive it has just written: a sound archive is confirmed with
// its recording count; the first wrong entry is named with the reason; and the read-back never
// calls an archive sound that the receiver's check refuses, nor the other way round.
#include "verifier/ReadBack.h"

#include "verifier/ArchiveCheck.h"
#include "verifier/tests/InterviewFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace interview_check {
namespace {

using testing::InterviewFixture;
using testing::Quoted;

constexpr const char* Folder = InterviewFixture::FolderName;

ReadBackResult ReadBack(const std::string& archive, const std::string& reportOnDisk) {
    return ReadBackArchive(archive, Folder, InterviewFixture::ReportName, reportOnDisk);
}

TEST(ReadBackTest, ASoundArchiveIsConfirmedWithItsRecordingCount) {
    const InterviewFixture interview(3);
    const ReadBackResult result = ReadBack(interview.Zip(), interview.ReportBytes());
    EXPECT_TRUE(result.sound) << result.badEntry << ", " << result.reason;
    EXPECT_EQ(result.recordings, 3u);
    EXPECT_EQ(ReadBackMessage(result), "Архив проверен: 3 записи, контрольные суммы совпадают.");
}

// A participant whose recording never started is listed without a file; the archive is proven
// with the recordings it holds.
TEST(ReadBackTest, ARecordingThatNeverStartedIsNoFault) {
    const InterviewFixture interview(3);
    std::filesystem::remove(interview.InFolder("2.mp3"));
    interview.WriteReport({1, 2, 3}, 3);
    const ReadBackResult result = ReadBack(interview.Zip(), interview.ReportBytes());
    EXPECT_TRUE(result.sound) << result.badEntry << ", " << result.reason;
    EXPECT_EQ(ReadBackMessage(result), "Архив проверен: 2 записи, контрольные суммы совпадают.");
}

TEST(ReadBackTest, TheFirstWrongEntryIsNamedWithTheReason) {
    namespace fs = std::filesystem;
    const std::string inside;
    struct Case {
        std::string label;
        // Changes the interview or its archive; returns the report as it stands on disk.
        std::function<std::string(const InterviewFixture&, const std::string& archive)> damage;
        std::string badEntry;
        std::string reason;
        bool zipAfterDamage = false; // the damage is done to the folder before it is packed
    };
    const std::vector<Case> cases = {
        {"a byte flipped in the archive",
         [&](const InterviewFixture& interview, const std::string& archive) {
             testing::ZipSurgery("flip " + Quoted(archive) + " " +
                                 Quoted(std::string(Folder) + "/2.mp3"));
             return interview.ReportBytes();
         },
         inside + "2.mp3", "контрольная сумма не совпадает"},
        {"a recording changed after its line was written",
         [](const InterviewFixture& interview, const std::string&) {
             std::string bytes = testing::ReadFile(interview.InFolder("3.mp3"));
             bytes[bytes.size() / 2] ^= 0x01;
             testing::WriteFile(interview.InFolder("3.mp3"), bytes);
             return interview.ReportBytes();
         },
         inside + "3.mp3", "контрольная сумма не совпадает", true},
        {"a recording missing from the archive",
         [](const InterviewFixture& interview, const std::string&) {
             fs::remove(interview.InFolder("2.mp3"));
             return interview.ReportBytes();
         },
         inside + "2.mp3", "нет в архиве", true},
        {"a recording the report does not list",
         [](const InterviewFixture& interview, const std::string&) {
             fs::copy_file(testing::Recording(4), interview.InFolder("4.mp3"));
             return interview.ReportBytes();
         },
         inside + "4.mp3", "лишняя запись", true},
        {"a report on disk that differs from the packed one",
         [](const InterviewFixture& interview, const std::string&) {
             std::string report = interview.ReportBytes();
             report.replace(report.rfind(';') + 1, 1, "7");
             return report;
         },
         inside + InterviewFixture::ReportName, "отчёт в архиве отличается"},
        {"a recording shorter than its line says",
         [](const InterviewFixture& interview, const std::string&) {
             const std::string bytes = testing::ReadFile(interview.InFolder("1.mp3"));
             testing::WriteFile(interview.InFolder("1.mp3"), bytes.substr(0, bytes.size() - 100));
             return interview.ReportBytes();
         },
         inside + "1.mp3", "размер не совпадает", true},
        {"a file that is no archive",
         [](const InterviewFixture& interview, const std::string& archive) {
             testing::WriteFile(archive, "not a zip at all");
             return interview.ReportBytes();
         },
         "interview.zip", "не является zip-архивом"},
        {"a note the report does not list",
         [](const InterviewFixture& interview, const std::string&) {
             testing::WriteFile(interview.InFolder("notes.txt"), "a note");
             return interview.ReportBytes();
         },
         "notes.txt", "лишняя запись", true},
        {"an archive cut short",
         [](const InterviewFixture& interview, const std::string& archive) {
             fs::resize_file(archive, fs::file_size(archive) * 2 / 3);
             return interview.ReportBytes();
         },
         "interview.zip", "архив обрезан"},
    };
    for (const Case& c : cases) {
        const InterviewFixture interview(3);
        std::string reportOnDisk;
        std::string archive = interview.Scratch("interview.zip");
        if (c.zipAfterDamage) {
            reportOnDisk = c.damage(interview, archive);
            interview.Zip();
        } else {
            interview.Zip();
            reportOnDisk = c.damage(interview, archive);
        }
        const ReadBackResult result = ReadBack(archive, reportOnDisk);
        EXPECT_FALSE(result.sound) << c.label;
        EXPECT_EQ(result.badEntry, c.badEntry) << c.label;
        EXPECT_EQ(result.reason.find(c.reason), 0u) << c.label << ": " << result.reason;
        EXPECT_EQ(ReadBackMessage(result),
                  "Архив не прошёл проверку: " + result.badEntry + ", " + result.reason + ".");
    }
}

// The same archives through the receiver's check and through the station's read-back, with the
// report on disk as it was packed: one verdict.
TEST(ReadBackTest, TheReadBackAgreesWithTheReceiversCheck) {
    namespace fs = std::filesystem;
    struct Case {
        std::string label;
        std::function<void(const InterviewFixture&)> change; // done to the folder before packing
        bool sound;
    };
    const auto replaceRecording = [](const InterviewFixture& interview, int number,
                                     const std::string& bytes) {
        testing::WriteFile(interview.InFolder(std::to_string(number) + ".mp3"), bytes);
        interview.WriteReport({1, 2, 3}, 3);
    };
    const std::string sound = testing::ReadFile(testing::Recording(2));
    const std::vector<Case> cases = {
        {"three sound recordings", [](const InterviewFixture&) {}, true},
        {"a recording that never started",
         [](const InterviewFixture& interview) {
             fs::remove(interview.InFolder("3.mp3"));
             interview.WriteReport({1, 2, 3}, 3);
         },
         true},
        {"an empty recording listed with size 0",
         [&](const InterviewFixture& interview) { replaceRecording(interview, 2, ""); }, false},
        {"a recording cut inside a frame",
         [&](const InterviewFixture& interview) {
             replaceRecording(interview, 2, sound.substr(0, sound.size() / 2 + 5));
         },
         false},
        {"an ID3v2 block between frames",
         [&](const InterviewFixture& interview) {
             // 834 bytes: the encoder's information frame and the first audio frame, 417 each at
             // 128 kbit/s and 44.1 kHz without padding.
             std::string block = "ID3\x04" + std::string(1, '\0') + std::string(1, '\0');
             block += std::string("\x00\x00\x08\x00", 4) + std::string(1024, '\0');
             replaceRecording(interview, 2, sound.substr(0, 834) + block + sound.substr(834));
         },
         false},
        {"a note in the folder",
         [](const InterviewFixture& interview) {
             testing::WriteFile(interview.InFolder("notes.txt"), "a note");
         },
         false},
        {"no recording line",
         [](const InterviewFixture& interview) {
             for (const char* name : {"1.mp3", "2.mp3", "3.mp3"})
                 fs::remove(interview.InFolder(name));
             interview.WriteReport({}, 1);
         },
         false},
        {"a count beyond the last line",
         [](const InterviewFixture& interview) {
             interview.WriteReport({1, 2, 3}, 4);
         },
         false},
    };
    for (const Case& c : cases) {
        const InterviewFixture interview(3);
        c.change(interview);
        const std::string archive = interview.Zip();
        const bool receiver = CheckArchive(archive).Sound();
        const ReadBackResult station = ReadBack(archive, interview.ReportBytes());
        EXPECT_EQ(receiver, c.sound) << c.label;
        EXPECT_EQ(station.sound, receiver)
            << c.label << ": " << station.badEntry << ", " << station.reason;
    }
}

TEST(ReadBackTest, TheCountAgreesWithItsNumber) {
    const std::vector<std::pair<std::size_t, std::string>> cases = {
        {0, "0 записей"},  {1, "1 запись"},      {2, "2 записи"},     {4, "4 записи"},
        {5, "5 записей"},  {11, "11 записей"},   {14, "14 записей"},  {21, "21 запись"},
        {22, "22 записи"}, {111, "111 записей"}, {101, "101 запись"}, {112, "112 записей"},
    };
    for (const auto& [count, text] : cases)
        EXPECT_EQ(RecordingCountText(count), text);
}

} // namespace
} // namespace interview_check
