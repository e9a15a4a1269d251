#include "verifier/tool/ArchiveList.h"

#include "verifier/InterviewNames.h"

#include <algorithm>
#include <filesystem>

namespace interview_check::tool {
namespace {

namespace fs = std::filesystem;

std::string Reason(const std::error_code& error) {
    return "не читается: " + error.message();
}

std::string NotAnArchiveFile(const fs::file_status& status, const std::error_code& error) {
    if (status.type() == fs::file_type::not_found)
        return "ссылка ведёт на несуществующий файл";
    if (error)
        return Reason(error);
    return "это не обычный файл (канал, устройство или сокет), а не архив";
}

void CollectFolder(const std::string& folder, std::vector<Target>& targets) {
    std::vector<Target> found;
    std::error_code error;
    fs::recursive_directory_iterator entry(folder, error), end;
    if (error) {
        targets.push_back({folder, Reason(error)});
        return;
    }
    while (entry != end) {
        if (HasExtension(entry->path().filename().string(), ".zip")) {
            // Whatever is named like an archive is either checked or reported: a pipe, a device
            // or a link to nothing may stand where an archive was meant to be handed in.
            std::error_code statusError;
            const fs::file_status status = entry->status(statusError);
            if (fs::is_regular_file(status))
                found.push_back({entry->path().string(), {}});
            else if (!fs::is_directory(status))
                found.push_back({entry->path().string(), NotAnArchiveFile(status, statusError)});
        }
        if (entry.increment(error); error)
            break;
    }
    // A subfolder that cannot be listed may hide archives: the receiver must hear of it.
    if (error)
        found.push_back({folder, Reason(error)});
    else if (found.empty())
        found.push_back({folder, "в папке нет архивов .zip"});
    std::sort(found.begin(), found.end(),
              [](const Target& a, const Target& b) { return a.path < b.path; });
    targets.insert(targets.end(), found.begin(), found.end());
}

} // namespace

std::vector<Target> CollectTargets(const std::vector<std::string>& paths) {
    std::vector<Target> targets;
    for (const std::string& path : paths) {
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (error || !fs::exists(status))
            targets.push_back(
                {path, Reason(error ? error
                                    : std::make_error_code(std::errc::no_such_file_or_directory))});
        else if (fs::is_directory(status))
            CollectFolder(path, targets);
        else
            targets.push_back({path, {}});
    }
    return targets;
}

} // namespace interview_check::tool
