#include "verifier/tool/VerdictJson.h"

#include "verifier/tool/TerminalText.h"

#include <cinttypes>
#include <cstdio>

namespace interview_check::tool {
namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string Field(std::string_view name, const std::string& value) {
    return JsonString(name) + ":" + value;
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

std::string Optional(const std::optional<double>& value) {
    return value ? Number(*value) : "null";
}

std::string LoudnessJson(const LoudnessFacts& facts) {
    char share[32];
    std::snprintf(share, sizeof share, "%.6f", facts.ClippedShare());
    return ",\"loudness\":{" + Field("integrated_lufs", Optional(facts.integratedLufs)) + "," +
           Field("range_lu", Number(facts.rangeLu)) + "," +
           Field("sample_peak_dbfs", Optional(facts.samplePeakDbfs)) + "," +
           Field("silent_share", Number(facts.SilentShare())) + "," +
           Field("clipped_samples", std::to_string(facts.clippedSamples)) + "," +
           Field("clipped_share", share) + "}";
}

std::string ProblemsJson(const std::vector<Problem>& problems) {
    std::string json = "[";
    for (std::size_t i = 0; i < problems.size(); ++i)
        json += (i ? ",{" : "{") + Field("entry", JsonString(problems[i].entry)) + "," +
                Field("reason", JsonString(problems[i].reason)) + "}";
    return json + "]";
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        const std::size_t length = Utf8SequenceLength(text);
        if (length == 0) {
            out += "\\ufffd";
            text.remove_prefix(1);
            continue;
        }
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (IsControlCharacter(text, length)) {
            // C1 controls and DEL are legal in JSON but act on a terminal that shows it.
            const unsigned code = length == 1 ? byte : static_cast<unsigned char>(text[1]);
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
            out += escaped;
        } else {
            out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return out + "\"";
}

std::string VerdictJson(const ArchiveVerdict& verdict, bool loudness) {
    const InterviewReport& report = verdict.report;
    std::string json =
        "{" + Field("archive", JsonString(verdict.archive)) + "," +
        Field("ok", Bool(verdict.Sound())) + "," + Field("readable", Bool(verdict.readable)) + "," +
        Field("folder", JsonString(verdict.folder)) + "," +
        Field("report", JsonString(verdict.reportName)) + "," +
        Field("exam_date", JsonString(report.examDate)) + "," +
        Field("region", JsonString(report.region)) + "," +
        Field("school_code", JsonString(report.schoolCode)) + "," +
        Field("school_name", JsonString(report.schoolName)) + "," +
        Field("room", JsonString(report.room)) + "," +
        Field("participants", report.participants ? std::to_string(*report.participants) : "null") +
        "," + Field("duration_seconds", Number(verdict.Seconds())) + ",\"recordings\":[";
    for (std::size_t i = 0; i < verdict.recordings.size(); ++i) {
        const RecordingVerdict& recording = verdict.recordings[i];
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08" PRIX32, recording.crc32);
        json += (i ? ",{" : "{") + Field("name", JsonString(recording.name)) + "," +
                Field("size", std::to_string(recording.size)) + "," +
                Field("crc32", JsonString(crc)) + "," + Field("ok", Bool(recording.sound)) + "," +
                Field("not_started", Bool(recording.notStarted)) + "," +
                Field("frames", std::to_string(recording.mp3.frames)) + "," +
                Field("sample_rate", std::to_string(recording.mp3.sampleRate)) + "," +
                Field("channels", std::to_string(recording.mp3.channels)) + "," +
                Field("duration_seconds", Number(recording.mp3.seconds)) +
                (recording.loudness ? LoudnessJson(*recording.loudness) : "") + "}";
    }
    json += "]," + Field("problems", ProblemsJson(verdict.problems));
    if (loudness)
        json += "," + Field("warnings", ProblemsJson(verdict.warnings));
    return json + "}";
}

} // namespace interview_check::tool
