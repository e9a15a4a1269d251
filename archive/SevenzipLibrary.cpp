#include "archive/SevenzipLibrary.h"

#include "archive/CompressionErrors.h"
#include "platform/DynamicLibrary.h"

#include <mutex>
#include <optional>

namespace archive::sevenzip {
namespace {

// Debian's p7zip-full keeps the library outside the system's search path.
constexpr const char* DebianLibraryFolder = "/usr/lib/p7zip";

struct LoadedLibrary {
    platform::DynamicLibrary Module;
    TSevenzipLibrary Entries;
};

std::mutex loadLock;
std::string libraryFileName = "7z.so";
std::optional<LoadedLibrary> loaded;

std::optional<LoadedLibrary> TryLoad() {
    auto module = platform::DynamicLibrary::Load(libraryFileName, {DebianLibraryFolder});
    if (!module)
        return std::nullopt;
    // Every published entry point must be there for the library to count as the right one.
    for (const char* name : {"CreateObject", "GetHandlerProperty2", "GetHandlerProperty",
                             "GetMethodProperty", "GetNumberOfFormats", "GetNumberOfMethods",
                             "SetLargePageMode", "SysAllocString", "SysFreeString"})
        if (!module->Symbol(name))
            return std::nullopt;
    TSevenzipLibrary entries;
    entries.CreateObject = module->Entry<TSevenzipLibrary::CreateObjectFunction>("CreateObject");
    entries.SysAllocString =
        module->Entry<TSevenzipLibrary::SysAllocStringFunction>("SysAllocString");
    entries.SysFreeString = module->Entry<TSevenzipLibrary::SysFreeStringFunction>("SysFreeString");
    return LoadedLibrary{std::move(*module), entries};
}

} // namespace

const TSevenzipLibrary* LoadSevenZipLibrary() {
    std::lock_guard guard(loadLock);
    if (!loaded)
        loaded = TryLoad();
    return loaded ? &loaded->Entries : nullptr;
}

const TSevenzipLibrary& RequireSevenZipLibrary() {
    const TSevenzipLibrary* library = LoadSevenZipLibrary();
    if (!library) {
        std::lock_guard guard(loadLock);
        throw ECompressionError("Sevenzip: Failed to load " + libraryFileName);
    }
    return *library;
}

void SetSevenZipLibraryFileName(const std::string& fileName) {
    std::lock_guard guard(loadLock);
    libraryFileName = fileName;
    loaded.reset();
}

BSTR AllocateLibraryString(const std::wstring& text) {
    BSTR result = RequireSevenZipLibrary().SysAllocString(text.c_str());
    if (!result)
        throw std::bad_alloc();
    return result;
}

void FreeLibraryString(BSTR text) {
    if (text)
        RequireSevenZipLibrary().SysFreeString(text);
}

} // namespace archive::sevenzip
