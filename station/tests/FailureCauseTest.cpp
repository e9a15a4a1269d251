// Real faults, each raised where it happens (the sound server, the capture device, the file system,
// the library loader), reach the operator with the Russian text of their cause and the layer's own
// text after it, on a sound server of the test's own.
#include "platform/RuntimeLibrary.h"
#include "station/core/Attempt.h"
#include "station/tests/CoreFixture.h"
#include "station/tests/PrivateSoundServer.h"
#include "testsupport/TemporaryFileSystem.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

using namespace station;

namespace {

namespace fs = std::filesystem;
using coretest::Pump;
using coretest::PumpUntil;

class FailureCauseTest;

struct CauseCase {
    const char* name;
    // Brings the fault about and returns what the operator was shown; empty when it could not be
    // brought about here (the reason is in `skipped`).
    std::function<std::string(FailureCauseTest&)> fault;
    const char* lead;  // what the station puts before the cause
    const char* cause; // the cause's Russian text
};

void PrintTo(const CauseCase& c, std::ostream* out) {
    *out << c.name;
}

class FailureCauseTest : public coretest::ServerHolder,
                         public coretest::CoreFixture,
                         public ::testing::WithParamInterface<CauseCase> {
public:
    ~FailureCauseTest() override {
        // The station lets go of the Desktop before its file system goes.
        subscriptions_.clear();
        check_.reset();
        interview_.reset();
    }

    std::string Shown(const std::string& lead) const {
        for (const std::string& text : boxes_.Texts())
            if (text.starts_with(lead))
                return text;
        return {};
    }

    // Starts the exam's recording, lets `fault` happen under it and waits for the failure's box.
    std::string RecordUntilFailure(const std::function<void()>& fault) {
        OpenInterview();
        interview_->StartRecording();
        Pump(1.0);
        if (!RecordingInto(Recording(1)))
            return "the recording did not start: " + ::testing::PrintToString(boxes_.Texts());
        fault();
        PumpUntil([&] { return !Shown("Ошибка записи: ").empty(); });
        return Shown("Ошибка записи: ");
    }

    // The Desktop moved onto a small file system of its own, mounted with `options`.
    bool DesktopOn(const std::string& options) {
        disk_.emplace(options);
        if (!disk_->Mounted()) {
            skipped = disk_->SkipReason();
            return false;
        }
        fs::remove_all(desktop_.Desktop());
        fs::create_directory_symlink(disk_->Folder(), desktop_.Desktop());
        return true;
    }

    std::string RecordOntoFullDisk() {
        // Room for the interview's folder and a few seconds of recording, no more.
        if (!DesktopOn("size=96k"))
            return {};
        return RecordUntilFailure([] {});
    }

    std::string OpenOnReadOnlyDisk() {
        if (!DesktopOn("ro"))
            return {};
        SaveParameters();
        if (interview_->ConfirmReadiness())
            return "the interview opened on a read-only Desktop";
        return Shown("Не удалось создать папку собеседования ");
    }

    std::string RecordAndStopTheServer() {
        return RecordUntilFailure([this] { server_->Stop(); });
    }

    std::string RecordAndUnloadTheMicrophone() {
        return RecordUntilFailure(
            [this] { EXPECT_TRUE(server_->Run("pactl unload-module module-sine-source")); });
    }

    static std::string LoadAMissingLibrary() {
        struct NoEntries {};
        platform::RuntimeLibrary<NoEntries> library("libstation-never-installed.so.0",
                                                    [](platform::EntryPointBinder&, NoEntries&) {});
        const Outcome loaded = Attempt([&] { library.Require(); });
        return loaded ? "the missing library loaded" : loaded.Message().text;
    }

    std::string skipped;

private:
    std::optional<testsupport::TemporaryFileSystem> disk_;
};

const CauseCase CauseCases[] = {
    {"SoundServerKilled", &FailureCauseTest::RecordAndStopTheServer,
     "Ошибка записи: ", "Микрофон недоступен"},
    {"MicrophoneUnloaded", &FailureCauseTest::RecordAndUnloadTheMicrophone,
     "Ошибка записи: ", "Микрофон отключён"},
    {"FullDisk", &FailureCauseTest::RecordOntoFullDisk, "Ошибка записи: ", "Нет места на диске"},
    {"ReadOnlyFolder", &FailureCauseTest::OpenOnReadOnlyDisk,
     "Не удалось создать папку собеседования ", "Нет доступа к папке"},
    {"MissingLibrary", [](FailureCauseTest&) { return FailureCauseTest::LoadAMissingLibrary(); },
     "", "Не найдена нужная библиотека программы"},
};

TEST_P(FailureCauseTest, ReachesTheOperatorWithItsRussianText) {
    const CauseCase& c = GetParam();
    const std::string shown = c.fault(*this);
    if (shown.empty() && !skipped.empty())
        GTEST_SKIP() << skipped;
    EXPECT_TRUE(shown.starts_with(c.lead)) << shown;
    // The cause first, the layer's own text after it in parentheses.
    const std::string cause = std::string(c.cause) + " (";
    const std::string::size_type at = shown.find(cause);
    ASSERT_NE(at, std::string::npos) << shown;
    EXPECT_TRUE(at == std::string(c.lead).size() || shown.compare(at - 2, 2, ": ") == 0) << shown;
}

INSTANTIATE_TEST_SUITE_P(Faults, FailureCauseTest, ::testing::ValuesIn(CauseCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
