// Binding of TagLib's C library (libtag_c.so.2 or libtag_c.so.0: TagLib 2 keeps the C interface
// the chain calls), loaded at run time on first need, optional, kept for the life of the process.
// Only the entry points the recording chain calls must be present; the others are looked up and
// may be missing.
#pragma once

#include "platform/RuntimeLibrary.h"

namespace audio {

struct TagLib_File;
struct TagLib_Tag;
struct TagLib_AudioProperties;

struct TTagEntryPoints {
    int (*taglib_audioproperties_bitrate)(const TagLib_AudioProperties*) = nullptr;
    int (*taglib_audioproperties_channels)(const TagLib_AudioProperties*) = nullptr;
    int (*taglib_audioproperties_length)(const TagLib_AudioProperties*) = nullptr;
    int (*taglib_audioproperties_samplerate)(const TagLib_AudioProperties*) = nullptr;
    const TagLib_AudioProperties* (*taglib_file_audioproperties)(const TagLib_File*) = nullptr;
    void (*taglib_file_free)(TagLib_File*) = nullptr;
    int (*taglib_file_is_valid)(const TagLib_File*) = nullptr;
    TagLib_File* (*taglib_file_new)(const char*) = nullptr;
    TagLib_File* (*taglib_file_new_type)(const char*, int) = nullptr;
    int (*taglib_file_save)(TagLib_File*) = nullptr;
    TagLib_Tag* (*taglib_file_tag)(const TagLib_File*) = nullptr;
    void (*taglib_id3v2_set_default_text_encoding)(int) = nullptr;
    void (*taglib_set_string_management_enabled)(int) = nullptr;
    void (*taglib_set_strings_unicode)(int) = nullptr;
    char* (*taglib_tag_album)(const TagLib_Tag*) = nullptr;
    char* (*taglib_tag_artist)(const TagLib_Tag*) = nullptr;
    char* (*taglib_tag_comment)(const TagLib_Tag*) = nullptr;
    void (*taglib_tag_free_strings)() = nullptr;
    char* (*taglib_tag_genre)(const TagLib_Tag*) = nullptr;
    void (*taglib_tag_set_album)(TagLib_Tag*, const char*) = nullptr;
    void (*taglib_tag_set_artist)(TagLib_Tag*, const char*) = nullptr;
    void (*taglib_tag_set_comment)(TagLib_Tag*, const char*) = nullptr;
    void (*taglib_tag_set_genre)(TagLib_Tag*, const char*) = nullptr;
    void (*taglib_tag_set_title)(TagLib_Tag*, const char*) = nullptr;
    void (*taglib_tag_set_track)(TagLib_Tag*, unsigned int) = nullptr;
    void (*taglib_tag_set_year)(TagLib_Tag*, unsigned int) = nullptr;
    char* (*taglib_tag_title)(const TagLib_Tag*) = nullptr;
    unsigned int (*taglib_tag_track)(const TagLib_Tag*) = nullptr;
    unsigned int (*taglib_tag_year)(const TagLib_Tag*) = nullptr;
};

// TagLib's number for UTF-16 text frames.
constexpr int TagLib_ID3v2_UTF16 = 1;

// A library that cannot be loaded, or that lacks an entry point the recording chain calls, is no
// error: the chain then writes no ID3v2 tag.
platform::RuntimeLibrary<TTagEntryPoints>& TagLibrary();

} // namespace audio
