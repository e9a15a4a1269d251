# bench_capture_loss: seconds of audio in the file against seconds elapsed, and the loss counted,
# for a recording on a normal disk, on a slow disk and beside a second recorder (needs a sound
# server, PULSE_SERVER, and for the slow disk /dev/fuse).
if(TARGET station_core)
    add_executable(bench_capture_loss ${CMAKE_CURRENT_LIST_DIR}/CaptureLossBench.cpp)
    target_link_libraries(bench_capture_loss PRIVATE station_core testsupport)
    station_bench_smoke(bench_capture_loss SOUND
                        FIGURE "^second-recorder +elapsed +[0-9.]+ s +captured +[0-9.]+ s")
endif()
