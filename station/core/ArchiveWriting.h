// The interview archive: the interview folder packed into its zip on the Desktop and then read back
// through the receiver's own check, so that the close only reports an archive that the receiver
// accepts and that holds every recording and the report as they stand on disk. The archive is
// written under a hidden temporary name and takes its final name only once proven and on the disk;
// one that could not be written or proven is removed, and an archive proven before keeps the final
// name: no incomplete zip is ever left where a receiver could take it for the real one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace station {

struct PackingProgress {
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
};

struct ArchiveRequest {
    std::string archivePath; // the zip, full path
    std::string folder;      // the interview folder, packed under its own name
    std::string reportName;  // the report's file name inside the folder, as saved
};

struct ArchiveOutcome {
    bool proven = false;
    // Proven: "Архив проверен: 3 записи, контрольные суммы совпадают."; otherwise what went wrong,
    // for the operator ("Не удалось создать архив собеседования <path>: <reason>" or
    // "Архив не прошёл проверку: <entry>, <reason>.").
    std::string text;
    bool damaged = false; // written, but the receiver's check refuses it
    // What the folder holds that is not packed (links, FIFOs, devices, sockets), as
    // "<path inside the folder> (<what it is>)".
    std::vector<std::string> skipped;
    // What the folder holds hidden (a file manager's files), left out, as paths inside the folder.
    std::vector<std::string> hidden;
};

// Packs and proves the archive; runs on whichever thread calls it. `progress` is called on that
// thread as the archive library moves through the files. Never raises.
ArchiveOutcome WriteProvenArchive(const ArchiveRequest& request,
                                  const std::function<void(const PackingProgress&)>& progress);

} // namespace station
