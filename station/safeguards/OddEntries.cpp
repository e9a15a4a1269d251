#include "station/safeguards/OddEntries.h"

#include "station/OperatorTexts.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace station {

namespace {

namespace fs = std::filesystem;

const char* KindOf(fs::file_type type) {
    switch (type) {
    case fs::file_type::symlink:
        return SymbolicLinkKindText;
    case fs::file_type::fifo:
        return NamedPipeKindText;
    case fs::file_type::socket:
        return SocketKindText;
    case fs::file_type::block:
    case fs::file_type::character:
        return DeviceKindText;
    default:
        return SpecialFileKindText;
    }
}

} // namespace

std::vector<std::string> OddEntries(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code error;
    // The entries' own types (lstat): a link is reported as a link, never followed.
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                          error);
    for (const fs::recursive_directory_iterator end; !error && walk != end; walk.increment(error)) {
        const fs::file_type type = walk->symlink_status(error).type();
        if (error)
            break;
        if (type == fs::file_type::regular || type == fs::file_type::directory)
            continue;
        found.push_back(fs::path(walk->path()).lexically_relative(folder).string() + " (" +
                        KindOf(type) + ")");
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string OddEntriesText(const std::vector<std::string>& entries) {
    if (entries.empty())
        return {};
    std::string text = OddEntriesLeadText;
    for (std::size_t i = 0; i < entries.size(); ++i)
        text += (i == 0 ? "" : ", ") + entries[i];
    return text + ".";
}

} // namespace station
