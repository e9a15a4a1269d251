// The 7-Zip library, loaded from where the system keeps it on first need and kept for the life of
// the process.
#pragma once

#include "archive/SevenzipInterfaces.h"
#include "platform/RuntimeLibrary.h"

#include <string>

namespace archive::sevenzip {

struct TSevenzipLibrary {
    using CreateObjectFunction = HRESULT (*)(const GUID* classId, const GUID* iid, void** object);
    using SysAllocStringFunction = BSTR (*)(const wchar_t* text);
    using SysFreeStringFunction = void (*)(BSTR text);

    CreateObjectFunction CreateObject = nullptr;
    SysAllocStringFunction SysAllocString = nullptr;
    SysFreeStringFunction SysFreeString = nullptr;
};

// The library's loader (its file name, its entry points, why it could not be loaded).
platform::RuntimeLibrary<TSevenzipLibrary>& Library();
// The loaded library, or nullptr when it is missing, cannot be loaded or lacks one of its entry
// points; a failed load is tried again at the next need.
const TSevenzipLibrary* LoadSevenZipLibrary();
// The loaded library, or ECompressionError "Sevenzip: Failed to load 7z.so".
const TSevenzipLibrary& RequireSevenZipLibrary();

// A string allocated by the library's allocator, so that the library can free it.
BSTR AllocateLibraryString(const std::wstring& text);
void FreeLibraryString(BSTR text);

} // namespace archive::sevenzip
