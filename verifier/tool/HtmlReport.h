// The verdicts as one page a person looks at: per archive the school, room, date, participants
// and status, per recording its duration, loudness and a strip of its loudness over time with the
// silent stretches marked. Self-contained (inline styles and SVG, no scripts, nothing fetched), so
// it opens the same way on any computer; every text that comes from an archive is escaped, since
// the archives are whatever the senders made them.
#pragma once

#include "verifier/ArchiveCheck.h"
#include "verifier/tool/ReplacedFile.h"
#include "verifier/tool/VerdictText.h"

#include <string>
#include <string_view>

namespace interview_check::tool {

// `text` safe inside an HTML element or a quoted attribute; bytes that are not UTF-8 and control
// characters become U+FFFD.
std::string HtmlText(std::string_view text);

// An inline SVG of the momentary loudness, one bar per second, silent seconds marked.
std::string LoudnessStrip(const LoudnessFacts& facts);

// Written archive by archive as the verdicts come, so hundreds of archives need not stay in
// memory; the page appears at its name only when Finish succeeds.
class HtmlReport {
public:
    explicit HtmlReport(const std::string& path);
    void Add(const ArchiveVerdict& verdict);
    void Finish(const Tally& tally);

private:
    ReplacedFile file_;
};

} // namespace interview_check::tool
