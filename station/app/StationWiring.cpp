#include "station/app/StationWiring.h"

namespace station {

StationServices WireServices(StationParts& parts, StationChoices choices) {
    return {.sound = choices.sound ? *choices.sound : platform::DefaultSoundSystem(),
            .player = parts.player,
            .prompt = choices.prompt ? *choices.prompt : parts.prompt,
            .calendar = choices.calendar ? *choices.calendar : parts.calendar,
            .desktopFolder = std::move(choices.desktopFolder),
            .testRecording = std::move(choices.testRecording),
            .steadyNow = std::move(choices.steadyNow),
            .freeBytes = std::move(choices.freeBytes),
            .examChain = std::move(choices.examChain)};
}

StationCore WireCore(const StationServices& services, StationObserver& reporter) {
    StationCore core;
    core.interview = std::make_unique<Interview>(services);
    core.check = std::make_unique<WorkstationCheck>(services);
    core.subscriptions.push_back(core.interview->Observers().Subscribe(reporter));
    core.subscriptions.push_back(core.check->Observers().Subscribe(reporter));
    // The check's page is left when the interview opens.
    core.subscriptions.push_back(core.interview->Observers().Subscribe(*core.check));
    return core;
}

} // namespace station
