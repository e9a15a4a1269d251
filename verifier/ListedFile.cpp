#include "verifier/ListedFile.h"

#include "interview_format/ReportLines.h"

#include "verifier/Reasons.h"

namespace interview_check {
namespace {

std::string SizeReason(std::int64_t listed, std::uint64_t found) {
    return std::string(reason::SizeDiffers) + " (" +
           ListedAgainstFound(std::to_string(listed), std::to_string(found)) + ")";
}

} // namespace

std::string ListedAgainstFound(const std::string& listed, const std::string& found) {
    return "в отчёте " + listed + ", в архиве " + found;
}

std::string CheckListedFile(const ZipReader& reader, const ZipEntry& entry,
                            const interview_format::ReportEntry& line, Mp3Walk* walk) {
    if (line.size < 0 || entry.declaredSize != static_cast<std::uint64_t>(line.size))
        return SizeReason(line.size, entry.declaredSize);
    ZipReader::Sink sink;
    if (walk)
        sink = [walk](const unsigned char* data, std::size_t size) { walk->Feed(data, size); };
    const StreamResult read = reader.Stream(entry, sink);
    if (!read.failure.empty())
        return read.failure;
    if (read.size != entry.declaredSize)
        return SizeReason(line.size, read.size);
    if (read.crc32 != line.crc32)
        return std::string(reason::CrcDiffers) + " (" +
               ListedAgainstFound(interview_format::ChecksumText(line.crc32),
                                  interview_format::ChecksumText(read.crc32)) +
               ")";
    return {};
}

} // namespace interview_check
