#include "interview_format/Report.h"

#include "interview_format/InterviewNames.h"
#include "interview_format/ReportLines.h"

#include "platform/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace interview_format {
namespace {

constexpr std::string_view Title = "Собеседование по русскому языку в 9 классах";
constexpr std::string_view RoomPrefix = "Аудитория;";
constexpr std::string_view CountPrefix = CountLinePrefix;
constexpr std::size_t HeaderLines = 5;

bool IsDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

int Number(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

bool ValidDay(int day, int month, int year) {
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= Days[month - 1] + (month == 2 && leap ? 1 : 0);
}

// "dd-mm-yyyy hh.nn.ss"
bool IsTimeStamp(std::string_view text) {
    if (text.size() != 19 || text[2] != '-' || text[5] != '-' || text[10] != ' ' ||
        text[13] != '.' || text[16] != '.')
        return false;
    for (const std::size_t at : {0, 3, 6, 11, 14, 17})
        if (!IsDigits(text.substr(at, at == 6 ? 4 : 2)))
            return false;
    // A file the station could not find is stamped with the zero date, 30-12-1899.
    return ValidDay(Number(text.substr(0, 2)), Number(text.substr(3, 2)),
                    Number(text.substr(6, 4))) &&
           Number(text.substr(11, 2)) < 24 && Number(text.substr(14, 2)) < 60 &&
           Number(text.substr(17, 2)) < 60;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(';', start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

bool IsValidUtf8WithMultibyte(std::string_view bytes) {
    bool multibyte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        multibyte = multibyte || length > 1;
        i += length;
    }
    return multibyte;
}

// Splits at CR LF, recording every line end that is not one.
std::vector<std::string_view> Lines(std::string_view bytes, std::vector<ReportProblem>& problems) {
    std::vector<std::string_view> lines;
    bool badEnd = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t newline = bytes.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            problems.push_back({lines.size(), "последняя строка не завершается CR LF"});
            break;
        }
        std::string_view line = bytes.substr(start, newline - start);
        if (line.empty() || line.back() != '\r') {
            if (!badEnd)
                problems.push_back({lines.size() + 1, "строка завершается LF без CR"});
            badEnd = true;
        } else {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = newline + 1;
    }
    return lines;
}

void CheckCharacters(std::string_view line, std::size_t number,
                     std::vector<ReportProblem>& problems) {
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        // A tab pasted into a typed value does no harm to the format; a stray CR or a NUL does.
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            problems.push_back(
                {number, "управляющий символ " + std::to_string(byte) + " внутри строки"});
            return;
        }
        if (byte == 0x98) {
            problems.push_back({number, "байт 0x98 не является символом Windows-1251"});
            return;
        }
    }
}

void ReadHeader(const std::vector<std::string_view>& lines, InterviewReport& report) {
    const std::string title = platform::Utf8ToWindows1251(Title);
    if (lines[0] != title)
        report.problems.push_back({1, "первая строка не «" + std::string(Title) + "»"});
    if (lines[1].size() == 10 && IsCalendarDate(lines[1], '.'))
        report.examDate = std::string(lines[1]);
    else
        report.problems.push_back({2, "дата собеседования не в формате ДД.ММ.ГГГГ"});
    report.region = platform::Windows1251ToUtf8(lines[2]);
    if (lines[2].empty())
        report.problems.push_back({3, "не указан район или город"});
    const std::size_t separator = lines[3].find(';');
    if (separator == std::string_view::npos || separator == 0) {
        report.problems.push_back({4, "нет кода и названия образовательной организации"});
    } else {
        report.schoolCode = platform::Windows1251ToUtf8(lines[3].substr(0, separator));
        report.schoolName = platform::Windows1251ToUtf8(lines[3].substr(separator + 1));
    }
    const std::string roomPrefix = platform::Utf8ToWindows1251(RoomPrefix);
    if (lines[4].size() > roomPrefix.size() && lines[4].starts_with(roomPrefix))
        report.room = platform::Windows1251ToUtf8(lines[4].substr(roomPrefix.size()));
    else
        report.problems.push_back({5, "нет строки «Аудитория;…»"});
}

std::optional<std::int64_t> CountValue(std::string_view line, std::string_view prefix) {
    if (!line.starts_with(prefix))
        return std::nullopt;
    const std::string_view digits = line.substr(prefix.size());
    std::int64_t value = 0;
    if (!IsDigits(digits) || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0'))
        return std::nullopt;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

} // namespace

bool IsCalendarDate(std::string_view text, char separator) {
    const std::size_t step = separator ? 3 : 2;
    if (text.size() != (separator ? 10u : 8u))
        return false;
    if (separator && (text[2] != separator || text[5] != separator))
        return false;
    const std::string_view day = text.substr(0, 2);
    const std::string_view month = text.substr(step, 2);
    const std::string_view year = text.substr(2 * step, 4);
    return IsDigits(day) && IsDigits(month) && IsDigits(year) &&
           ValidDay(Number(day), Number(month), Number(year));
}

std::optional<ReportEntry> ParseEntry(std::string_view line, std::string& reason) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 4) {
        reason = "ожидалось 4 поля через «;», а их " + std::to_string(fields.size());
        return std::nullopt;
    }
    ReportEntry parsed;
    parsed.name = std::string(fields[0]);
    parsed.created = std::string(fields[1]);
    if (parsed.name.empty() || parsed.name.find_first_of("/\\:") != std::string::npos) {
        reason = "неверное имя файла";
        return std::nullopt;
    }
    if (!IsTimeStamp(fields[1])) {
        reason = "время создания не в формате ДД-ММ-ГГГГ чч.мм.сс";
        return std::nullopt;
    }
    const std::string_view size = fields[2];
    const auto sizeEnd = size.data() + size.size();
    const bool negative = size.starts_with('-');
    if (!IsDigits(negative ? size.substr(1) : size) ||
        std::from_chars(size.data(), sizeEnd, parsed.size).ptr != sizeEnd || parsed.size < -1) {
        reason = "размер не является числом байт";
        return std::nullopt;
    }
    const std::string_view crc = fields[3];
    bool hex = crc.size() == 8;
    for (const char c : crc)
        hex = hex && ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    if (!hex) {
        reason = "контрольная сумма не из 8 шестнадцатеричных цифр";
        return std::nullopt;
    }
    std::from_chars(crc.data(), crc.data() + crc.size(), parsed.crc32, 16);
    return parsed;
}

