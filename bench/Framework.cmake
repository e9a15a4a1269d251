# The chain framework's own costs: throughput, one Run + Stop cycle, allocations per block.
if(TARGET audio_framework)
    add_executable(bench_framework ${CMAKE_CURRENT_LIST_DIR}/FrameworkBench.cpp)
    target_link_libraries(bench_framework PRIVATE audio_framework benchmark::benchmark)
    # The counting operator new and delete are a matched pair; GCC cannot see that once inlined.
    target_compile_options(bench_framework PRIVATE -Wno-mismatched-new-delete)
    station_bench_smoke(bench_framework FIGURE "^RunAndSynchronousStop/real_time +[0-9.]+ ")
endif()
