// The report lines cross threads: each finished file's line comes from the recording's worker
// while the GUI thread adds the header and the count line and reads the list (run under
// ThreadSanitizer as well).
#include "station/core/ReportLines.h"
#include "station/tests/CoreFixture.h"

#include <thread>

namespace {

TEST(ReportHandoverTest, LinesFromAnotherThreadArriveWholeAndInOrder) {
    ReportLines report;
    report.Append(std::vector<std::string>{"h1", "h2", "h3", "h4", "h5"});
    constexpr int Count = 2000;
    std::thread worker([&] {
        for (int i = 0; i < Count; ++i)
            report.Append(std::to_string(i) + ".mp3;line");
    });
    std::size_t seen = 0;
    while (seen < Count + 5) {
        report.Append("Участников;1");
        report.DropCountLines();
        const std::vector<std::string> lines = report.Lines();
        ASSERT_GE(lines.size(), seen);
        seen = lines.size();
    }
    worker.join();
    const std::vector<std::string> lines = report.Lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(Count + 5));
    for (int i = 0; i < Count; ++i)
        ASSERT_EQ(lines[5 + i], std::to_string(i) + ".mp3;line");
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
