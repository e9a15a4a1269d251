// A stand-in for TagLib's C library that lacks taglib_file_save, for the test that such a library
// is never used. Every entry point it has aborts the process if it is ever called.
#include <cstdlib>

#define NEVER_CALLED(name)                                                                         \
    extern "C" __attribute__((visibility("default"))) void name() {                                \
        std::abort();                                                                              \
    }

NEVER_CALLED(taglib_audioproperties_bitrate)
NEVER_CALLED(taglib_audioproperties_channels)
NEVER_CALLED(taglib_audioproperties_length)
NEVER_CALLED(taglib_audioproperties_samplerate)
NEVER_CALLED(taglib_file_audioproperties)
NEVER_CALLED(taglib_file_free)
NEVER_CALLED(taglib_file_is_valid)
NEVER_CALLED(taglib_file_new)
NEVER_CALLED(taglib_file_new_type)
NEVER_CALLED(taglib_file_tag)
NEVER_CALLED(taglib_id3v2_set_default_text_encoding)
NEVER_CALLED(taglib_set_string_management_enabled)
NEVER_CALLED(taglib_set_strings_unicode)
NEVER_CALLED(taglib_tag_album)
NEVER_CALLED(taglib_tag_artist)
NEVER_CALLED(taglib_tag_comment)
NEVER_CALLED(taglib_tag_free_strings)
NEVER_CALLED(taglib_tag_genre)
NEVER_CALLED(taglib_tag_set_album)
NEVER_CALLED(taglib_tag_set_artist)
NEVER_CALLED(taglib_tag_set_comment)
NEVER_CALLED(taglib_tag_set_genre)
NEVER_CALLED(taglib_tag_set_title)
NEVER_CALLED(taglib_tag_set_track)
NEVER_CALLED(taglib_tag_set_year)
NEVER_CALLED(taglib_tag_title)
NEVER_CALLED(taglib_tag_track)
NEVER_CALLED(taglib_tag_year)
