#include "verifier/InterviewNames.h"

#include <cctype>

namespace interview_check {

bool HasExtension(std::string_view name, std::string_view extension) {
    if (name.size() < extension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != extension[i])
            return false;
    return true;
}

} // namespace interview_check
