// For the tests of a crash in the middle of packing: packs an interview folder as the close does,
// in a process of its own that the test can kill at any moment.
//   pack_folder_child ARCHIVE FOLDER REPORT-NAME
#include "station/core/ArchiveWriting.h"

#include <cstdio>

using namespace station;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: pack_folder_child ARCHIVE FOLDER REPORT-NAME\n", stderr);
        return 2;
    }
    const ArchiveOutcome outcome =
        WriteProvenArchive({.archivePath = argv[1], .folder = argv[2], .reportName = argv[3]}, {});
    std::puts(outcome.text.c_str());
    return outcome.proven ? 0 : 1;
}
