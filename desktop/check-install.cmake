# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DBUILD_DIR=.. -DPREFIX=.. -DVALIDATE=desktop-file-validate -DAPPSTREAMCLI=appstreamcli
#       -DVERSION=x.y -P check-install.cmake
# Installs the desktop component into PREFIX and checks that a desktop would find Vortan there.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" --component desktop
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(entry "${PREFIX}/share/applications/vortan.desktop")
execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
# Only the suggestion of a further category for HamRadio (Network or Audio: neither fits) may
# stand; any other remark, even a hint such as a missing main category, fails.
string(REGEX REPLACE "[^\n]*can be extended with another category[^\n]*\n?" "" remarks "${out}")
if(NOT rc EQUAL 0 OR NOT remarks STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate ${entry}:\n${out}")
endif()

# The entry's Icon=vortan must resolve in the hicolor theme at every size we ship.
foreach(icon scalable/apps/vortan.svg 16x16/apps/vortan.png 32x32/apps/vortan.png
        48x48/apps/vortan.png 64x64/apps/vortan.png 128x128/apps/vortan.png
        256x256/apps/vortan.png)
    if(NOT EXISTS "${PREFIX}/share/icons/hicolor/${icon}")
        message(FATAL_ERROR "icon not installed: share/icons/hicolor/${icon}")
    endif()
endforeach()
file(STRINGS "${entry}" lines)
foreach(key "Icon=vortan" "Exec=vortan" "Terminal=false")
    if(NOT key IN_LIST lines)
        message(FATAL_ERROR "${entry} lacks ${key}")
    endif()
endforeach()

# The AppStream metadata: valid even to the pedantic checks (no network: the screenshot's address
# is not fetched), launching the entry above, and its newest release the project's version.
set(metainfo "${PREFIX}/share/metainfo/org.example.vortan.metainfo.xml")
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net --pedantic "${metainfo}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "^[^\n]*Validation was successful\.\n*$")
    message(FATAL_ERROR "appstreamcli validate ${metainfo}:\n${out}")
endif()
file(READ "${metainfo}" component)
if(NOT component MATCHES "<launchable type=\"desktop-id\">vortan.desktop</launchable>")
    message(FATAL_ERROR "${metainfo} does not launch vortan.desktop")
endif()
if(NOT component MATCHES "<releases>[ \n]*<release version=\"${VERSION}\"")
    message(FATAL_ERROR "${metainfo}: the newest release is not ${VERSION}")
endif()
