# The archive writer against the 7-Zip command line on interview folders of real recordings made
# with the project's encoder (plain program, prints the ratio of wall times per folder size).
if(TARGET archive AND TARGET audio_mp3_test_support)
    add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/ArchiveBench.cpp)
    target_link_libraries(bench_archive PRIVATE archive audio_mp3_test_support)
endif()
