// The workstation check's two toggles and its meter. The toggles form one group: lowering one
// raises the other, a lowered one is raised by a click on it, and both may be up.
#pragma once

namespace station {

struct CheckState {
    bool microphoneDown = false;
    bool microphoneRunning = false; // shows "stop" instead of the microphone
    bool playbackDown = false;
    bool playbackRunning = false; // shows "stop" instead of "play"
    bool playbackEnabled = true;
    bool meterShown = false;
    bool operator==(const CheckState&) const = default;
};

} // namespace station
