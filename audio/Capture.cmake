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
