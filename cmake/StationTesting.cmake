# station_add_test(NAME name SOURCES ... [LIBS ...] [LABELS ...] [SOUND] [GUI] [TIMEOUT s])
#
# One GoogleTest program registered with CTest. LABELS "concurrency" puts it into the
# ThreadSanitizer run. SOUND marks a test that needs the private audio server that the test command
# starts (such tests never run at the same time, so real-time pacing is not disturbed; without the
# server they are reported as skipped). GUI runs it
# on Qt's offscreen platform.
enable_testing()
find_package(GTest REQUIRED)

function(station_add_test)
    cmake_parse_arguments(T "SOUND;GUI" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} testsupport GTest::gtest GTest::gmock
                                            GTest::gtest_main)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set(labels ${T_LABELS})
    if(T_SOUND)
        list(APPEND labels sound)
        set_property(TEST ${T_NAME} APPEND PROPERTY RESOURCE_LOCK audio_server)
        # Without the server such a test skips with these words (testsupport/TestSoundServer.h):
        # CTest then lists it as skipped, never as passed.
        set_property(TEST ${T_NAME} PROPERTY SKIP_REGULAR_EXPRESSION "no test sound server")
    endif()
    if(T_GUI)
        list(APPEND labels gui)
        set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 600)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${labels}" TIMEOUT ${T_TIMEOUT})
endfunction()
