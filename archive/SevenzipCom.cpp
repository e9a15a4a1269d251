#include "archive/SevenzipCom.h"

#include "archive/CompressionErrors.h"
#include "archive/Streams.h"
#include "platform/FileStream.h"

#include <cstdio>
#include <new>

namespace archive::sevenzip {

void TLibraryErrorRecord::Note(const std::string& message, platform::FailureCause cause) {
    std::lock_guard guard(lock_);
    if (message_.empty()) {
        message_ = message;
        cause_ = cause;
    }
}

std::string TLibraryErrorRecord::Take() {
    std::lock_guard guard(lock_);
    takenCause_ = std::exchange(cause_, {});
    return std::exchange(message_, {});
}

platform::FailureCause TLibraryErrorRecord::TakenCause() const {
    std::lock_guard guard(lock_);
    return takenCause_;
}

namespace {

// A file or stream error is passed on as the system error its failing call named, so that the
// library's own report of it carries that error's code.
HRESULT StreamErrorToResult(const platform::FailureCause& cause) {
    if (cause.errorNumber != 0)
        return ResultFromSystemError(static_cast<std::uint32_t>(cause.errorNumber));
    return E_FAIL;
}

} // namespace

HRESULT ErrorToResult(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const ECompressionCancelled&) {
        return E_ABORT;
    } catch (const ESystemError& failure) {
        return failure.ErrorCode;
    } catch (const platform::FileError& failure) {
        return StreamErrorToResult(failure.Cause());
    } catch (const EStreamError& failure) {
        return StreamErrorToResult(failure.Cause());
    } catch (...) {
        return E_UNEXPECTED;
    }
}

std::string ResultText(HRESULT result) {
    switch (result) {
    case E_NOTIMPL:
        return "Not implemented";
    case E_NOINTERFACE:
        return "No such interface supported";
    case E_ABORT:
        return "Operation aborted";
    case E_FAIL:
        return "Unspecified error";
    case E_OUTOFMEMORY:
        return "Not enough memory resources are available to complete this operation";
    case E_INVALIDARG:
        return "The parameter is incorrect";
    case E_UNEXPECTED:
        return "Catastrophic failure";
    default:
        break;
    }
    if ((static_cast<std::uint32_t>(result) & 0xFFFF0000u) == 0x80070000u)
        return platform::SystemErrorText(static_cast<int>(result & 0xFFFF));
    return {};
}

namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

} // namespace

void CheckResult(HRESULT result, TLibraryErrorRecord* record) {
    if (result >= 0)
        return;
    std::string message = record ? Trimmed(record->Take()) : std::string();
    platform::FailureCause cause = record ? record->TakenCause() : platform::FailureCause{};
    if (message.empty()) {
        message = Trimmed(ResultText(result));
        cause = {};
    }
    // A system error the library met on its own side is still the system's errno.
    if (cause.kind == platform::FailureKind::Other &&
        (static_cast<std::uint32_t>(result) & 0xFFFF0000u) == 0x80070000u)
        cause = platform::CauseOfError(static_cast<int>(result & 0xFFFF));
    if (message.empty()) {
        char text[32];
        std::snprintf(text, sizeof text, "OLE error %.8X", static_cast<unsigned>(result));
        message = text;
    }
    throw ESystemError(result, message, cause);
}

} // namespace archive::sevenzip
