# The MP3 file output and its bindings of the encoder library (liblame_enc.so) and of TagLib's C
# library, both loaded at run time.
if(TARGET audio_framework)
    add_library(audio_mp3
        ${CMAKE_CURRENT_LIST_DIR}/AudioMP3.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Mp3FrameEnds.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Mp3Tags.cpp
        ${CMAKE_CURRENT_LIST_DIR}/lame.cpp
        ${CMAKE_CURRENT_LIST_DIR}/taglib.cpp
    )
    target_include_directories(audio_mp3 PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(audio_mp3 PUBLIC audio_framework platform_core)
    # The encoder library is found beside the program at run time: build it with every user.
    add_dependencies(audio_mp3 lame_enc)
endif()
