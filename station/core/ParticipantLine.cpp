#include "station/core/ParticipantLine.h"

#include "station/Report.h"
#include "verifier/Mp3Walk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

// What the receiver's check takes for a recording that never started.
constexpr const char* NotStartedMarks = "30-12-1899 00.00.00;-1;00000000";

// A failed start writes at most its tags and one information frame; anything larger is something
// else and is never removed here.
constexpr off_t MostOfAFailedStart = 64 * 1024;

// Whether the file is a small regular file without one MP3 audio frame. Read without blocking and
// without following a link, so that nothing but the station's own file can be judged empty.
bool HoldsNoAudio(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct stat facts {};
    bool empty = false;
    if (::fstat(fd, &facts) == 0 && S_ISREG(facts.st_mode) && facts.st_size <= MostOfAFailedStart) {
        std::vector<unsigned char> bytes(static_cast<std::size_t>(facts.st_size));
        const ssize_t read = ::read(fd, bytes.data(), bytes.size());
        if (read == static_cast<ssize_t>(bytes.size())) {
            interview_check::Mp3Walk walk;
            walk.Feed(bytes.data(), bytes.size());
            empty = walk.Frames() == 0;
        }
    }
    ::close(fd);
    return empty;
}

} // namespace

std::string ParticipantLine(const std::string& fileName) {
    struct stat facts {};
    const bool missing = ::lstat(fileName.c_str(), &facts) != 0 && errno == ENOENT;
    // The pass's failure has been told already; a checksum box about a file that is not there
    // would only repeat it.
    if (missing || (HoldsNoAudio(fileName) && std::remove(fileName.c_str()) == 0))
        return fileName.substr(fileName.find_last_of('/') + 1) + ";" + NotStartedMarks;
    return RecordingLine(fileName);
}