ReportEntry NotStartedEntry(std::string_view recordingName) {
    return {
        .name = std::string(recordingName), .created = std::string(MissingFileTime), .size = -1};
}

bool IsNotStarted(const ReportEntry& entry) {
    return entry.size == -1 && entry.crc32 == 0 && entry.created == MissingFileTime;
}

std::int64_t ParticipantCount(const std::vector<ReportEntry>& recordings) {
    std::int64_t highest = 0;
    for (const ReportEntry& entry : recordings)
        if (const auto number = ParticipantNumberOf(entry.name))
            highest = std::max<std::int64_t>(highest, *number);
    return highest;
}

std::vector<std::int64_t> UnlistedParticipants(const std::vector<ReportEntry>& recordings,
                                               std::size_t limit) {
    std::set<std::int64_t> numbers;
    for (const ReportEntry& entry : recordings)
        if (const auto number = ParticipantNumberOf(entry.name))
            numbers.insert(*number);
    std::vector<std::int64_t> unlisted;
    const std::int64_t highest = numbers.empty() ? 0 : *numbers.rbegin();
    for (std::int64_t number = 1; number < highest && unlisted.size() < limit; ++number)
        if (!numbers.contains(number))
            unlisted.push_back(number);
    return unlisted;
}

bool ListUnlistedAsNotStarted(std::vector<ReportEntry>& recordings, std::size_t limit) {
    const std::vector<std::int64_t> unlisted = UnlistedParticipants(recordings, limit + 1);
    if (unlisted.size() > limit)
        return false;
    for (const std::int64_t number : unlisted)
        recordings.push_back(NotStartedEntry(RecordingName(number)));
    const auto numberOf = [](const ReportEntry& entry) {
        return ParticipantNumberOf(entry.name).value_or(0);
    };
    std::stable_sort(
        recordings.begin(), recordings.end(),
        [&](const ReportEntry& a, const ReportEntry& b) { return numberOf(a) < numberOf(b); });
    return true;
}

std::string FormatEntry(const ReportEntry& entry) {
    return entry.name + ";" + entry.created + ";" + std::to_string(entry.size) + ";" +
           ChecksumText(entry.crc32);
}

std::vector<std::string> FormatLines(const InterviewReport& report) {
    std::vector<std::string> lines = {std::string(Title), report.examDate, report.region,
                                      report.schoolCode + ";" + report.schoolName,
                                      std::string(RoomPrefix) + report.room};
    for (const ReportEntry& entry : report.recordings)
        lines.push_back(FormatEntry(entry));
    if (report.participants)
        lines.push_back(CountLine(static_cast<std::int32_t>(*report.participants)));
    return lines;
}

std::string FormatReport(const InterviewReport& report) {
    std::string bytes;
    for (const std::string& line : FormatLines(report))
        bytes += platform::Utf8ToWindows1251(line) + "\r\n";
    return bytes;
}

InterviewReport ParseReport(std::string_view bytes) {
    InterviewReport report;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        report.problems.push_back({0, "отчёт начинается с метки BOM"});
    if (IsValidUtf8WithMultibyte(bytes))
        report.problems.push_back({0, "отчёт записан в UTF-8, а не в Windows-1251"});
    const std::vector<std::string_view> lines = Lines(bytes, report.problems);
    for (std::size_t i = 0; i < lines.size(); ++i)
        CheckCharacters(lines[i], i + 1, report.problems);
    if (lines.size() < HeaderLines + 1) {
        report.problems.push_back(
            {0, "в отчёте " + std::to_string(lines.size()) +
                    " строк: нужны пять строк заголовка и строка числа участников"});
        return report;
    }
    ReadHeader(lines, report);

    const std::string countPrefix = platform::Utf8ToWindows1251(CountPrefix);
    report.participants = CountValue(lines.back(), countPrefix);
    if (!report.participants || *report.participants < 1)
        report.problems.push_back(
            {lines.size(), "последняя строка не «Участников;N» с числом участников"});
    for (std::size_t i = HeaderLines; i + 1 < lines.size(); ++i) {
        if (lines[i].starts_with(countPrefix)) {
            report.problems.push_back({i + 1, "строка числа участников не в конце отчёта"});
            continue;
        }
        std::string reason;
        if (std::optional<ReportEntry> line = ParseEntry(lines[i], reason)) {
            line->lineNumber = i + 1;
            report.recordings.push_back(std::move(*line));
        } else {
            report.problems.push_back({i + 1, reason});
        }
    }
    return report;
}

} // namespace interview_format
