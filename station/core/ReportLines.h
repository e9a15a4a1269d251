// The interview report while it is being built. The recording worker hands in the line of each
// finished file while the GUI thread adds the header and the count line, so every access goes
// through the lock inside.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class ReportLines {
public:
    void Append(std::string line);
    void Append(const std::vector<std::string>& lines);
    // Removes count lines left after the header by an earlier close whose save failed.
    void DropCountLines();
    // The highest participant number among the recording lines, those of recordings that never
    // started included; 0 when there is none.
    long long HighestListedParticipant() const;
    // A copy of the lines as they stand.
    std::vector<std::string> Lines() const;
    // A recording that could not be read to its end is listed all the same; why it could not is
    // kept here until the GUI thread tells it.
    void NoteUnreadable(std::string failure);
    std::vector<std::string> TakeUnreadable();

private:
    mutable std::mutex lock_;
    std::vector<std::string> lines_;
    std::vector<std::string> unreadable_;
};
