#include "platform/ThreadName.h"

#include <pthread.h>

#include <string>

namespace platform {

void NameCurrentThread(std::string_view name) {
    // The kernel's limit is 16 bytes with the terminating zero; a longer name is refused whole.
    constexpr std::size_t MaxNameBytes = 15;
    const std::string cut(name.substr(0, MaxNameBytes));
    pthread_setname_np(pthread_self(), cut.c_str());
}

} // namespace platform
