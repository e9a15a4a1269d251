// Run-time loading of a shared library. A bare file name is searched in the folder of the running
// program first (the project's own libraries lie next to it in a build), then in the project's
// private library folder of an installed program (lib/interview-station beside bin/), then in the
// system's search path; a path (holding a "/") is loaded as it is.
#pragma once

#include <optional>
#include <string>

namespace platform {

class DynamicLibrary {
public:
    // Nothing when the library cannot be found or loaded; `failure` (when given) then says why.
    static std::optional<DynamicLibrary> Load(const std::string& fileName,
                                              std::string* failure = nullptr);

    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;
    ~DynamicLibrary();

    // The address of an exported symbol, or nullptr.
    void* Symbol(const char* name) const;
    template <typename Function> Function Entry(const char* name) const {
        return reinterpret_cast<Function>(Symbol(name));
    }

private:
    explicit DynamicLibrary(void* handle) : handle_(handle) {}
    void* handle_ = nullptr;
};

// The folder of the running program, without a trailing "/".
std::string ExecutableFolder();

// The file of the loaded library (or program) that holds `address`, or "" when none does.
std::string LoadedFileHolding(const void* address);

} // namespace platform
