#include "station/core/ArchiveWriting.h"

#include "archive/Compression.h"
#include "archive/StringUtils.h"
#include "station/safeguards/OperatorMessages.h"
#include "verifier/ReadBack.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace {

std::string OwnName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

std::string FolderOf(const std::string& path) {
    const std::string::size_type separator = path.find_last_of('/');
    return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

// The files' sizes by item index (0 for a folder item), to count the files done.
std::vector<std::uint64_t> FileSizes(const archive::TCompressArchive& zip) {
    std::vector<std::uint64_t> sizes;
    for (std::size_t i = 0; i < zip.ItemCount(); ++i) {
        const archive::TCompressionItem& item = zip.Item(i);
        sizes.push_back(item.IsDirectory() ? 0 : static_cast<std::uint64_t>(item.FileSize()));
    }
    return sizes;
}

// Writes the zip of the folder. The archive object is released, and its file closed, whatever
// happens.
void Pack(const ArchiveRequest& request,
          const std::function<void(const PackingProgress&)>& progress) {
    const archive::TCompressArchiveClass* format =
        archive::ArchiveFormats().CompressClassFor(request.archivePath);
    if (!format)
        throw std::runtime_error("No archive format for \"" + request.archivePath + "\"");
    const std::shared_ptr<archive::TCompressArchive> zip =
        format->Create(request.archivePath, 0, false);
    zip->AddDirectory(archive::Utf8ToWide(OwnName(request.folder)), request.folder, true, true);

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

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot open file \"" + path + "\"");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

interview_check::ReadBackResult Prove(const ArchiveRequest& request) {
    return interview_check::ReadBackArchive(
        request.archivePath, OwnName(request.folder), request.reportName,
        ReadWholeFile(request.folder + "/" + request.reportName));
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
    try {
        Pack(request, progress);
        const interview_check::ReadBackResult proof = Prove(request);
        outcome.text = interview_check::ReadBackMessage(proof);
        outcome.proven = proof.Sound;
        outcome.damaged = !proof.Sound;
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "Unknown error";
    }
    if (!failure.empty()) {
        // A write failure of the archive's stream may name no reason; the Desktop's state does.
        const int errorNumber = failure.find("write error") != std::string::npos
                                    ? ProbableWriteError(FolderOf(request.archivePath))
                                    : 0;
        outcome.text = "Не удалось создать архив собеседования " + request.archivePath + ": " +
                       OperatorText(failure, errorNumber);
    }
    if (!outcome.proven)
        RemoveIncomplete(request.archivePath);
    return outcome;
}
