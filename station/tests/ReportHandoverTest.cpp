// The report entries cross threads: each finished file's entry comes from the recording's worker
// while the GUI thread starts the report, counts it and reads its lines (run under
// ThreadSanitizer as well).
#include "station/core/ReportLines.h"
#include "station/tests/CoreFixture.h"

#include <thread>

using namespace station;

namespace {

TEST(ReportHandoverTest, EntriesFromAnotherThreadArriveWholeAndInOrder) {
    ReportLines report;
    report.Begin({.examDate = "05.03.2026", .schoolCode = "000145", .room = "012"});
    constexpr int Count = 2000;
    std::thread worker([&] {
        for (int i = 1; i <= Count; ++i)
            report.Add({.name = std::to_string(i) + ".mp3", .created = "05-03-2026 09.15.00"});
    });
    std::int64_t counted = 0;
    while (counted < Count) {
        const std::int64_t now = *report.Counted().participants;
        ASSERT_GE(now, counted);
        counted = now;
        ASSERT_GE(report.Lines().size(), static_cast<std::size_t>(5 + counted + 1));
    }
    worker.join();
    const std::vector<std::string> lines = report.Lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(5 + Count + 1));
    for (int i = 1; i <= Count; ++i)
        ASSERT_EQ(lines[4 + i], std::to_string(i) + ".mp3;05-03-2026 09.15.00;0;00000000");
    EXPECT_EQ(lines.back(), "Участников;" + std::to_string(Count));
}

// The real hand-over: the worker appends each file's line while the GUI thread runs the close.
class ReportHandoverRecordingTest : public coretest::CoreFixture {};

TEST_F(ReportHandoverRecordingTest, EachFinishedFileIsReportedBeforeTheNextStarts) {
    OpenInterview();
    interview_->StartRecording();
    coretest::Pump(0.5);
    interview_->NextParticipant();
    ASSERT_EQ(interview_->Report().size(), 6u);
    coretest::Pump(0.5);
    CloseInterview();
    const std::vector<std::string> report = interview_->Report();
    ASSERT_EQ(report.size(), 8u);
    EXPECT_TRUE(report[5].starts_with("1.mp3;")) << report[5];
    EXPECT_TRUE(report[6].starts_with("2.mp3;")) << report[6];
    EXPECT_EQ(report[7], "Участников;2");
}

} // namespace
