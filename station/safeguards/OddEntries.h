// What an interview folder holds besides regular files and folders: symbolic links, FIFOs, devices
// and sockets. None of them is packed (a link to /dev/zero reads without end, a FIFO blocks for
// ever), and the operator is told which ones were left out.
#pragma once

#include <string>
#include <vector>

namespace station {

// Every such entry of `folder` and of its subfolders (links to folders are not entered), as
// "<path inside the folder> (<what it is, in Russian>)", in name order. Empty when there is none
// or the folder cannot be read.
std::vector<std::string> OddEntries(const std::string& folder);

// "Не упакованы (это не обычные файлы): a (символическая ссылка), b (именованный канал)."; empty
// for no entries.
std::string OddEntriesText(const std::vector<std::string>& entries);

} // namespace station
