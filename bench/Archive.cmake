# The archive writer against the 7-Zip command line on the same folder (plain program, prints the
# ratio of wall times).
if(TARGET archive)
    add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/ArchiveBench.cpp)
    target_link_libraries(bench_archive PRIVATE archive)
endif()
