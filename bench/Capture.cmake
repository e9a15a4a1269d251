# bench_capture: CPU per minute of recording through capture and gain indicator on the sound server.
# bench_capture_indicator: the indicator's per-block work without a server.
if(TARGET audio_capture)
add_executable(bench_capture ${CMAKE_CURRENT_LIST_DIR}/CaptureBench.cpp)
target_link_libraries(bench_capture PRIVATE audio_capture)
add_executable(bench_capture_indicator ${CMAKE_CURRENT_LIST_DIR}/CaptureIndicatorBench.cpp)
target_link_libraries(bench_capture_indicator PRIVATE audio_capture benchmark::benchmark)
station_bench_smoke(bench_capture FIGURE "captured [0-9.]+ s of audio" SOUND)
station_bench_smoke(bench_capture_indicator FIGURE "^IndicatorBlock/[0-9]+ +[0-9.]+ ")
endif()
