# The layering of the code, checked by the build rather than left to convention. Before a layer's
# targets compile, every quoted #include in the layer's files must match one of its allowed
# patterns, and the layers marked NO_QT may not include the GUI toolkit. A break fails the build
# with the file and the include (cmake/CheckIncludes.cmake).
#
# station_include_rules(NAME layer TARGETS target... FILES glob... [RECURSE] [EXCLUDE regex...]
#                       ALLOW regex... [NO_QT])
# Globs are relative to the project's root; RECURSE also takes the files of sub-folders. The
# targets that do not exist in this build (the sanitizer builds have no GUI) are skipped.
# Every layer's check, without building the layers themselves: what a second generator builds in
# the test command.
add_custom_target(layering_checks)

function(station_include_rules)
    cmake_parse_arguments(R "NO_QT;RECURSE" "NAME" "TARGETS;FILES;EXCLUDE;ALLOW" ${ARGN})
    set(targets "")
    foreach(target IN LISTS R_TARGETS)
        if(TARGET ${target})
            list(APPEND targets ${target})
        endif()
    endforeach()
    if(NOT targets)
        return()
    endif()

    set(globs "")
    foreach(pattern IN LISTS R_FILES)
        list(APPEND globs "${PROJECT_SOURCE_DIR}/${pattern}")
    endforeach()
    if(R_RECURSE)
        file(GLOB_RECURSE files CONFIGURE_DEPENDS ${globs})
    else()
        file(GLOB files CONFIGURE_DEPENDS ${globs})
    endif()
    foreach(pattern IN LISTS R_EXCLUDE)
        list(FILTER files EXCLUDE REGEX "${pattern}")
    endforeach()

    set(no_qt OFF)
    if(R_NO_QT)
        set(no_qt ON)
    endif()
    # Lists travel to the script with "|" in place of ";" (no pattern here uses alternation).
    string(REPLACE ";" "|" file_arg "${files}")
    string(REPLACE ";" "|" allow_arg "${R_ALLOW}")
    set(stamp "${CMAKE_BINARY_DIR}/include-rules/${R_NAME}.checked")
    set(script "${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake")
    add_custom_command(
        OUTPUT "${stamp}"
        COMMAND ${CMAKE_COMMAND} "-DLAYER=${R_NAME}" "-DFILES=${file_arg}" "-DALLOW=${allow_arg}"
                "-DNO_QT=${no_qt}" "-DSTAMP=${stamp}" -P "${script}"
        DEPENDS ${files} "${script}"
        COMMENT "Checking the includes of the ${R_NAME} layer"
        VERBATIM)
    add_custom_target(${R_NAME}_include_rules DEPENDS "${stamp}")
    add_dependencies(layering_checks ${R_NAME}_include_rules)
    foreach(target IN LISTS targets)
        add_dependencies(${target} ${R_NAME}_include_rules)
    endforeach()
endfunction()

# The platform's portable headers: the only part of platform/ that portable code includes. Each
# backend (linux, pulse, player, lame_enc, gain, qt) lives in a sub-folder behind them.
set(STATION_PORTABLE_PLATFORM "^platform/[^/]+\\.h$")

