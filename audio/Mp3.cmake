# The MP3 file output and its bindings of the encoder library (liblame_enc.so) and of TagLib's C
# library, both loaded at run time.
if(TARGET audio_framework)
    add_library(audio_mp3
        ${CMAKE_CURRENT_LIST_DIR}/AudioMP3.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Mp3Tags.cpp
        ${CMAKE_CURRENT_LIST_DIR}/lame.cpp
        ${CMAKE_CURRENT_LIST_DIR}/taglib.cpp
    )
    target_include_directories(audio_mp3 PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(audio_mp3 PUBLIC audio_framework platform_core)
    # The encoder library is found beside the program at run time: build it with every user.
    add_dependencies(audio_mp3 lame_enc)

    add_library(audio_mp3_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/tests/Mp3TestSupport.cpp)
    target_link_libraries(audio_mp3_test_support PUBLIC audio_mp3 mp3_test_tools)

    station_add_test(NAME audio_mp3_tests
        SOURCES
            ${CMAKE_CURRENT_LIST_DIR}/tests/Mp3ConfigTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/Mp3OutputTest.cpp
        LIBS audio_mp3_test_support
        LABELS concurrency
    )
    # Each missing library needs a process of its own: a library, once loaded, stays.
    station_add_test(NAME audio_mp3_without_encoder_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/Mp3WithoutEncoderTest.cpp
        LIBS audio_mp3_test_support
    )
    # A stand-in TagLib that lacks a called entry point; loaded by name from the test's folder.
    add_library(tag_c_partial SHARED ${CMAKE_CURRENT_LIST_DIR}/tests/PartialTagLib.cpp)
    set_target_properties(tag_c_partial PROPERTIES CXX_VISIBILITY_PRESET hidden)
    station_add_test(NAME audio_mp3_without_taglib_tests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/Mp3WithoutTagLibTest.cpp
        LIBS audio_mp3_test_support
    )
    add_dependencies(audio_mp3_without_taglib_tests tag_c_partial)
    if(TARGET audio_capture)
        station_add_test(NAME audio_mp3_chain_tests
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/Mp3RecordingChainTest.cpp
            LIBS audio_mp3_test_support audio_capture
            SOUND
        )
    endif()
endif()
