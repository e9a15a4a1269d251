// What the exam page shows of the interview's progress: which buttons can be used, what the
// banner says, and whether the meter and the timer are shown.
#pragma once

#include <chrono>

namespace station {

enum class RecordingBanner {
    None,      // empty
    Recording, // "Идёт запись ..."
    Failed,    // "Ошибка записи!"
    NoSignal,  // the microphone has been silent for a while; the recording goes on
    LowSpace,  // the disk is running out of room; the recording goes on
    Packing,   // "Идёт упаковка архива …"
};

struct ExamState {
    bool startEnabled = true; // "Начать запись"
    bool nextEnabled = false; // "Следующий участник"
    bool closeShown = true;   // "Завершить собеседование"
    bool exitShown = false;   // "Выйти из программы", in the close button's place
    bool meterShown = false;
    bool timerShown = true;
    bool timerRunning = false; // ticks while sound is recorded
    RecordingBanner banner = RecordingBanner::None;
    // An operation of the page is under way, perhaps waiting for the operator's answer in a box:
    // no button of the page can be used until it ends.
    bool operationRunning = false;
    // Audio the current participant's recording has lost so far: the banner names it, whatever it
    // says besides, until the next participant.
    std::chrono::milliseconds lostAudio{0};
    bool operator==(const ExamState&) const = default;
};

} // namespace station
