// A scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace archive::testing {

class TestFolder {
public:
    TestFolder() {
        std::random_device random;
        for (;;) {
            path_ = (std::filesystem::temp_directory_path() /
                     ("archive-test-" + std::to_string(random())))
                        .string();
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The full path of `relative` inside the folder.
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }
    const std::string& Path() const { return path_; }

    std::string Folder(const std::string& relative) const {
        std::filesystem::create_directories(*this / relative);
        return *this / relative;
    }
    std::string File(const std::string& relative, const std::string& content) const {
        const std::string path = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

private:
    std::string path_;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace archive::testing
