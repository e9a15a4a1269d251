// For GUI tests: one application object for the whole test program, created before the first test
// and destroyed after the last, with the station's exception rule and the GUI hand-over pump.
// Include it in one source of a GUI test program.
#pragma once

#include "platform/qt/GuardedApplication.h"
#include "platform/qt/GuiHandoverPump.h"

#include <gtest/gtest.h>
#include <memory>

namespace testsupport {

class QtTestApplication : public ::testing::Environment {
public:
    void SetUp() override {
        application_ = std::make_unique<platform::GuardedApplication>(argc_, argv_);
        platform::InstallGuiHandoverPump();
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "station-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<platform::GuardedApplication> application_;
};

// Registers the environment when the test program starts.
inline ::testing::Environment* const qtTestApplication =
    ::testing::AddGlobalTestEnvironment(new QtTestApplication);

} // namespace testsupport
