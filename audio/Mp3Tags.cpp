#include "audio/Mp3Tags.h"

#include "audio/AudioException.h"
#include "audio/WideText.h"
#include "audio/taglib.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <mutex>
#include <optional>

namespace audio {
namespace {

constexpr std::size_t Id3v1TextBytes = 30;

// At most 30 bytes, and never the first bytes of a character without its last ones.
void PutText(TId3v1Block& block, std::size_t offset, const std::string& text) {
    std::size_t length = std::min(text.size(), Id3v1TextBytes);
    if (length < text.size())
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    std::copy_n(text.begin(), length, block.begin() + offset);
}

// TagLib's C binding keeps process-wide state (the default text encoding among it): one tag
// writer at a time.
std::mutex tagWriterLock;

// Only a whole decimal number counts; anything else leaves the field alone.
std::optional<unsigned int> WholeNumber(const std::string& text) {
    unsigned int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

TId3v1Block MakeId3v1Block(const TId3v1Tags& Tags) {
    TId3v1Block block{};
    block[0] = 'T';
    block[1] = 'A';
    block[2] = 'G';
    PutText(block, 3, Tags.Title());
    PutText(block, 33, Tags.Artist());
    PutText(block, 63, Tags.Album());
    if (Tags.Year() != 0) {
        const std::string year = std::to_string(Tags.Year());
        if (year.size() == 4)
            std::copy(year.begin(), year.end(), block.begin() + 93);
    }
    PutText(block, 97, Tags.Comment());
    return block;
}

void WriteId3v2Fields(const std::string& FileName, const TId3v2Tags& Tags) {
    const TTagEntryPoints& tl = TagLibrary().Get();
    std::lock_guard guard(tagWriterLock);
    tl.taglib_id3v2_set_default_text_encoding(TagLib_ID3v2_UTF16);
    const auto free = [&tl](TagLib_File* file) { tl.taglib_file_free(file); };
    const std::unique_ptr<TagLib_File, decltype(free)> file(tl.taglib_file_new(FileName.c_str()),
                                                            free);
    if (!file || !tl.taglib_file_is_valid(file.get()))
        throw EAudioException("Failed to write tags", {platform::FailureKind::TagsNotWritten, 0});
    TagLib_Tag* tag = tl.taglib_file_tag(file.get());
    tl.taglib_tag_set_title(tag, Utf16ToUtf8(Tags.Title()).c_str());
    tl.taglib_tag_set_artist(tag, Utf16ToUtf8(Tags.Artist()).c_str());
    tl.taglib_tag_set_album(tag, Utf16ToUtf8(Tags.Album()).c_str());
    tl.taglib_tag_set_genre(tag, Utf16ToUtf8(Tags.Genre()).c_str());
    if (const auto year = WholeNumber(Tags.Year()))
        tl.taglib_tag_set_year(tag, *year);
    if (const auto track = WholeNumber(Tags.Track()))
        tl.taglib_tag_set_track(tag, *track);
    if (!tl.taglib_file_save(file.get()))
        throw EAudioException("Failed to save tags");
}

} // namespace audio
