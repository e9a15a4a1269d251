# The MP3 output's encoding cost against the lame command line (plain program, prints its ratio).
if(TARGET audio_mp3_test_support)
    add_executable(bench_mp3_encode ${CMAKE_CURRENT_LIST_DIR}/Mp3EncodeBench.cpp)
    target_link_libraries(bench_mp3_encode PRIVATE audio_mp3_test_support)
    station_bench_smoke(bench_mp3_encode FIGURE "^ratio: [0-9.]+")
endif()
