// Reference-counted objects handed to the 7-Zip library, the references this side holds on the
// library's objects, and the conversion between this side's exceptions and the library's result
// codes.
#pragma once

#include "archive/SevenzipInterfaces.h"
#include "platform/FailureCause.h"

#include <atomic>
#include <cerrno>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

namespace archive::sevenzip {

// A failure that carries a result code (a library result, or a system error as a result).
class ESystemError : public platform::Failure {
public:
    ESystemError(HRESULT errorCode, const std::string& message, platform::FailureCause cause = {})
        : Failure(message, cause), ErrorCode(errorCode) {}
    HRESULT ErrorCode;
};

// One counted reference to a library-side interface.
template <typename T> class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* object) : object_(object) {
        if (object_)
            object_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.object_) {}
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~ComPtr() {
        if (object_)
            object_->Release();
    }
    // Takes over a reference the library handed out.
    static ComPtr Adopt(T* object) {
        ComPtr result;
        result.object_ = object;
        return result;
    }
    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // A counted reference through another of the object's interfaces, or empty.
    template <typename U> ComPtr<U> Query(const GUID& iid) const {
        void* found = nullptr;
        if (!object_ || object_->QueryInterface(iid, &found) != S_OK || !found)
            return {};
        return ComPtr<U>::Adopt(static_cast<U*>(found));
    }

private:
    T* object_ = nullptr;
};

// Remembers the first failure message of this side that the library only saw as a result code, so
// that the failure the caller finally gets can name what went wrong.
class TLibraryErrorRecord {
public:
    void Note(const std::string& message, platform::FailureCause cause);
    std::string Take();
    // The cause noted with the message Take handed out last.
    platform::FailureCause TakenCause() const;

private:
    mutable std::mutex lock_;
    std::string message_;
    platform::FailureCause cause_;
    platform::FailureCause takenCause_;
};

// The result code the library gets for an escaping error: a file or stream error's is the system
// error its cause names.
HRESULT ErrorToResult(std::exception_ptr error);

// Raises ESystemError for a negative result: with the noted description when there is one, else
// the platform's text for the code, else "OLE error %.8X".
void CheckResult(HRESULT result, TLibraryErrorRecord* record = nullptr);
std::string ResultText(HRESULT result);

// Base of every object handed to the library: counted references (the library may release from
// its own threads), and exported methods that never let an exception through.
template <typename... Interfaces> class TSafecallInterfacedObject : public Interfaces... {
public:
    std::uint32_t AddRef() override { return ++references_; }
    std::uint32_t Release() override {
        const std::uint32_t left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    virtual ~TSafecallInterfacedObject() = default;

protected:
    explicit TSafecallInterfacedObject(TLibraryErrorRecord* record = nullptr) : record_(record) {}
    TLibraryErrorRecord* Record() const { return record_; }

    template <typename Body> HRESULT Guarded(Body&& body) noexcept {
        try {
            return body();
        } catch (...) {
            const HRESULT result = ErrorToResult(std::current_exception());
            if (record_) {
                try {
                    std::rethrow_exception(std::current_exception());
                } catch (const std::exception& error) {
                    record_->Note(error.what(), platform::CauseOf(error));
                } catch (...) {
                }
            }
            return result;
        }
    }

    // Hands out `self` as the asked interface when `iid` names it.
    template <typename Interface>
    static bool Offer(const GUID& iid, const GUID& offered, Interface* self, void** object) {
        if (!(iid == offered))
            return false;
        self->AddRef();
        *object = self;
        return true;
    }

private:
    std::atomic<std::uint32_t> references_{0};
    TLibraryErrorRecord* record_;
};

// A new object with one counted reference held by the result.
template <typename T, typename... Arguments> ComPtr<T> MakeCom(Arguments&&... arguments) {
    return ComPtr<T>(new T(std::forward<Arguments>(arguments)...));
}

} // namespace archive::sevenzip
