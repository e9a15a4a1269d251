// How the station is put together: the services it runs on and the core built on them. The
// program, the core's tests and the benchmarks all build it here, so that a change of wiring is
// made once; what they put in place of the program's own parts is given as choices.
#pragma once

#include "platform/Desktop.h"
#include "platform/FileSystemFacts.h"
#include "platform/SoundSystem.h"
#include "station/Naming.h"
#include "station/app/LibraryPlayer.h"
#include "station/app/MessageBoxes.h"
#include "station/app/SystemCalendar.h"
#include "station/core/Interview.h"
#include "station/core/StationServices.h"
#include "station/core/WorkstationCheck.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace station {

// The program's own parts that the services refer to; they must outlive the services.
struct StationParts {
    LibraryPlayer player;
    MessageBoxPrompt prompt;
    SystemCalendar calendar;
};

// What a test or a benchmark may put in place of the program's own part. A null pointer, and
// every default below, is what the program itself uses. (The defaults are spelled here rather
// than in the library, so that a build without a GUI toolkit, whose tests always give their own
// Desktop, links no toolkit for the user's Desktop.)
struct StationChoices {
    // A stand-in for the sound server, for tests that must hold the capture.
    platform::SoundSystem* sound = nullptr;
    Prompt* prompt = nullptr;
    const Calendar* calendar = nullptr;
    std::function<std::string()> desktopFolder = platform::DesktopFolder;
    std::string testRecording = TestRecordingFileName();
    std::function<std::chrono::steady_clock::time_point()> steadyNow =
        std::chrono::steady_clock::now;
    std::function<std::uint64_t(const std::string& folder)> freeBytes = platform::FreeBytes;
    RecordingChainHooks examChain;
};

StationServices WireServices(StationParts& parts, StationChoices choices = {});

// The core on the services: the interview and its workstation check, each telling `reporter`
// what the operator must read. The subscriptions end before the core goes.
struct StationCore {
    std::unique_ptr<Interview> interview;
    std::unique_ptr<WorkstationCheck> check;
    std::vector<Subscription> subscriptions;
};

StationCore WireCore(const StationServices& services, StationObserver& reporter);

} // namespace station
