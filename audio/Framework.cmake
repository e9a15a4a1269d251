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

station_add_test(NAME audio_framework_protocol_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/ReadingProtocolTest.cpp
    LIBS audio_framework
)

station_add_test(NAME audio_framework_thread_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/OutputThreadTest.cpp
    LIBS audio_framework
    LABELS concurrency
)

station_add_test(NAME audio_framework_stress_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/StressTest.cpp
    LIBS audio_framework
    LABELS concurrency
)

station_add_test(NAME audio_framework_file_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/FileOutTest.cpp
    LIBS audio_framework
)