# What the station and the receiver's check agree on about an interview sits below both and knows
# neither.
station_include_rules(NAME interview_format TARGETS interview_format
    FILES interview_format/*.h interview_format/*.cpp
    ALLOW "^interview_format/" ${STATION_PORTABLE_PLATFORM}
    NO_QT)

station_include_rules(NAME platform_portable TARGETS platform_core
    FILES platform/*.h platform/*.cpp
    ALLOW ${STATION_PORTABLE_PLATFORM}
    NO_QT)

# Each backend behind the portable headers knows those headers and itself, never another backend:
# a backend can then be replaced alone. The one exception is the player, which plays through the
# sound server's stream as the capture does, rather than keep a second connection to it.
foreach(backend IN ITEMS linux pulse lame_enc gain)
    station_include_rules(NAME platform_${backend}
        TARGETS platform_core platform_pulse lame_enc gain
        FILES platform/${backend}/*.h platform/${backend}/*.cpp
        ALLOW "^platform/${backend}/" ${STATION_PORTABLE_PLATFORM}
        NO_QT)
endforeach()
station_include_rules(NAME platform_player TARGETS platform_player
    FILES platform/player/*.h platform/player/*.cpp
    ALLOW "^platform/player/" "^platform/pulse/PulseStream\\.h$" ${STATION_PORTABLE_PLATFORM}
    NO_QT)
station_include_rules(NAME platform_qt TARGETS platform_qt
    FILES platform/qt/*.h platform/qt/*.cpp
    ALLOW "^platform/qt/" ${STATION_PORTABLE_PLATFORM})

station_include_rules(NAME archive TARGETS archive
    FILES archive/*.h archive/*.cpp archive/formats/*.h archive/formats/*.cpp
    ALLOW "^archive/" ${STATION_PORTABLE_PLATFORM}
    NO_QT)

station_include_rules(NAME audio TARGETS audio_framework audio_capture audio_mp3
    FILES audio/*.h audio/*.cpp
    ALLOW "^audio/" ${STATION_PORTABLE_PLATFORM}
    NO_QT)

station_include_rules(NAME controls TARGETS station_controls
    FILES controls/*.h controls/*.cpp
    ALLOW "^controls/" ${STATION_PORTABLE_PLATFORM})

# Inside the station, base < safeguards < core: its rules that need no recording chain (names,
# report lines, file facts) know neither the safeguards nor the core, the safeguards do not know
# the core, and the core (the interview itself) knows all three. None knows a GUI toolkit or a
# view; each reaches the platform through its portable headers. The core reads archives back
# through the receiving side's check.
set(STATION_BASE_HEADERS "^station/[^/]+\\.h$" "^interview_format/")
station_include_rules(NAME station_base TARGETS station_base
    FILES station/*.h station/*.cpp
    ALLOW ${STATION_BASE_HEADERS} ${STATION_PORTABLE_PLATFORM}
    NO_QT)
station_include_rules(NAME station_safeguards TARGETS station_safeguards
    FILES station/safeguards/*.h station/safeguards/*.cpp
    ALLOW ${STATION_BASE_HEADERS} "^station/safeguards/" ${STATION_PORTABLE_PLATFORM}
    NO_QT)
set(STATION_CORE_HEADERS ${STATION_BASE_HEADERS} "^station/safeguards/" "^station/core/")
station_include_rules(NAME station_core TARGETS station_core
    FILES station/core/*.h station/core/*.cpp
    ALLOW ${STATION_CORE_HEADERS} "^audio/" "^archive/" "^verifier/" ${STATION_PORTABLE_PLATFORM}
    NO_QT)

# The views show the core with the controls and the GUI toolkit's layer of the platform.
station_include_rules(NAME station_views TARGETS station_views
    FILES station/views/*.h station/views/*.cpp
    ALLOW ${STATION_CORE_HEADERS} "^station/views/" "^controls/" ${STATION_PORTABLE_PLATFORM}
          "^platform/qt/")

# The program's services. Backends are picked in exactly two files: the composition root,
# main.cpp, and the wiring it shares with the core's tests and the benchmarks,
# StationWiring.h/.cpp, which builds the services and the core. The wiring is checked on its own:
# it reaches every backend through the portable headers and knows no GUI toolkit, so that the
# tests of a build without one can link it.
station_include_rules(NAME station_app TARGETS station_services station_session interview-station
    FILES station/app/*.h station/app/*.cpp
    EXCLUDE "/station/app/main\\.cpp$" "/station/app/StationWiring\\."
    ALLOW ${STATION_CORE_HEADERS} "^station/app/" "^audio/" "^archive/" ${STATION_PORTABLE_PLATFORM}
          "^platform/qt/")
station_include_rules(NAME station_wiring TARGETS station_wiring
    FILES station/app/StationWiring.h station/app/StationWiring.cpp
    ALLOW ${STATION_CORE_HEADERS} "^station/app/" ${STATION_PORTABLE_PLATFORM}
    NO_QT)

# The receiving side's check and its program read archives with their own libraries; with the
# station they share only the interview's format, never a station header.
station_include_rules(NAME verifier TARGETS interview_check interview_verify_tool interview-verify
    FILES verifier/*.h verifier/*.cpp verifier/tool/*.h verifier/tool/*.cpp
    ALLOW "^verifier/" "^interview_format/" ${STATION_PORTABLE_PLATFORM}
    NO_QT)

# The receiver's tests build their interviews through the interview format, the archive writer and
# the recording chain, as a receiver could; a station header among them would let the check and
# the station agree by sharing a mistake.
station_include_rules(NAME verifier_tests
    TARGETS verifier_test_fixture verifier_tests verifier_loudness_chain_tests verifier_tool_tests
            verifier_job_tests verifier_text_tests
    FILES verifier/tests/*.h verifier/tests/*.cpp
    ALLOW "^verifier/" "^interview_format/" "^archive/" "^audio/" ${STATION_PORTABLE_PLATFORM}
          "^testsupport/"
    NO_QT)

# The program's composition root, which no layer's rule above reads: it may pick every backend and
# every layer, but the tests' support stays out of the product.
station_include_rules(NAME station_main TARGETS interview-station
    FILES station/app/main.cpp
    ALLOW "^station/" "^platform/" "^audio/" "^archive/" "^controls/" "^verifier/"
          "^interview_format/")

# The tests' support (testsupport/) is for test and benchmark targets only: no layer's rule above
# allows a product source to include it, and no product target may link it, also not through
# another library. A product target is one defined outside the tests', benchmarks' and test
# support's own folders. Checked when the build is configured, naming the target.
function(station_links_test_support target found_var)
    set(pending ${target})
    set(seen "")
    set(found "")
    while(pending)
        list(POP_FRONT pending current)
        if(current IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${current})
        set(links "")
        foreach(property IN ITEMS LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
            get_target_property(type ${current} TYPE)
            if(property STREQUAL "LINK_LIBRARIES" AND type STREQUAL "INTERFACE_LIBRARY")
                continue()
            endif()
            get_target_property(values ${current} ${property})
            if(values)
                list(APPEND links ${values})
            endif()
        endforeach()
        foreach(link IN LISTS links)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if(link STREQUAL "testsupport")
                set(found ${current})
                break()
            endif()
            if(TARGET ${link})
                list(APPEND pending ${link})
            endif()
        endforeach()
        if(found)
            break()
        endif()
    endwhile()
    set(${found_var} "${found}" PARENT_SCOPE)
endfunction()

function(station_refuse_test_support_in_product)
    set(folders "${PROJECT_SOURCE_DIR}")
    while(folders)
        list(POP_FRONT folders folder)
        get_property(subfolders DIRECTORY "${folder}" PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
        file(RELATIVE_PATH relative "${PROJECT_SOURCE_DIR}" "${folder}")
        if(relative MATCHES "(^|/)(tests|bench|testsupport)(/|$)")
            continue()
        endif()
        get_property(targets DIRECTORY "${folder}" PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            station_links_test_support(${target} through)
            if(through)
                message(FATAL_ERROR "The product target ${target} links the tests' support "
                                    "(testsupport, through ${through}); only test and benchmark "
                                    "targets may.")
            endif()
        endforeach()
    endwhile()
endfunction()
station_refuse_test_support_in_product()
