# The installed program: its command-line options, answered before any window opens, and its place
# in the install layout.
target_sources(interview-station PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp)
target_compile_definitions(interview-station PRIVATE STATION_VERSION="${PROJECT_VERSION}")
station_install_program(interview-station MAN_PAGE ${CMAKE_CURRENT_LIST_DIR}/interview-station.1)
