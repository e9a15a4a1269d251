#include "platform/SessionSignals.h"

#include "platform/FileStream.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::array<int, 3> Caught{SIGTERM, SIGHUP, SIGINT};

// The pipe's write end for the handler; -1 while no object catches the signals.
std::atomic<int> handlerPipe{-1};
std::array<struct sigaction, Caught.size()> previous{};

extern "C" void WriteSignalNumber(int signal) {
    // Only what is safe in a handler: one write of one byte, errno left as it was. A full pipe
    // already holds signals enough to end the session.
    const int savedErrno = errno;
    const int pipe = handlerPipe.load();
    if (pipe >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(pipe, &byte, 1);
    }
    errno = savedErrno;
}

std::string NameOf(int signal) {
    switch (signal) {
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    case SIGINT:
        return "SIGINT";
    default:
        return "signal " + std::to_string(signal);
    }
}

} // namespace

SessionSignals::SessionSignals() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw FileError("Cannot create the pipe for the session's signals. " +
                        SystemErrorText(errno));
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    handlerPipe.store(writeEnd_);
    struct sigaction action {};
    action.sa_handler = WriteSignalNumber;
    sigemptyset(&action.sa_mask);
    // A read or wait of the GUI loop goes on after the handler instead of failing with EINTR.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < Caught.size(); ++i)
        ::sigaction(Caught[i], &action, &previous[i]);
}

SessionSignals::~SessionSignals() {
    for (std::size_t i = 0; i < Caught.size(); ++i)
        ::sigaction(Caught[i], &previous[i], nullptr);
    handlerPipe.store(-1);
    ::close(writeEnd_);
    ::close(readEnd_);
}

std::vector<std::string> SessionSignals::Take() {
    std::vector<std::string> names;
    unsigned char bytes[64];
    for (;;) {
        const ssize_t got = ::read(readEnd_, bytes, sizeof bytes);
        if (got > 0) {
            for (ssize_t i = 0; i < got; ++i)
                names.push_back(NameOf(bytes[i]));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return names;
    }
}

} // namespace platform
