#include "platform/RuntimeLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The C library's mathematics, present on every system: a stand-in with known entry points.
struct MathEntries {
    double (*cos)(double) = nullptr;
    double (*sin)(double) = nullptr;
    double (*absent)(double) = nullptr;
};

void BindCalled(platform::EntryPointBinder& b, MathEntries& e) {
    b.Called(e.cos, "cos");
    b.Optional(e.absent, "station_no_such_function");
}

void BindMissing(platform::EntryPointBinder& b, MathEntries& e) {
    b.Called(e.cos, "cos");
    b.Called(e.sin, "station_missing_one");
    b.Exported("station_missing_two");
}

TEST(RuntimeLibrary, LoadsOnceAndLeavesMissingOptionalEntriesNull) {
    platform::RuntimeLibrary<MathEntries> math("libm.so.6", &BindCalled);
    EXPECT_FALSE(math.Loaded());
    ASSERT_TRUE(math.Load()) << math.LoadError();
    EXPECT_TRUE(math.Loaded());
    EXPECT_EQ(math.Get().cos(0.0), 1.0);
    EXPECT_EQ(math.Get().absent, nullptr);
    EXPECT_EQ(&math.Require(), &math.Get());
    EXPECT_EQ(math.LoadError(), "");
}

TEST(RuntimeLibrary, LibraryLackingRequiredEntriesIsNotLoadedAndNamesThem) {
    platform::RuntimeLibrary<MathEntries> math("libm.so.6", &BindMissing);
    EXPECT_FALSE(math.Load());
    EXPECT_FALSE(math.Loaded());
    EXPECT_EQ(math.LoadError(),
              "libm.so.6: lacks the entry point station_missing_one, station_missing_two");
    try {
        math.Require();
        FAIL() << "a library without its entry points was handed out";
    } catch (const platform::LibraryLoadError& e) {
        EXPECT_EQ(std::string(e.what()), math.LoadError());
    }
}

TEST(RuntimeLibrary, MissingFileIsTriedAgainUnderANewName) {
    platform::RuntimeLibrary<MathEntries> math("libstation-absent.so", &BindCalled);
    EXPECT_FALSE(math.Load());
    EXPECT_NE(math.LoadError().find("libstation-absent.so"), std::string::npos);
    EXPECT_THROW(math.Require(), platform::LibraryLoadError);
    math.SetFileName("libm.so.6");
    EXPECT_TRUE(math.Load());
    EXPECT_EQ(math.LoadError(), "");
    math.SetFileName("libstation-absent.so");
    EXPECT_FALSE(math.Loaded());
}

} // namespace
