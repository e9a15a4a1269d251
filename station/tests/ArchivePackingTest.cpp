// The close's archive is packed on a thread of its own: the GUI thread goes on with its events
// while a large interview folder is packed, and the progress it is told moves to the total.
#include "station/tests/CoreFixture.h"

#include <fstream>

using namespace station;

namespace {

class ArchivePackingTest : public coretest::CoreFixture {
protected:
    // MP3 frames of `bytes` in all whose audio data is noise, so that they do not compress.
    static std::string NoisyMp3(std::size_t bytes, std::uint32_t seed) {
        std::string mp3 = SilentMp3(static_cast<int>(bytes / 417 + 1));
        for (std::size_t frame = 0; frame < mp3.size(); frame += 417)
            for (std::size_t i = frame + 4; i < frame + 417; ++i)
                mp3[i] = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
        return mp3;
    }
};

TEST_F(ArchivePackingTest, TheGuiThreadRunsWhileALargeFolderIsPackedAndProgressMoves) {
    // Recordings of data that does not compress: deflating them takes a while.
    constexpr int Files = 6;
    constexpr std::size_t FileBytes = 4 * 1024 * 1024;
    std::vector<std::string> recordings;
    for (int n = 1; n <= Files; ++n)
        recordings.push_back(NoisyMp3(FileBytes, 2026 + n));
    OpenInterviewWith(recordings);
    interview_->Close();
    // Close returned at once: the packing goes on while this thread handles its events.
    EXPECT_TRUE(Packing());
    int turns = 0;
    ASSERT_TRUE(coretest::PumpUntil(
        [&] {
            ++turns;
            return !Packing();
        },
        300));
    EXPECT_GT(turns, 10);

    const std::vector<PackingProgress>& seen = interviewSeen_.packing;
    ASSERT_GE(seen.size(), 3u);
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_GE(seen[i].bytesDone, seen[i - 1].bytesDone);
        EXPECT_GE(seen[i].filesDone, seen[i - 1].filesDone);
    }
    const std::uint64_t total = seen.back().bytesTotal;
    EXPECT_GE(total, Files * FileBytes);
    EXPECT_EQ(seen.back().filesTotal, Files + 1u); // and the report
    EXPECT_EQ(seen.back().bytesDone, total);
    EXPECT_EQ(seen.back().filesDone, seen.back().filesTotal);
    // Some report fell between the start and the end.
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [&](const PackingProgress& p) {
        return p.bytesDone > 0 && p.bytesDone < total;
    }));
    ASSERT_TRUE(interviewSeen_.proof);
    EXPECT_TRUE(interviewSeen_.proof->sound) << interviewSeen_.proof->text;
    EXPECT_EQ(interviewSeen_.exam.banner, RecordingBanner::None);
    EXPECT_TRUE(interviewSeen_.exam.exitShown);
}

// Quitting while the archive is packed asks first, and on OK waits for the whole archive.
TEST_F(ArchivePackingTest, QuittingDuringThePackingWaitsForTheArchive) {
    OpenInterviewWith({SilentMp3(8 * 1024 * 1024 / 417)});
    interview_->Close();
    ASSERT_TRUE(Packing());
    boxes_.Clear();
    EXPECT_TRUE(interview_->MayQuit());
    EXPECT_EQ(boxes_.Texts(),
              std::vector<std::string>{"Архив ещё упаковывается. Выйти из программы?"});
    EXPECT_FALSE(Packing());
    ASSERT_TRUE(interviewSeen_.proof);
    EXPECT_TRUE(interviewSeen_.proof->sound) << interviewSeen_.proof->text;
}

} // namespace
