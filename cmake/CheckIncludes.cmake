# Run as a script (cmake -P) at build time: every quoted #include of the given files must match one
# of the allowed patterns, and with NO_QT no file may include the GUI toolkit. Fails the build with
# the offending file, line and include.
#
#   -DLAYER=name -DFILES=a|b -DALLOW=regex|regex -DNO_QT=ON|OFF -DSTAMP=file
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" FILES "${FILES}")
string(REPLACE "|" ";" ALLOW "${ALLOW}")

set(violations "")
foreach(file IN LISTS FILES)
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(header "${CMAKE_MATCH_1}")
            set(allowed FALSE)
            foreach(pattern IN LISTS ALLOW)
                if(header MATCHES "${pattern}")
                    set(allowed TRUE)
                    break()
                endif()
            endforeach()
            if(NOT allowed)
                string(APPEND violations "\n  ${file}: \"${header}\"")
            endif()
        elseif(NO_QT AND line MATCHES "^[ \t]*#[ \t]*include[ \t]*<(Q[A-Za-z]*|qt[^>]*|Qt[^>]*)>")
            string(APPEND violations "\n  ${file}: <${CMAKE_MATCH_1}> (the GUI toolkit)")
        endif()
    endforeach()
endforeach()

if(violations)
    list(JOIN ALLOW "  " allowed_text)
    message(FATAL_ERROR "${LAYER} includes what its layer may not use:${violations}\n"
                        "Allowed here: ${allowed_text}"
                        "\nPortable code includes only platform/*.h; backends are chosen by the "
                        "program's composition root.")
endif()
# Ninja creates the folders of a command's outputs, other generators (Unix Makefiles) do not.
get_filename_component(stamp_folder "${STAMP}" DIRECTORY)
file(MAKE_DIRECTORY "${stamp_folder}")
file(TOUCH "${STAMP}")
