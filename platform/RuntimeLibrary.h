// A shared library loaded at run time, with the table of entry points the program uses. Every
// run-time loaded library of the program goes through this one loader: one lock per library, one
// way to look up entry points, and a library lacking an entry point the program calls never counts
// as loaded, so that a missing entry point is never called. A library that releases name or place
// differently comes with a list of candidates (platform/RuntimeLibraryCandidates.h): the first one
// that loads with its entry points is taken.
#pragma once

#include "platform/DynamicLibrary.h"
#include "platform/FailureCause.h"
#include "platform/PathNames.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The library cannot be had: the text names the file and why (not found, or the entry points it
// lacks).
class LibraryLoadError : public Failure {
public:
    explicit LibraryLoadError(const std::string& message)
        : Failure(message, {FailureKind::LibraryMissing, 0}) {}
};

// Fills a table of entry points from a loaded library and notes every required one that is missing.
class EntryPointBinder {
public:
    explicit EntryPointBinder(const DynamicLibrary& library) : library_(library) {}

    // An entry point the program calls.
    template <typename Function> void Called(Function& entry, const char* name) {
        entry = library_.Entry<Function>(name);
        if (!entry)
            missing_.emplace_back(name);
    }
    // An entry point looked up for completeness and never called; null when the library lacks it.
    template <typename Function> void Optional(Function& entry, const char* name) {
        entry = library_.Entry<Function>(name);
    }
    // A name that must be exported for the library to count as the right one, though it is never
    // called.
    void Exported(const char* name) {
        if (!library_.Symbol(name))
            missing_.emplace_back(name);
    }

    const std::vector<std::string>& Missing() const { return missing_; }

private:
    const DynamicLibrary& library_;
    std::vector<std::string> missing_;
};

// `Entries` is a table of function pointers; `bind` fills it through the binder. Once loaded, a
// library stays loaded (and mapped) for the life of the process; a failed load is tried again at
// the next need. Safe on any thread.
template <typename Entries> class RuntimeLibrary {
public:
    using Binder = void (*)(EntryPointBinder& binder, Entries& entries);

    RuntimeLibrary(std::string fileName, Binder bind)
        : RuntimeLibrary(std::vector<std::string>{std::move(fileName)}, bind) {}
    // Candidates in the order they are tried; at least one.
    RuntimeLibrary(std::vector<std::string> candidates, Binder bind)
        : candidates_(std::move(candidates)), bind_(bind) {}
    RuntimeLibrary(const RuntimeLibrary&) = delete;
    RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;

    // Loads the library unless it is loaded already. True when it is loaded (now or before).
    bool Load() {
        if (Loaded())
            return true;
        std::lock_guard guard(lock_);
        if (loaded_.load(std::memory_order_relaxed))
            return true;
        std::string failures;
        for (const std::string& candidate : candidates_) {
            const std::string failure = TryCandidate(candidate);
            if (failure.empty())
                return true;
            failures += (failures.empty() ? "" : "; ") + failure;
        }
        loadError_ = failures;
        return false;
    }

    bool Loaded() const { return loaded_.load(std::memory_order_acquire); }

    // The entry points, loading the library first; LibraryLoadError when it cannot be had.
    const Entries& Require() {
        if (!Load())
            throw LibraryLoadError(LoadError());
        return entries_;
    }

    // Valid once Loaded() has been true.
    const Entries& Get() const { return entries_; }

    // The file name of the candidate that loaded, or of the first candidate while none has.
    std::string FileName() const {
        std::lock_guard guard(lock_);
        return FileNameOf(loaded_.load(std::memory_order_relaxed) ? loadedFrom_
                                                                  : candidates_.front());
    }

    std::vector<std::string> Candidates() const {
        std::lock_guard guard(lock_);
        return candidates_;
    }

    // Why the last attempt failed, candidate by candidate; empty when it did not.
    std::string LoadError() const {
        std::lock_guard guard(lock_);
        return loadError_;
    }

    // Looks for the library among other candidates from now on; a loaded library is forgotten (it
    // stays mapped). Only while none of its entry points is being used.
    void SetCandidates(std::vector<std::string> candidates) {
        std::lock_guard guard(lock_);
        candidates_ = std::move(candidates);
        loaded_.store(false, std::memory_order_release);
        module_.reset();
        loadedFrom_.clear();
        loadError_.clear();
    }
    void SetFileName(std::string fileName) { SetCandidates({std::move(fileName)}); }

private:
    // Loads and binds one candidate, under the lock. Empty when it is now the loaded library,
    // otherwise why it is not.
    std::string TryCandidate(const std::string& candidate) {
        std::string failure;
        auto module = DynamicLibrary::Load(candidate, &failure);
        if (!module)
            return failure;
        Entries found{};
        EntryPointBinder binder(*module);
        bind_(binder, found);
        if (!binder.Missing().empty()) {
            failure = candidate + ": lacks the entry point";
            for (std::size_t i = 0; i < binder.Missing().size(); ++i)
                failure += (i == 0 ? " " : ", ") + binder.Missing()[i];
            return failure;
        }
        module_ = std::move(module);
        entries_ = found;
        loadedFrom_ = candidate;
        loadError_.clear();
        loaded_.store(true, std::memory_order_release);
        return {};
    }

    mutable std::mutex lock_;
    std::vector<std::string> candidates_;
    std::string loadedFrom_;
    const Binder bind_;
    std::optional<DynamicLibrary> module_;
    Entries entries_{};
    std::atomic<bool> loaded_{false};
    std::string loadError_;
};

} // namespace platform
