# SPDX-License-Identifier: GPL-3.0-or-later
include(GoogleTest)

# Helpers every test may use, as "support/<header>".
add_library(vortan_test_support INTERFACE)
target_include_directories(vortan_test_support INTERFACE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(vortan_test_support INTERFACE
    VORTAN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    VORTAN_SCRIPTS_DIR="${PROJECT_SOURCE_DIR}/scripts")

# The test of a unit is test_<unit>, built from <unit>_test.cpp beside its CMakeLists.txt, in the
# folder that mirrors the unit's folder under src/; SOURCES names further files, or other ones for
# a test that is no unit's.
function(vortan_test_sources name sources result)
    if(NOT sources)
        string(REGEX REPLACE "^test_" "" unit "${name}")
        set(sources "${unit}_test.cpp")
    endif()
    set(${result} ${sources} PARENT_SCOPE)
endfunction()

# vortan_add_gtest(test_<unit> [SOURCES a.cpp ...] LIBS lib ... [LABELS l ...] [LOCK resource])
# A GoogleTest executable for Qt-free code, each TEST its own CTest case. LOCK: the tests share
# a service (a sound server's sink, a print queue) and run one at a time.
function(vortan_add_gtest name)
    cmake_parse_arguments(ARG "" "LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
    vortan_test_sources(${name} "${ARG_SOURCES}" sources)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} vortan_test_support GTest::gtest
                                          GTest::gtest_main)
    vortan_target_options(${name})
    vortan_qt_strict(${name})
    set(properties LABELS "${ARG_LABELS}")
    if(ARG_LOCK)
        list(APPEND properties RESOURCE_LOCK ${ARG_LOCK})
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
endfunction()

# vortan_add_qtest(test_<unit> [SOURCES a.cpp ...] LIBS lib ... [LABELS l ...] [PLATFORM xcb]
#                  [LOCK resource])
# A QtTest executable for widgets, offscreen unless PLATFORM says otherwise.
function(vortan_add_qtest name)
    cmake_parse_arguments(ARG "" "PLATFORM;LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT ARG_PLATFORM)
        set(ARG_PLATFORM offscreen)
    endif()
    vortan_test_sources(${name} "${ARG_SOURCES}" sources)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} vortan_test_support Qt6::Test)
    vortan_target_options(${name})
    vortan_qt_strict(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        LABELS "qt;${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=${ARG_PLATFORM}"
        SKIP_RETURN_CODE 77)
    if(ARG_LOCK)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_LOCK}")
    endif()
endfunction()

# vortan_add_script_test(name SCRIPT file.py [ARGS arg ...] [LABELS l ...] [LOCK resource ...])
# A test written in Python for the system's python3 (Debian's packaged bindings, such as the
# AT-SPI ones, live there). Exit code 77 means skipped.
find_program(VORTAN_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
function(vortan_add_script_test name)
    cmake_parse_arguments(ARG "" "SCRIPT" "ARGS;LABELS;LOCK" ${ARGN})
    if(NOT VORTAN_SYSTEM_PYTHON)
        message(STATUS "${name}: no /usr/bin/python3, test left out")
        return()
    endif()
    add_test(NAME ${name} COMMAND ${VORTAN_SYSTEM_PYTHON} ${ARG_SCRIPT} ${ARG_ARGS})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" SKIP_RETURN_CODE 77)
    if(ARG_LOCK)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_LOCK}")
    endif()
endfunction()
