include(GoogleTest)

# vortan_add_gtest(name SOURCES a.cpp ... LIBS lib ... [LABELS l ...])
# A GoogleTest executable for Qt-free code, each TEST its own CTest case.
function(vortan_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${name} PRIVATE VORTAN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    vortan_target_options(${name})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# vortan_add_qtest(name SOURCES a.cpp ... LIBS lib ... [LABELS l ...] [PLATFORM xcb])
# A QtTest executable for widgets, offscreen unless PLATFORM says otherwise.
function(vortan_add_qtest name)
    cmake_parse_arguments(ARG "" "PLATFORM" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT ARG_PLATFORM)
        set(ARG_PLATFORM offscreen)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
    target_compile_definitions(${name} PRIVATE VORTAN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    vortan_target_options(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        LABELS "qt;${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=${ARG_PLATFORM}")
endfunction()
