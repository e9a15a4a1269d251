#include "verifier/ArchiveCheck.h"

#include "interview_format/InterviewNames.h"
#include "verifier/InterviewNames.h"
#include "verifier/ListedFile.h"
#include "verifier/LoudnessWarnings.h"
#include "verifier/Reasons.h"
#include "verifier/ZipReader.h"

#include <algorithm>
#include <exception>
#include <map>
#include <set>

namespace interview_check {
namespace {

// A report lists a few dozen recordings in some kilobytes; anything claiming more is not read.
constexpr std::uint64_t MaxReportSize = 4 * 1024 * 1024;
constexpr std::size_t MaxListedGaps = 10;

bool EndsWithCsv(const std::string& name) {
    return HasExtension(name, ".csv");
}

std::string JoinNumbers(const std::vector<std::int64_t>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size() && i < MaxListedGaps; ++i)
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    if (numbers.size() > MaxListedGaps)
        text += " и ещё " + std::to_string(numbers.size() - MaxListedGaps);
    return text;
}

class Checker {
public:
    Checker(const ZipReader& reader, const CheckOptions& options, ArchiveVerdict& verdict)
        : reader_(reader), options_(options), verdict_(verdict) {}

    void Run() {
        if (!FindFolder())
            return;
        const ZipEntry* report = FindReport();
        // Without a readable report nothing is listed, so nothing can be called unlisted.
        if (!report || !ReadReport(*report))
            return;
        CheckNames();
        CheckRecordings();
        CheckCount();
        ReportUnlisted(report);
    }

private:
    void Add(std::string entry, std::string why) {
        verdict_.problems.push_back({std::move(entry), std::move(why)});
    }

    // The one top-level folder; everything outside it is reported.
    bool FindFolder() {
        std::vector<std::string> tops;
        std::set<std::string> names;
        for (const ZipEntry& entry : reader_.Entries()) {
            if (!names.insert(entry.name).second)
                Add(entry.name, reason::Duplicate);
            const std::size_t slash = entry.name.find('/');
            if (slash == std::string::npos) {
                Add(entry.name, "файл вне папки собеседования");
                continue;
            }
            const std::string top = entry.name.substr(0, slash);
            if (std::find(tops.begin(), tops.end(), top) == tops.end())
                tops.push_back(top);
        }
        if (tops.empty()) {
            Add("", "в архиве нет папки собеседования");
            return false;
        }
        const auto named =
            std::find_if(tops.begin(), tops.end(), interview_format::LooksLikeFolderName);
        verdict_.folder = named != tops.end() ? *named : tops.front();
        if (tops.size() > 1)
            for (const std::string& top : tops)
                if (top != verdict_.folder)
                    Add(top + "/", "вторая папка в архиве: архив собеседования держит одну");
        if (!interview_format::LooksLikeFolderName(verdict_.folder))
            Add(verdict_.folder + "/", "имя папки не по правилам 01-ДДММГГГГ-код-аудитория");
        prefix_ = verdict_.folder + "/";
        for (const ZipEntry& entry : reader_.Entries())
            if (entry.name.starts_with(prefix_) && entry.name.size() > prefix_.size() &&
                !inFolder_.contains(entry.name.substr(prefix_.size())))
                inFolder_.emplace(entry.name.substr(prefix_.size()), &entry);
        return true;
    }

    const ZipEntry* FindReport() {
        std::vector<const ZipEntry*> reports;
        for (const auto& [name, entry] : inFolder_)
            if (name.find('/') == std::string::npos && EndsWithCsv(name))
                reports.push_back(entry);
        if (reports.empty()) {
            Add("", "нет отчёта (.csv) в папке собеседования");
            return nullptr;
        }
        std::sort(reports.begin(), reports.end(),
                  [](const ZipEntry* a, const ZipEntry* b) { return a->index < b->index; });
        for (std::size_t i = 1; i < reports.size(); ++i)
            Add(Inside(*reports[i]), "второй отчёт в папке собеседования");
        verdict_.reportName = Inside(*reports.front());
        return reports.front();
    }

    bool ReadReport(const ZipEntry& entry) {
        if (entry.declaredSize > MaxReportSize) {
            Add(verdict_.reportName, "отчёт заявлен размером " +
                                         std::to_string(entry.declaredSize) +
                                         " байт: таких отчётов не бывает, не читается");
            return false;
        }
        std::string bytes;
        const StreamResult read =
            reader_.Stream(entry, [&bytes](const unsigned char* data, std::size_t size) {
                bytes.append(reinterpret_cast<const char*>(data), size);
            });
        if (!read.failure.empty()) {
            Add(verdict_.reportName, read.failure);
            return false;
        }
        verdict_.report = interview_format::ParseReport(bytes);
        verdict_.reportBytes = std::move(bytes);
        for (const ReportProblem& problem : verdict_.report.problems)
            Add(verdict_.reportName,
                (problem.lineNumber ? "строка " + std::to_string(problem.lineNumber) + ": "
                                    : std::string()) +
                    problem.reason);
        return true;
    }

