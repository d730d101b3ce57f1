# ravonyx_add_test(<name> SOURCES ... [LIBS ...] [SERVER] [TIMEOUT seconds])
#
# A GoogleTest program run under wine64 as one ctest entry, linked with the
# shared test helpers (tests/support). SERVER starts a
# tools/testserver of its own for the program (RAVONYX_TEST_SERVER and
# RAVONYX_TEST_SERVER_ROOT in its environment).
function(ravonyx_add_test name)
    cmake_parse_arguments(T "SERVER" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} test_support gtest gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    if(T_SERVER)
        add_test(NAME ${name}
                 COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/testserver/with_server.py --
                         ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    # Under Wine a program that crashed can end with exit code 0: the program
    # passes only when it got to GoogleTest's summary with no failure.
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
                         PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
                         FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
endfunction()
