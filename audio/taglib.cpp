#include "audio/taglib.h"

#include "platform/RuntimeLibraryCandidates.h"

namespace audio {

namespace {

// Twelve entry points are called by the recording chain; the others are looked up only.
void BindTagLib(platform::EntryPointBinder& b, TTagEntryPoints& e) {
    b.Optional(e.taglib_audioproperties_bitrate, "taglib_audioproperties_bitrate");
    b.Optional(e.taglib_audioproperties_channels, "taglib_audioproperties_channels");
    b.Optional(e.taglib_audioproperties_length, "taglib_audioproperties_length");
    b.Optional(e.taglib_audioproperties_samplerate, "taglib_audioproperties_samplerate");
    b.Optional(e.taglib_file_audioproperties, "taglib_file_audioproperties");
    b.Called(e.taglib_file_free, "taglib_file_free");
    b.Called(e.taglib_file_is_valid, "taglib_file_is_valid");
    b.Called(e.taglib_file_new, "taglib_file_new");
    b.Optional(e.taglib_file_new_type, "taglib_file_new_type");
    b.Called(e.taglib_file_save, "taglib_file_save");
    b.Called(e.taglib_file_tag, "taglib_file_tag");
    b.Called(e.taglib_id3v2_set_default_text_encoding, "taglib_id3v2_set_default_text_encoding");
    b.Optional(e.taglib_set_string_management_enabled, "taglib_set_string_management_enabled");
    b.Optional(e.taglib_set_strings_unicode, "taglib_set_strings_unicode");
    b.Optional(e.taglib_tag_album, "taglib_tag_album");
    b.Optional(e.taglib_tag_artist, "taglib_tag_artist");
    b.Optional(e.taglib_tag_comment, "taglib_tag_comment");
    b.Optional(e.taglib_tag_free_strings, "taglib_tag_free_strings");
    b.Optional(e.taglib_tag_genre, "taglib_tag_genre");
    b.Called(e.taglib_tag_set_album, "taglib_tag_set_album");
    b.Called(e.taglib_tag_set_artist, "taglib_tag_set_artist");
    b.Optional(e.taglib_tag_set_comment, "taglib_tag_set_comment");
    b.Called(e.taglib_tag_set_genre, "taglib_tag_set_genre");
    b.Called(e.taglib_tag_set_title, "taglib_tag_set_title");
    b.Called(e.taglib_tag_set_track, "taglib_tag_set_track");
    b.Called(e.taglib_tag_set_year, "taglib_tag_set_year");
    b.Optional(e.taglib_tag_title, "taglib_tag_title");
    b.Optional(e.taglib_tag_track, "taglib_tag_track");
    b.Optional(e.taglib_tag_year, "taglib_tag_year");
}

} // namespace

platform::RuntimeLibrary<TTagEntryPoints>& TagLibrary() {
    static platform::RuntimeLibrary<TTagEntryPoints> library(platform::TagLibraryCandidates,
                                                             &BindTagLib);
    return library;
}

} // namespace audio
