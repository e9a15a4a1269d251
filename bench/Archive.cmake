# The station's whole close (pack and read-back) against `7z a` + `7z t` on interview folders of
# distinct recordings made with the project's encoder (plain program, prints min/median/max of
# each side and of the ratios per folder size).
if(TARGET station_core AND TARGET audio_mp3_test_support)
    add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/ArchiveBench.cpp)
    target_link_libraries(bench_archive PRIVATE station_core audio_mp3_test_support)
    station_bench_smoke(bench_archive FIGURE "recordings \\([0-9]+ bytes\\): station [0-9.]+/")
endif()