    void CheckNames() {
        const InterviewReport& report = verdict_.report;
        if (report.schoolCode.empty() || report.room.empty())
            return;
        if (!report.examDate.empty()) {
            const std::string expected = interview_format::FolderName(
                interview_format::NameDayOf(report.examDate), report.schoolCode, report.room);
            if (verdict_.folder != expected)
                Add(prefix_, "имя папки не совпадает с отчётом (ожидалось " + expected + ")");
        }
        if (!interview_format::IsReportNameFor(verdict_.reportName, report.schoolCode, report.room))
            Add(verdict_.reportName, "имя отчёта не по правилам (ожидалось 01-ДДММГГГГ-000000-" +
                                         report.schoolCode + "-" + report.room + ".csv)");
        // One interview has one course of days: a close dated before the interview began is a
        // clock that went back, and the archive's names would contradict each other.
        else if (interview_format::LooksLikeFolderName(verdict_.folder) &&
                 interview_format::DayBefore(interview_format::DayOfName(verdict_.reportName),
                                             interview_format::DayOfName(verdict_.folder)))
            Add(verdict_.reportName, "отчёт датирован раньше папки собеседования");
        for (const std::string* part : {&report.schoolCode, &report.room})
            if (!interview_format::IsNamePart(*part))
                Add(verdict_.reportName,
                    "код ОУ и аудитория не могут быть пустыми или кончаться точкой или пробелом "
                    "(«" +
                        *part + "»)");
    }

    void CheckRecordings() {
        std::set<std::string> listed;
        for (const ReportEntry& line : verdict_.report.recordings) {
            if (!listed.insert(line.name).second) {
                Add(line.name, "указана в отчёте дважды");
                continue;
            }
            if (!interview_format::ParticipantNumberOf(line.name))
                Add(line.name, "имя записи не по правилам (номер участника + .mp3)");
            RecordingVerdict recording{line.name, line.size, line.crc32, false, false, {}};
            const auto entry = inFolder_.find(line.name);
            if (interview_format::IsNotStarted(line)) {
                recording.notStarted = entry == inFolder_.end();
                recording.sound = recording.notStarted;
                if (!recording.notStarted)
                    Add(line.name, "в отчёте запись не состоялась (размер -1), а в архиве есть "
                                   "такой файл");
            } else if (line.size < 0) {
                Add(line.name, "размер -1 без отметок несостоявшейся записи (30-12-1899 "
                               "00.00.00 и контрольная сумма 00000000)");
            } else if (entry == inFolder_.end()) {
                Add(line.name, reason::Missing);
            } else {
                LoudnessMeter meter;
                Mp3Walk walk = options_.measureLoudness
                                   ? Mp3Walk([&meter](const float* samples, std::size_t frames,
                                                      int channels, long rate) {
                                         meter.Take(samples, frames, channels, rate);
                                     })
                                   : Mp3Walk(options_.decodeAudio);
                std::string why = CheckListedFile(reader_, *entry->second, line, &walk);
                if (why.empty()) {
                    recording.mp3 = walk.Finish();
                    why = recording.mp3.failure;
                }
                recording.sound = why.empty();
                if (!why.empty())
                    Add(line.name, why);
                else if (options_.measureLoudness)
                    Measured(recording, meter.Finish());
            }
            verdict_.recordings.push_back(std::move(recording));
        }
    }

    void Measured(RecordingVerdict& recording, LoudnessFacts facts) {
        for (std::string& why : LoudnessWarnings(facts))
            verdict_.warnings.push_back({recording.name, std::move(why)});
        recording.loudness = std::move(facts);
    }

    // The count line states the participant count; every participant up to it has a line.
    void CheckCount() {
        const InterviewReport& report = verdict_.report;
        const std::int64_t highest = interview_format::ParticipantCount(report.recordings);
        if (highest == 0) {
            Add(verdict_.reportName, "в отчёте нет ни одной записи участника");
            return;
        }
        if (report.participants && *report.participants != highest)
            Add(verdict_.reportName, "участников " + std::to_string(*report.participants) +
                                         ", а последняя запись — " + std::to_string(highest) +
                                         ".mp3");
        const std::vector<std::int64_t> gaps =
            interview_format::UnlistedParticipants(report.recordings, MaxListedGaps + 1);
        if (!gaps.empty())
            Add(verdict_.reportName, "нет строк отчёта для участников " + JoinNumbers(gaps));
    }

    void ReportUnlisted(const ZipEntry* report) {
        std::set<std::string> listed;
        for (const ReportEntry& line : verdict_.report.recordings)
            listed.insert(line.name);
        for (const auto& [name, entry] : inFolder_) {
            if (entry == report || listed.contains(name))
                continue;
            if (EndsWithCsv(name) && name.find('/') == std::string::npos)
                continue; // reported as a second report already
            Add(name, std::string(reason::Extra) + ": нет в отчёте");
        }
    }

    std::string Inside(const ZipEntry& entry) const { return entry.name.substr(prefix_.size()); }

    const ZipReader& reader_;
    const CheckOptions& options_;
    ArchiveVerdict& verdict_;
    std::string prefix_;
    std::map<std::string, const ZipEntry*> inFolder_;
};

} // namespace

std::size_t ArchiveVerdict::RecordingsHeld() const {
    return static_cast<std::size_t>(
        std::count_if(recordings.begin(), recordings.end(),
                      [](const RecordingVerdict& recording) { return !recording.notStarted; }));
}

double ArchiveVerdict::Seconds() const {
    double seconds = 0;
    for (const RecordingVerdict& recording : recordings)
        seconds += recording.mp3.seconds;
    return seconds;
}

ArchiveVerdict CheckArchive(const std::string& path, const CheckOptions& options) {
    ArchiveVerdict verdict;
    verdict.archive = path;
    try {
        const ZipReader reader(path);
        Checker(reader, options, verdict).Run();
    } catch (const UnreadableArchive& error) {
        verdict.readable = false;
        verdict.problems.push_back({"", error.what()});
    } catch (const DamagedArchive& error) {
        verdict.problems.push_back({"", error.what()});
    } catch (const std::exception& error) {
        verdict.problems.push_back({"", std::string("проверка прервана: ") + error.what()});
    }
    return verdict;
}

} // namespace interview_check
