#include "station/core/ArchiveWriting.h"

#include "archive/Compression.h"
#include "archive/StringUtils.h"
#include "platform/DiskSync.h"
#include "platform/FileStream.h"
#include "platform/PathNames.h"
#include "station/OperatorTexts.h"
#include "station/safeguards/OddEntries.h"
#include "station/safeguards/OperatorMessages.h"
#include "verifier/ReadBack.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <utility>
#include <vector>

namespace station {

namespace {

// The files' sizes by item index (0 for a folder item), to count the files done.
std::vector<std::uint64_t> FileSizes(const archive::TCompressArchive& zip) {
    std::vector<std::uint64_t> sizes;
    for (std::size_t i = 0; i < zip.ItemCount(); ++i) {
        const archive::TCompressionItem& item = zip.Item(i);
        sizes.push_back(item.IsDirectory() ? 0 : static_cast<std::uint64_t>(item.FileSize()));
    }
    return sizes;
}

// Adds the folder and what it holds to `zip` under the folder's own name: its regular files and
// folders, never a link, FIFO, device or socket (see OddEntries), and nothing hidden. A hidden
// entry is a file manager's (".directory", ".DS_Store"), which the operator cannot see, so cannot
// move out, and which no report lists; each one is named in `hidden`, as a path inside the folder.
void AddFolder(archive::TCompressArchive& zip, const std::string& folder,
               std::vector<std::string>& hidden) {
    namespace fs = std::filesystem;
    const std::wstring top = archive::Utf8ToWide(platform::FileNameOf(folder));
    zip.AddDirectory(top, folder, false, false);
    std::vector<std::pair<std::string, bool>> entries; // path, whether a folder
    std::error_code error;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                          error);
    for (const fs::recursive_directory_iterator end; !error && walk != end; walk.increment(error)) {
        const fs::path& path = walk->path();
        const fs::file_type type = walk->symlink_status(error).type();
        if (error)
            break;
        if (path.filename().string().starts_with(".")) {
            hidden.push_back(path.lexically_relative(folder).string());
            if (type == fs::file_type::directory)
                walk.disable_recursion_pending();
            continue;
        }
        if (type == fs::file_type::regular || type == fs::file_type::directory)
            entries.emplace_back(path.string(), type == fs::file_type::directory);
    }
    // What cannot be read cannot be packed: an archive without it would only be refused later.
    if (error)
        throw std::runtime_error(FolderNotReadText(folder, error.message()));
    std::sort(entries.begin(), entries.end());
    std::sort(hidden.begin(), hidden.end());
    for (const auto& [path, isFolder] : entries) {
        const std::wstring packed = archive::PackedPathFor(path, folder, top);
        if (isFolder)
            zip.AddDirectory(packed, path, false, false);
        else
            zip.AddFile(packed, path);
    }
}

// Writes the zip of the folder into `into` (the format is the final name's). The archive object is
// released, and its file closed, whatever happens.
void Pack(const ArchiveRequest& request, const std::string& into,
          const std::function<void(const PackingProgress&)>& progress,
          std::vector<std::string>& hidden) {
    const archive::TCompressArchiveClass* format =
        archive::ArchiveFormats().CompressClassFor(request.archivePath);
    if (!format)
        throw std::runtime_error("No archive format for \"" + request.archivePath + "\"");
    const std::shared_ptr<archive::TCompressArchive> zip = format->Create(into, 0, false);
    AddFolder(*zip, request.folder, hidden);

    const std::vector<std::uint64_t> sizes = FileSizes(*zip);
    PackingProgress state;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        state.bytesTotal += sizes[i];
        if (!zip->Item(i).IsDirectory())
            ++state.filesTotal;
    }
    if (progress) {
        progress(state);
        zip->OnProgress = [&](std::uint64_t completed, std::uint64_t) {
            // The library reads the items in order: every file before the one it reads now is
            // done.
            const auto current = static_cast<std::size_t>(zip->CurrentItem.load());
            std::uint64_t before = 0;
            for (std::size_t i = 0; i < current && i < sizes.size(); ++i)
                if (!zip->Item(i).IsDirectory())
                    ++before;
            // The library may go back to an item (to store what did not compress): what is
            // done stays done.
            state.filesDone = std::max(state.filesDone, before);
            state.bytesDone = std::max(state.bytesDone, std::min(completed, state.bytesTotal));
            progress(state);
        };
    }
    zip->Compress();
    if (progress) {
        state.filesDone = state.filesTotal;
        state.bytesDone = state.bytesTotal;
        progress(state);
    }
}

// Read through the file layer: the report's name may have been given to a FIFO meanwhile, and
// reading must refuse it rather than wait for ever.
std::string ReadWholeFile(const std::string& path) {
    platform::FileHandle file =
        platform::FileHandle::Open(path, platform::FileAccess::Read, platform::FileShare::Read,
                                   platform::FileDisposition::OpenExisting);
    std::string content;
    char buffer[65536];
    while (const std::size_t got = file.Read(buffer, sizeof buffer))
        content.append(buffer, got);
    return content;
}

interview_check::ReadBackResult Prove(const ArchiveRequest& request, const std::string& written) {
    interview_check::ReadBackResult proof = interview_check::ReadBackArchive(
        written, platform::FileNameOf(request.folder), request.reportName,
        ReadWholeFile(request.folder + "/" + request.reportName));
    // The operator knows the archive by its final name, not by the hidden one it is written under.
    if (proof.badEntry == platform::FileNameOf(written) || proof.badEntry == written)
        proof.badEntry = platform::FileNameOf(request.archivePath);
    return proof;
}

void RemoveIncomplete(const std::string& archivePath) {
    std::error_code ignored;
    std::filesystem::remove(archivePath, ignored);
}

} // namespace

ArchiveOutcome WriteProvenArchive(const ArchiveRequest& request,
                                  const std::function<void(const PackingProgress&)>& progress) {
    ArchiveOutcome outcome;
    std::string failure;
    platform::FailureCause cause;
    // The archive is written under a hidden temporary name and renamed to its final one only once
    // it is read back and on the disk: a crash, a power cut or a failure at any moment leaves the
    // last good archive or the new one under the final name, never a part of one.
    std::string written;
    try {
        outcome.skipped = OddEntries(request.folder);
        platform::RemoveStaleTemporaries(request.archivePath);
        platform::RefuseLinkAt(request.archivePath);
        // Created here, exclusively: the archive writer then opens this very file, never one
        // that a link or an earlier file put in its place.
        platform::CreateTemporaryBeside(request.archivePath, written).Close();
        Pack(request, written, progress, outcome.hidden);
        const interview_check::ReadBackResult proof = Prove(request, written);
        outcome.text = interview_check::ReadBackMessage(proof);
        outcome.damaged = !proof.sound;
        if (proof.sound) {
            platform::SyncFile(written);
            platform::ReplaceFile(written, request.archivePath);
            written.clear();
            outcome.proven = true;
        }
    } catch (const std::exception& error) {
        failure = error.what();
        cause = platform::CauseOf(error);
    } catch (...) {
        failure = "Unknown error";
    }
    if (!failure.empty()) {
        outcome.proven = false;
        outcome.text = ArchiveNotCreatedText(request.archivePath, OperatorText(failure, cause));
    }
    if (!written.empty())
        RemoveIncomplete(written);
    return outcome;
}

} // namespace station
