# The component framework of the recording chain: components and events, inputs and converters,
# outputs with their worker threads, the event thread, file outputs and tag containers.
add_library(audio_framework
    ${CMAKE_CURRENT_LIST_DIR}/AudioFileOut.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioFileStream.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioInput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioOutput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioTags.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioThread.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Component.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EventHandler.cpp
)
target_include_directories(audio_framework PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(audio_framework PUBLIC platform_core Threads::Threads)
