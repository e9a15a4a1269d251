# Install layout of the station's programs, shared by every program folder.
#
#   bin/                          the programs
#   lib/interview-station/        the project's own run-time loaded libraries
#   share/man/man1/               one manual page per program
#
# The programs find the private libraries by their own location (platform/DynamicLibrary), so the
# installed tree may be moved as a whole.
include(GNUInstallDirs)

set(STATION_PRIVATE_LIBRARY_DIR "lib/interview-station" CACHE STRING
    "Folder, relative to the installation prefix, of the project's run-time loaded libraries")
# The same folder as seen from bin/, compiled into the loader.
file(RELATIVE_PATH STATION_PRIVATE_LIBRARY_DIR_FROM_PROGRAMS
     "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${STATION_PRIVATE_LIBRARY_DIR}")

# station_install_program(<target> MAN_PAGE <page.1>)
#
# Installs the program <target> into bin/ and its manual page into section 1 of the manual. The page
# may use @PROJECT_VERSION@ and @STATION_RELEASE_DATE@; it is installed compressed, named after the
# page's own file name.
function(station_install_program target)
    cmake_parse_arguments(P "" "MAN_PAGE" "" ${ARGN})
    if(NOT P_MAN_PAGE)
        message(FATAL_ERROR "station_install_program(${target}): MAN_PAGE is required")
    endif()
    get_filename_component(page "${P_MAN_PAGE}" ABSOLUTE)
    get_filename_component(page_name "${page}" NAME)
    set(filled "${CMAKE_CURRENT_BINARY_DIR}/man/${page_name}")
    configure_file("${page}" "${filled}" @ONLY)
    set(compressed "${filled}.gz")
    add_custom_command(OUTPUT "${compressed}"
        COMMAND gzip -9 -n -c "${filled}" > "${compressed}"
        DEPENDS "${filled}"
        COMMENT "Compressing manual page ${page_name}")
    add_custom_target(${target}_manual_page ALL DEPENDS "${compressed}")

    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    set_property(GLOBAL APPEND PROPERTY STATION_INSTALLED_BINARIES ${target})
    install(FILES "${compressed}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# station_install_private_library(<target>...)
#
# Installs run-time loaded libraries of the project into its private library folder.
function(station_install_private_library)
    install(TARGETS ${ARGN}
        LIBRARY DESTINATION ${STATION_PRIVATE_LIBRARY_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    set_property(GLOBAL APPEND PROPERTY STATION_INSTALLED_BINARIES ${ARGN})
endfunction()
