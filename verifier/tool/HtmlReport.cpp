#include "verifier/tool/HtmlReport.h"

#include "verifier/LoudnessWarnings.h"
#include "verifier/tool/LoudnessText.h"
#include "verifier/tool/TerminalText.h"
#include "verifier/tool/VerdictJson.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace interview_check::tool {
namespace {

// The strip's scale: from BS.1770's absolute gate to a shout.
constexpr double StripFloorLufs = -70.0;
constexpr double StripTopLufs = -10.0;
constexpr int StripHeight = 40;

constexpr const char* PageStart = R"(<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<title>Проверка архивов собеседования</title>
<style>
body { font-family: "DejaVu Sans", sans-serif; font-size: 14px; margin: 16px; color: #222; }
main { display: flex; flex-direction: column; gap: 16px; }
.summary { order: -1; font-size: 16px; font-weight: bold; }
section.archive { border: 1px solid #bbb; border-left: 6px solid #3a8a3a; padding: 8px 12px; }
section.archive.faulty { border-left-color: #c62828; }
section.archive.warned { border-left-color: #e0a000; }
h2 { font-size: 15px; margin: 0 0 6px 0; word-break: break-all; }
.status { display: inline-block; min-width: 7em; }
.faulty .status { color: #c62828; }
.warned .status { color: #a06800; }
dl { display: grid; grid-template-columns: max-content auto; gap: 2px 12px; margin: 0 0 8px 0; }
dt { color: #555; }
dd { margin: 0; }
ul.problems { color: #c62828; margin: 4px 0; }
table { border-collapse: collapse; }
th, td { border-bottom: 1px solid #ddd; padding: 3px 8px; text-align: right; vertical-align: middle; }
th { background: #f2f2f2; }
td.name, td.notes { text-align: left; }
td.notes { color: #a06800; }
svg.strip { width: 480px; height: 40px; background: #fafafa; display: block; }
.legend { color: #555; font-size: 12px; margin: 4px 0 0 0; }
</style>
</head>
<body>
<h1>Проверка архивов собеседования</h1>
<main>
)";

constexpr const char* PageEnd = R"(</main>
</body>
</html>
)";

std::string Row(const std::string& name, const std::string& value) {
    return "<dt>" + name + "</dt><dd>" + HtmlText(value) + "</dd>\n";
}

std::string Joined(const std::vector<std::string>& parts, const char* between) {
    std::string text;
    for (const std::string& part : parts)
        if (!part.empty())
            text += (text.empty() ? "" : between) + part;
    return text;
}

std::string Percent(double share, int decimals) {
    return DecimalText(share * 100, decimals) + "%";
}

std::string RecordingRow(const RecordingVerdict& recording, const ArchiveVerdict& verdict) {
    std::vector<std::string> notes;
    for (const Problem& warning : verdict.warnings)
        if (warning.entry == recording.name)
            notes.push_back(HtmlText(warning.reason));
    std::string row = "<tr class=\"recording\"><td class=\"name\">" + HtmlText(recording.name) +
                      "</td><td>" +
                      (recording.sound ? DurationText(recording.mp3.seconds) : "ОШИБКА") + "</td>";
    if (const auto& facts = recording.loudness) {
        row += "<td>" + DecibelText(facts->integratedLufs, "тишина") + "</td><td>" +
               DecimalText(facts->rangeLu, 1) + "</td><td>" +
               DecibelText(facts->samplePeakDbfs, "−∞") + "</td><td>" +
               Percent(facts->SilentShare(), 0) + "</td><td>" + Percent(facts->ClippedShare(), 1) +
               "</td><td>" + LoudnessStrip(*facts) + "</td>";
    } else {
        row += "<td colspan=\"6\">не измерена</td>";
    }
    return row + "<td class=\"notes\">" + Joined(notes, "<br>") + "</td></tr>\n";
}

} // namespace

std::string HtmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = Utf8SequenceLength(text);
        const auto byte = static_cast<unsigned char>(text[0]);
        if (length == 0 || byte < 0x20 || byte == 0x7f) {
            out += "\uFFFD";
            text.remove_prefix(std::max<std::size_t>(length, 1));
            continue;
        }
        switch (byte) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return out;
}

std::string LoudnessStrip(const LoudnessFacts& facts) {
    // The loudest step of each second: a second with a single word in it is not silent.
    std::vector<double> seconds;
    const auto perSecond = static_cast<std::size_t>(std::lround(1.0 / LoudnessStepSeconds));
    for (std::size_t i = 0; i < facts.momentary.size(); ++i) {
        const std::size_t second = i / perSecond;
        if (second >= seconds.size())
            seconds.push_back(-HUGE_VAL);
        seconds[second] = std::max(seconds[second], static_cast<double>(facts.momentary[i]));
    }
    const std::size_t width = std::max<std::size_t>(seconds.size(), 1);
    std::string marks;
    std::string bars;
    char piece[96];
    const auto silent = [&seconds](std::size_t s) { return !(seconds[s] >= SilenceLufs); };
    for (std::size_t s = 0; s < seconds.size(); ++s) {
        if (!silent(s))
            continue;
        const std::size_t start = s;
        while (s + 1 < seconds.size() && silent(s + 1))
            ++s;
        std::snprintf(piece, sizeof piece,
                      "<rect class=\"silent\" x=\"%zu\" y=\"0\" width=\"%zu\" height=\"%d\"/>",
                      start, s - start + 1, StripHeight);
        marks += piece;
    }
    for (std::size_t s = 0; s < seconds.size(); ++s) {
        const double level = (seconds[s] - StripFloorLufs) / (StripTopLufs - StripFloorLufs);
        if (!(level > 0))
            continue;
        const double height = std::min(level, 1.0) * StripHeight;
        std::snprintf(piece, sizeof piece, "M%zu %dv%.1fh1v%.1fz", s, StripHeight, -height, height);
        bars += piece;
    }
    return "<svg class=\"strip\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
           std::to_string(width) + " " + std::to_string(StripHeight) +
           "\" preserveAspectRatio=\"none\" role=\"img\"><title>Громкость по секундам, тишина "
           "отмечена красным</title>"
           "<g fill=\"#f4b4b4\">" +
           marks + "</g><path fill=\"#3a6ea5\" d=\"" + bars + "\"/></svg>";
}

HtmlReport::HtmlReport(const std::string& path) : file_(path) {
    file_.Write(PageStart);
}

void HtmlReport::Add(const ArchiveVerdict& verdict) {
    const InterviewReport& report = verdict.report;
    const char* kind = !verdict.Sound() ? "faulty" : !verdict.warnings.empty() ? "warned" : "ok";
    const char* status = !verdict.Sound()            ? "ОШИБКА"
                         : !verdict.warnings.empty() ? "ВНИМАНИЕ"
                                                     : "OK";
    std::string html =
        "<section class=\"archive " + std::string(kind) + "\"><h2><span class=\"status\">" +
        status + "</span> " + HtmlText(verdict.archive) + "</h2>\n<dl>\n" +
        Row("Школа", Joined({report.region, report.schoolName, report.schoolCode}, ", ")) +
        Row("Аудитория", report.room) + Row("Дата", report.examDate) +
        Row("Участников", report.participants ? std::to_string(*report.participants) : "") +
        Row("Записи",
            std::to_string(verdict.recordings.size()) + ", " + DurationText(verdict.Seconds())) +
        "</dl>\n";
    if (!verdict.problems.empty()) {
        html += "<ul class=\"problems\">\n";
        for (const Problem& problem : verdict.problems)
            html += "<li>" +
                    HtmlText(problem.entry.empty() ? problem.reason
                                                   : problem.entry + ": " + problem.reason) +
                    "</li>\n";
        html += "</ul>\n";
    }
    if (!verdict.recordings.empty()) {
        html += "<table>\n<tr><th>Запись</th><th>Длительность</th><th>Громкость, LUFS</th>"
                "<th>Диапазон, LU</th><th>Пик, dBFS</th><th>Тишина</th><th>На пределе</th>"
                "<th>Громкость во времени</th><th>Предупреждения</th></tr>\n";
        for (const RecordingVerdict& recording : verdict.recordings)
            html += RecordingRow(recording, verdict);
        html += "</table>\n";
    }
    file_.Write(html + "</section>\n");
}

void HtmlReport::Finish(const Tally& tally) {
    file_.Write("<section class=\"summary\">" + HtmlText(SummaryLine(tally)) +
                "<p class=\"legend\">Полоса — громкость записи по секундам (от −70 до −10 LUFS); "
                "красным отмечены секунды тишины (не выше " +
                DecimalText(SilenceLufs, 1) + " LUFS).</p></section>\n" + PageEnd);
    file_.Commit();
}

} // namespace interview_check::tool
