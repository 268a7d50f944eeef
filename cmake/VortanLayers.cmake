# SPDX-License-Identifier: GPL-3.0-or-later
# The folders under src/ are layers, each one library. A library sees the headers of its own
# folder and of the libraries it links, as "<folder>/<header>", and nothing else of src/: each
# gets an include root of its own holding a link to its folder only, so an include that skips
# a layer does not build.

# vortan_qt_strict(target)
# Qt's strict macros for our own Qt code: Q_SLOTS/Q_SIGNALS/Q_EMIT instead of the keywords, no
# implicit conversion of char strings to QString, no connect() without a context object (the
# last one is enforced from Qt 6.7 on; older Qt ignores it).
function(vortan_qt_strict target)
    target_compile_definitions(${target} PRIVATE
        QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT)
endfunction()

# vortan_layer(target FOLDER folder [QT] SOURCES a.cpp ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# Adds the static library `target`, the alias vortan::<name> (target less its "vortan_"
# prefix), and the warnings of our own code. QT: moc, uic and rcc run for it.
function(vortan_layer target)
    cmake_parse_arguments(ARG "QT" "FOLDER" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    string(REGEX REPLACE "^vortan_" "" alias ${target})
    add_library(vortan::${alias} ALIAS ${target})

    set(root "${PROJECT_BINARY_DIR}/include/${target}")
    get_filename_component(parent "${root}/${ARG_FOLDER}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${ARG_FOLDER}" "${root}/${ARG_FOLDER}" SYMBOLIC)
    target_include_directories(${target} PUBLIC "${root}")

    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    if(ARG_QT)
        vortan_qt_strict(${target})
    else()
        set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    endif()
    vortan_target_options(${target})
endfunction()
