#include "audio/taglib.h"

#include "audio/EventHandler.h"
#include "platform/DynamicLibrary.h"

#include <atomic>
#include <mutex>
#include <optional>

namespace audio {

const char* const TagLibraryFileName = "libtag_c.so.0";

namespace {

std::atomic<bool> tagLibraryPresent{false};
std::optional<platform::DynamicLibrary> tagLibrary;
TTagEntryPoints entryPoints;
std::string tagFileName = TagLibraryFileName;

template <typename Function>
void LookUp(const platform::DynamicLibrary& library, Function& entry, const char* name) {
    entry = library.Entry<Function>(name);
}

TTagEntryPoints LookUpAll(const platform::DynamicLibrary& library) {
    TTagEntryPoints e;
    LookUp(library, e.taglib_audioproperties_bitrate, "taglib_audioproperties_bitrate");
    LookUp(library, e.taglib_audioproperties_channels, "taglib_audioproperties_channels");
    LookUp(library, e.taglib_audioproperties_length, "taglib_audioproperties_length");
    LookUp(library, e.taglib_audioproperties_samplerate, "taglib_audioproperties_samplerate");
    LookUp(library, e.taglib_file_audioproperties, "taglib_file_audioproperties");
    LookUp(library, e.taglib_file_free, "taglib_file_free");
    LookUp(library, e.taglib_file_is_valid, "taglib_file_is_valid");
    LookUp(library, e.taglib_file_new, "taglib_file_new");
    LookUp(library, e.taglib_file_new_type, "taglib_file_new_type");
    LookUp(library, e.taglib_file_save, "taglib_file_save");
    LookUp(library, e.taglib_file_tag, "taglib_file_tag");
    LookUp(library, e.taglib_id3v2_set_default_text_encoding,
           "taglib_id3v2_set_default_text_encoding");
    LookUp(library, e.taglib_set_string_management_enabled, "taglib_set_string_management_enabled");
    LookUp(library, e.taglib_set_strings_unicode, "taglib_set_strings_unicode");
    LookUp(library, e.taglib_tag_album, "taglib_tag_album");
    LookUp(library, e.taglib_tag_artist, "taglib_tag_artist");
    LookUp(library, e.taglib_tag_comment, "taglib_tag_comment");
    LookUp(library, e.taglib_tag_free_strings, "taglib_tag_free_strings");
    LookUp(library, e.taglib_tag_genre, "taglib_tag_genre");
    LookUp(library, e.taglib_tag_set_album, "taglib_tag_set_album");
    LookUp(library, e.taglib_tag_set_artist, "taglib_tag_set_artist");
    LookUp(library, e.taglib_tag_set_comment, "taglib_tag_set_comment");
    LookUp(library, e.taglib_tag_set_genre, "taglib_tag_set_genre");
    LookUp(library, e.taglib_tag_set_title, "taglib_tag_set_title");
    LookUp(library, e.taglib_tag_set_track, "taglib_tag_set_track");
    LookUp(library, e.taglib_tag_set_year, "taglib_tag_set_year");
    LookUp(library, e.taglib_tag_title, "taglib_tag_title");
    LookUp(library, e.taglib_tag_track, "taglib_tag_track");
    LookUp(library, e.taglib_tag_year, "taglib_tag_year");
    return e;
}

// The twelve entry points the recording chain calls: a library without one of them is not used.
bool HasCalledEntryPoints(const TTagEntryPoints& e) {
    return e.taglib_id3v2_set_default_text_encoding && e.taglib_file_new && e.taglib_file_tag &&
           e.taglib_file_is_valid && e.taglib_tag_set_title && e.taglib_tag_set_artist &&
           e.taglib_tag_set_album && e.taglib_tag_set_genre && e.taglib_tag_set_year &&
           e.taglib_tag_set_track && e.taglib_file_save && e.taglib_file_free;
}

} // namespace

void EnsureTagLibrary() {
    std::lock_guard guard(LibraryLoadLock());
    if (tagLibraryPresent)
        return;
    auto library = platform::DynamicLibrary::Load(tagFileName);
    if (!library)
        return;
    const TTagEntryPoints found = LookUpAll(*library);
    if (!HasCalledEntryPoints(found))
        return;
    tagLibrary = std::move(library);
    entryPoints = found;
    tagLibraryPresent = true;
}

bool TagLibraryPresent() {
    return tagLibraryPresent;
}

const TTagEntryPoints& TagLibrary() {
    return entryPoints;
}

void SetTagLibraryFileNameForTests(std::string FileName) {
    std::lock_guard guard(LibraryLoadLock());
    tagFileName = std::move(FileName);
}

} // namespace audio
