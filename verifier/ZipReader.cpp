#include "verifier/ZipReader.h"

#include "verifier/Reasons.h"

#include <zip.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace interview_check {
namespace {

// An interview holds a few dozen files; a central directory of millions is not one of ours and
// would only cost memory to list.
constexpr std::int64_t MaxEntries = 100000;
constexpr std::size_t PieceSize = 256 * 1024;

std::string SystemText(int error) {
    return std::strerror(error);
}

// Russian first, the library's own words after it.
std::string FailureText(zip_error_t* error) {
    const std::string original = zip_error_strerror(error);
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_CRC:
        return reason::CrcDiffers;
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        return std::string(reason::DamagedData) + " (" + original + ")";
    case ZIP_ER_INCONS:
        return "заголовки архива не согласованы (" + original + ")";
    case ZIP_ER_EOF:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
        return "данные обрываются раньше времени (" + original + ")";
    case ZIP_ER_COMPNOTSUPP:
        return "метод сжатия не поддерживается (" + original + ")";
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return std::string(reason::Encrypted) + " (" + original + ")";
    case ZIP_ER_MEMORY:
        return "недостаточно памяти (" + original + ")";
    case ZIP_ER_MULTIDISK:
        return "многотомный архив не поддерживается (" + original + ")";
    default:
        return "ошибка чтения архива (" + original + ")";
    }
}

// libzip 1.10 and later (Debian 13) tell a zip without its end apart from one that never was a zip;
// 1.7 (Debian 12) names both ZIP_ER_NOZIP. The start of the file decides either way.
#ifdef ZIP_ER_TRUNCATED_ZIP
constexpr int TruncatedZipCode = ZIP_ER_TRUNCATED_ZIP;
#else
constexpr int TruncatedZipCode = ZIP_ER_NOZIP;
#endif

// A zip whose end was cut off still starts like one; anything else never was a zip.
bool StartsLikeZip(const std::string& path) {
    unsigned char head[4] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool zipLike = ::read(fd, head, sizeof head) == 4 && head[0] == 'P' && head[1] == 'K' &&
                         head[2] == 3 && head[3] == 4;
    ::close(fd);
    return zipLike;
}

// Opened without blocking and its type taken from the open file itself: a pipe, a device or a
// file swapped for one between a look and an open would block the reader or never end.
int OpenRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw UnreadableArchive("файл не открывается: " + SystemText(errno));
    struct stat facts {};
    const int statResult = ::fstat(fd, &facts);
    const int statError = errno;
    if (statResult != 0 || !S_ISREG(facts.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        if (statResult != 0)
            throw UnreadableArchive("файл не открывается: " + SystemText(statError));
        if (S_ISDIR(facts.st_mode))
            throw UnreadableArchive("это папка, а не файл");
        throw UnreadableArchive("это не обычный файл");
    }
    return fd;
}

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

} // namespace

void ZipReader::Closer::operator()(zip* archive) const {
    zip_discard(archive);
}

ZipReader::ZipReader(const std::string& path) {
    const int fd = OpenRegularFile(path);
    int code = ZIP_ER_OK;
    // Read only: libzip opens the descriptor for reading and owns it from here on.
    archive_.reset(zip_fdopen(fd, ZIP_CHECKCONS, &code));
    if (!archive_) {
        ::close(fd);
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const std::string text = FailureText(&error);
        const int systemError = zip_error_code_system(&error);
        zip_error_fini(&error);
        if (code == ZIP_ER_OPEN || code == ZIP_ER_NOENT)
            throw UnreadableArchive("файл не открывается: " + SystemText(systemError));
        if (code == ZIP_ER_NOZIP || code == TruncatedZipCode)
            throw DamagedArchive(StartsLikeZip(path) ? reason::Truncated : reason::NotZip);
        throw DamagedArchive(text);
    }
    const zip_int64_t count = zip_get_num_entries(archive_.get(), 0);
    if (count < 0 || count > MaxEntries)
        throw DamagedArchive("в архиве " + std::to_string(count) +
                             " записей: это не архив собеседования");
    entries_.reserve(static_cast<std::size_t>(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t facts;
        zip_stat_init(&facts);
        if (zip_stat_index(archive_.get(), static_cast<zip_uint64_t>(i), 0, &facts) != 0)
            throw DamagedArchive(FailureText(zip_get_error(archive_.get())));
        ZipEntry entry;
        entry.index = static_cast<std::uint64_t>(i);
        entry.name = (facts.valid & ZIP_STAT_NAME) && facts.name ? facts.name : "";
        entry.declaredSize = (facts.valid & ZIP_STAT_SIZE) ? facts.size : 0;
        entry.declaredCrc32 = (facts.valid & ZIP_STAT_CRC) ? facts.crc : 0;
        entries_.push_back(std::move(entry));
    }
}

ZipReader::~ZipReader() = default;

StreamResult ZipReader::Stream(const ZipEntry& entry, const Sink& sink) const {
    StreamResult result;
    result.crc32 = static_cast<std::uint32_t>(crc32(0L, Z_NULL, 0));
    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive_.get(), entry.index, 0));
    if (!file) {
        result.failure = FailureText(zip_get_error(archive_.get()));
        return result;
    }
    std::vector<unsigned char> piece(PieceSize);
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), piece.data(), piece.size());
        if (got < 0) {
            result.failure = FailureText(zip_file_get_error(file.get()));
            return result;
        }
        if (got == 0)
            return result;
        const auto size = static_cast<std::size_t>(got);
        // The declared size is checked against the data, never the other way round: a small
        // claim over a huge stream stops here instead of running on.
        if (result.size + size > entry.declaredSize) {
            result.failure = reason::LongerThanDeclared;
            return result;
        }
        result.size += size;
        result.crc32 =
            static_cast<std::uint32_t>(crc32(result.crc32, piece.data(), static_cast<uInt>(size)));
        if (sink)
            sink(piece.data(), size);
    }
}

} // namespace interview_check
