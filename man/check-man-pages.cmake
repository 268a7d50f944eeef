# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DGROFF=groff -DMAN=man -DVERSION=x.y -P check-man-pages.cmake PAGE...
# Every page must format without a single groff warning, render with man -l, and name the
# project's version in its title line. Pages in UTF-8 (the Polish ones) pass through preconv
# (-k), as man itself runs them.
cmake_minimum_required(VERSION 3.25)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 4 ${last})
    set(page "${CMAKE_ARGV${i}}")
    if(NOT page MATCHES "\\.1$")
        continue()
    endif()
    execute_process(COMMAND "${GROFF}" -k -ww -man -Tutf8 -z "${page}"
                    RESULT_VARIABLE rc ERROR_VARIABLE warnings)
    if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
        message(FATAL_ERROR "groff -ww ${page}:\n${warnings}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 "${MAN}" -l "${page}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE errors)
    if(NOT rc EQUAL 0 OR NOT errors STREQUAL "" OR NOT text MATCHES "\n(NAME|NAZWA)\n.*\n(SYNOPSIS|SKŁADNIA)\n")
        message(FATAL_ERROR "man -l ${page} (${rc}):\n${errors}${text}")
    endif()
    file(STRINGS "${page}" title REGEX "^\\.TH ")
    if(NOT title MATCHES "\"Vortan ${VERSION}\"")
        message(FATAL_ERROR "${page}: the title line does not name version ${VERSION}: ${title}")
    endif()
endforeach()
