# The receiver's interview-verify against unzip's own test on the same archives (plain program).
if(TARGET interview-verify AND TARGET station_core)
    add_executable(bench_verify ${CMAKE_CURRENT_LIST_DIR}/VerifyBench.cpp)
    target_link_libraries(bench_verify PRIVATE station_core archive testsupport)
    target_compile_definitions(bench_verify PRIVATE
        INTERVIEW_VERIFY="$<TARGET_FILE:interview-verify>")
    add_dependencies(bench_verify interview-verify)
    station_bench_smoke(bench_verify FIGURE "interview-verify throughput \\(median\\): [0-9]+ MB/s")
    station_bench_smoke(bench_verify NAME bench_verify_loudness ARGS --loudness
                        FIGURE "audio analysed per CPU second \\(--loudness\\) +[0-9.]+")
endif()
