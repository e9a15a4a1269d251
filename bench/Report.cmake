# The report's checksum: CRC-32 throughput over memory and over a recording-sized file.
if(TARGET station_core)
    add_executable(bench_report ${CMAKE_CURRENT_LIST_DIR}/ReportBench.cpp)
    target_link_libraries(bench_report PRIVATE station_core testsupport benchmark::benchmark)
    station_bench_smoke(bench_report FIGURE "^BM_FileCRC32/14 +[0-9.]+ ")
endif()
