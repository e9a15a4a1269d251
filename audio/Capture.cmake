# The capture source over the platform's sound layer, and the gain indicator over the run-time
# loaded loudness analysis.
add_library(audio_capture
    ${CMAKE_CURRENT_LIST_DIR}/AudioCapture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioIndicators.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioProcs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DSWrapper.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GainAnalysis.cpp
)
target_include_directories(audio_capture PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(audio_capture PUBLIC audio_framework platform_pulse platform_core)
# The indicator loads libgain.so by name from the program's folder.
add_dependencies(audio_capture gain)

station_add_test(NAME audio_capture_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/CaptureSourceTest.cpp
    LIBS audio_capture
    LABELS concurrency
)
station_add_test(NAME audio_gain_indicator_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/GainIndicatorTest.cpp
    LIBS audio_capture
    LABELS concurrency
)
station_add_test(NAME audio_gain_library_absent_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/GainLibraryAbsentTest.cpp
    LIBS audio_capture
)
# Away from the program folder that holds libgain.so.
set_target_properties(audio_gain_library_absent_tests PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/without-gain)
station_add_test(NAME audio_capture_sound_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/CaptureSoundTest.cpp
    LIBS audio_capture
    SOUND
)
