# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DBUILD_DIR=.. -DPREFIX=.. -P check-uninstall.cmake
# Installs everything into PREFIX, uninstalls it with uninstall.cmake, and fails on anything
# left but the empty PREFIX/bin and PREFIX/share. Component by component, so that the build
# folder's own install_manifest.txt (from a real install) is not overwritten.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
file(MAKE_DIRECTORY "${PREFIX}/bin" "${PREFIX}/share")
set(manifests)
foreach(component Unspecified desktop)
    execute_process(
        COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
            --component ${component}
        RESULT_VARIABLE rc OUTPUT_QUIET)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "cmake --install --component ${component} failed: ${rc}")
    endif()
    list(APPEND manifests "${BUILD_DIR}/install_manifest_${component}.txt")
endforeach()
foreach(expected bin/vortan-render share/man/man1/vortan-render.1
        share/metainfo/org.example.vortan.metainfo.xml)
    if(NOT EXISTS "${PREFIX}/${expected}")
        message(FATAL_ERROR "not installed: ${expected}")
    endif()
endforeach()

list(GET manifests 0 first)
list(GET manifests 1 second)
execute_process(
    COMMAND "${CMAKE_COMMAND}" -DMANIFEST=${first} -DMANIFEST2=${second}
        -P "${CMAKE_CURRENT_LIST_DIR}/uninstall.cmake"
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "uninstall.cmake failed: ${rc}")
endif()
file(GLOB_RECURSE left LIST_DIRECTORIES true RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT left)
if(NOT left STREQUAL "bin;share")
    message(FATAL_ERROR "left after uninstalling: ${left}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
