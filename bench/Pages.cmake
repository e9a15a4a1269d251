# The station's own figures, measured on the real window and chain (plain programs; they need a
# sound server with a default source, PULSE_SERVER):
# bench_pages_gap: the gap between participants after a long recording, broken down.
# bench_pages_load: the station's CPU share and memory while a participant is recorded.
if(TARGET station_views)
    # Qt's imported targets are visible only where Qt was found.
    find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
    add_executable(bench_pages_gap ${CMAKE_CURRENT_LIST_DIR}/PagesGapBench.cpp)
    target_link_libraries(bench_pages_gap PRIVATE station_views station_wiring platform_qt
                                           testsupport)
    station_bench_smoke(bench_pages_gap FIGURE "first block of the next file: +[0-9.]+" SOUND GUI)
endif()
if(TARGET station_views)
    add_executable(bench_pages_load ${CMAKE_CURRENT_LIST_DIR}/PagesLoadBench.cpp)
    target_link_libraries(bench_pages_load PRIVATE station_views station_wiring platform_qt
                                           testsupport)
    station_bench_smoke(bench_pages_load FIGURE "ratio station / pipeline: +min [0-9.]+" SOUND GUI)
endif()
