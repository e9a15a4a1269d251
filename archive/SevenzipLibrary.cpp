#include "archive/SevenzipLibrary.h"

#include "archive/CompressionErrors.h"
#include "platform/RuntimeLibrary.h"
#include "platform/RuntimeLibraryCandidates.h"

namespace archive::sevenzip {
namespace {

// Every published entry point must be there for the library to count as the right one.
void BindSevenZip(platform::EntryPointBinder& binder, TSevenzipLibrary& entries) {
    binder.Called(entries.CreateObject, "CreateObject");
    binder.Called(entries.SysAllocString, "SysAllocString");
    binder.Called(entries.SysFreeString, "SysFreeString");
    for (const char* name : {"GetHandlerProperty2", "GetHandlerProperty", "GetMethodProperty",
                             "GetNumberOfFormats", "GetNumberOfMethods", "SetLargePageMode"})
        binder.Exported(name);
}

} // namespace

platform::RuntimeLibrary<TSevenzipLibrary>& Library() {
    static platform::RuntimeLibrary<TSevenzipLibrary> library(platform::SevenZipLibraryCandidates,
                                                              &BindSevenZip);
    return library;
}

const TSevenzipLibrary* LoadSevenZipLibrary() {
    return Library().Load() ? &Library().Get() : nullptr;
}

const TSevenzipLibrary& RequireSevenZipLibrary() {
    if (!Library().Load())
        throw ECompressionError("Sevenzip: Failed to load " + Library().FileName(),
                                {platform::FailureKind::LibraryMissing, 0});
    return Library().Get();
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
