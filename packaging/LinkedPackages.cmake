# Read by CPack before it makes the package (CPACK_PROJECT_CONFIG_FILE): adds to Depends the packages
# of the libraries that STATION_PACKAGED_BINARIES link, as dpkg-shlibdeps names them on this machine.
set(work "${CPACK_PACKAGE_DIRECTORY}/_linked-packages")
file(REMOVE_RECURSE "${work}")
# dpkg-shlibdeps runs in a source package's folder; an empty control file is all it reads there.
file(WRITE "${work}/debian/control" "")
set(arguments)
foreach(binary IN LISTS STATION_PACKAGED_BINARIES)
    list(APPEND arguments "-e${binary}")
endforeach()
execute_process(COMMAND dpkg-shlibdeps -O ${arguments}
    WORKING_DIRECTORY "${work}"
    OUTPUT_VARIABLE substitution
    ERROR_VARIABLE messages
    RESULT_VARIABLE result)
file(REMOVE_RECURSE "${work}")
if(NOT result EQUAL 0 OR NOT substitution MATCHES "shlibs:Depends=([^\n]+)")
    message(FATAL_ERROR "dpkg-shlibdeps could not read the linked libraries (${result}): ${messages}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, ${CMAKE_MATCH_1}")
