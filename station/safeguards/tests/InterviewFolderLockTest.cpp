#include "station/safeguards/InterviewFolderLock.h"

#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace station;

namespace {

TEST(InterviewFolderLockTest, SecondWindowIsToldTheInterviewIsInProgress) {
    const testsupport::TemporaryFolder scratch("interview");
    const std::filesystem::path folder = scratch.Path();
    {
        platform::FolderLock held = ClaimInterviewFolder(folder.string());
        try {
            ClaimInterviewFolder(folder.string());
            FAIL() << "the interview folder was claimed twice";
        } catch (const InterviewInUse& refusal) {
            EXPECT_STREQ(refusal.what(), "Это собеседование уже ведётся в другом окне программы.");
        }
    }
    EXPECT_NO_THROW(ClaimInterviewFolder(folder.string()));

    // A folder that cannot be locked is no claim elsewhere: the system's reason is passed on.
    EXPECT_THROW(ClaimInterviewFolder((folder / "missing").string()), platform::FileError);
}

} // namespace
