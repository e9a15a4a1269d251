#include "platform/DynamicLibrary.h"

#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

void* TryOpen(const std::string& path) {
    // Libraries stay mapped for the life of the process even after their handle is closed: code
    // they started (threads, callbacks) may still run during shutdown.
    return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}

// Where an installed program keeps the project's own libraries, relative to the program's folder
// (set by the build from the install layout).
constexpr const char* PrivateLibraryFolder = STATION_PRIVATE_LIBRARY_DIR_FROM_PROGRAMS;

} // namespace

std::string ExecutableFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    std::string folder(path, static_cast<std::size_t>(length));
    return folder.substr(0, folder.find_last_of('/'));
}

std::optional<DynamicLibrary> DynamicLibrary::Load(const std::string& fileName,
                                                   std::string* failure) {
    void* handle = nullptr;
    if (fileName.find('/') == std::string::npos) {
        const std::string programFolder = ExecutableFolder();
        handle = TryOpen(programFolder + "/" + fileName);
        if (!handle)
            handle =
                TryOpen((std::filesystem::path(programFolder) / PrivateLibraryFolder / fileName)
                            .lexically_normal());
    }
    if (!handle)
        handle = TryOpen(fileName);
    if (!handle) {
        const char* reason = ::dlerror();
        if (failure)
            *failure = reason ? reason : fileName + ": cannot be loaded";
        return std::nullopt;
    }
    return DynamicLibrary(handle);
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
        if (handle_)
            ::dlclose(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

DynamicLibrary::~DynamicLibrary() {
    if (handle_)
        ::dlclose(handle_);
}

void* DynamicLibrary::Symbol(const char* name) const {
    return ::dlsym(handle_, name);
}

std::string LoadedFileHolding(const void* address) {
    Dl_info info{};
    if (address == nullptr || ::dladdr(address, &info) == 0 || info.dli_fname == nullptr)
        return {};
    return info.dli_fname;
}

} // namespace platform
