// For tests: a private home folder whose Desktop stands in for the user's real one. While the
// object lives, HOME and XDG_CONFIG_HOME point into a fresh temporary folder (without
// user-dirs.dirs), so the Desktop folder is <home>/Desktop; both variables and the folder are
// restored and removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace platform::testing {

class TemporaryDesktop {
public:
    TemporaryDesktop() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "station-home.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary home folder");
        home_ = pattern;
        Set("HOME", home_, savedHome_);
        Set("XDG_CONFIG_HOME", home_ + "/.config", savedConfig_);
    }
    TemporaryDesktop(const TemporaryDesktop&) = delete;
    TemporaryDesktop& operator=(const TemporaryDesktop&) = delete;
    ~TemporaryDesktop() {
        Restore("HOME", savedHome_);
        Restore("XDG_CONFIG_HOME", savedConfig_);
        std::error_code ignored;
        std::filesystem::permissions(home_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(home_, ignored);
    }

    const std::string& Home() const { return home_; }
    // Not created: the station creates what it needs.
    std::string Desktop() const { return home_ + "/Desktop"; }

private:
    static void Set(const char* name, const std::string& value, std::optional<std::string>& saved) {
        if (const char* old = std::getenv(name))
            saved = old;
        ::setenv(name, value.c_str(), 1);
    }
    static void Restore(const char* name, const std::optional<std::string>& saved) {
        if (saved)
            ::setenv(name, saved->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::string home_;
    std::optional<std::string> savedHome_;
    std::optional<std::string> savedConfig_;
};

} // namespace platform::testing
