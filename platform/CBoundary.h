// The exported functions of the project's C libraries are called from C: no C++ exception may
// leave them. A failure inside is answered by the function's own error code.
#pragma once

#include <new>

namespace platform {

template <typename Result, typename Body>
Result CatchAtCBoundary(Result outOfMemory, Result otherFailure, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    } catch (...) {
        return otherFailure;
    }
}

} // namespace platform
