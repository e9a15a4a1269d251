// Which of a library's candidates the loader takes, on a folder of library files made for each
// case: the real libraries of each release are loaded by the station's own tests on that release.
#include "platform/DynamicLibrary.h"
#include "platform/RuntimeLibrary.h"
#include "testsupport/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

struct CandidateEntries {
    int (*entry)() = nullptr;
};

void BindEntry(platform::EntryPointBinder& b, CandidateEntries& e) {
    b.Called(e.entry, "station_candidate_entry");
}

enum class Kind { Library, OtherLibrary, NotALibrary };

struct Case {
    const char* name;
    std::map<std::string, Kind> files;   // what the folder holds
    std::vector<std::string> candidates; // in the folder, in the order tried
    std::string taken;                   // empty: none is taken
};

void Place(const testsupport::TemporaryFolder& folder, const std::string& name, Kind kind) {
    if (kind == Kind::NotALibrary) {
        folder.File(name, "not a shared library\n");
        return;
    }
    std::filesystem::create_directories(std::filesystem::path(folder / name).parent_path());
    std::filesystem::copy_file(kind == Kind::Library ? CANDIDATE_LIBRARY : OTHER_LIBRARY,
                               folder / name);
}

TEST(RuntimeLibraryCandidates, TakesTheFirstCandidateThatLoadsWithItsEntryPoints) {
    const Case cases[] = {
        {"both present: the first",
         {{"a.so", Kind::Library}, {"b.so", Kind::Library}},
         {"a.so", "b.so"},
         "a.so"},
        {"the first missing", {{"b.so", Kind::Library}}, {"a.so", "b.so"}, "b.so"},
        {"the first is no library",
         {{"a.so", Kind::NotALibrary}, {"b.so", Kind::Library}},
         {"a.so", "b.so"},
         "b.so"},
        {"the first lacks the entry point",
         {{"a.so", Kind::OtherLibrary}, {"b.so", Kind::Library}},
         {"a.so", "b.so"},
         "b.so"},
        {"in another folder under another name",
         {{"lib/7zip/7z.so", Kind::Library}, {"lib/p7zip/7z.so", Kind::Library}},
         {"lib/7zip/7z.so", "lib/p7zip/7z.so"},
         "lib/7zip/7z.so"},
        {"only the second folder",
         {{"lib/p7zip/7z.so", Kind::Library}},
         {"lib/7zip/7z.so", "lib/p7zip/7z.so"},
         "lib/p7zip/7z.so"},
        {"none present", {}, {"a.so", "b.so"}, ""},
        {"none usable",
         {{"a.so", Kind::NotALibrary}, {"b.so", Kind::OtherLibrary}},
         {"a.so", "b.so"},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TemporaryFolder folder;
        for (const auto& [name, kind] : c.files)
            Place(folder, name, kind);
        std::vector<std::string> candidates;
        for (const std::string& name : c.candidates)
            candidates.push_back(folder / name);
        platform::RuntimeLibrary<CandidateEntries> library(candidates, &BindEntry);

        if (c.taken.empty()) {
            EXPECT_FALSE(library.Load());
            EXPECT_THROW(library.Require(), platform::LibraryLoadError);
            // Every candidate is named with why it was not taken, in the order tried.
            std::size_t from = 0;
            for (const std::string& candidate : candidates) {
                const std::size_t at = library.LoadError().find(candidate + ": ", from);
                EXPECT_NE(at, std::string::npos) << library.LoadError();
                from = at == std::string::npos ? from : at + 1;
            }
            EXPECT_EQ(library.FileName(), platform::FileNameOf(candidates.front()));
            continue;
        }
        ASSERT_TRUE(library.Load()) << library.LoadError();
        EXPECT_EQ(library.Get().entry(), 7);
        EXPECT_EQ(platform::LoadedFileHolding(reinterpret_cast<const void*>(library.Get().entry)),
                  folder / c.taken);
        EXPECT_EQ(library.FileName(), std::filesystem::path(c.taken).filename());
        EXPECT_EQ(library.LoadError(), "");
    }
}

} // namespace
