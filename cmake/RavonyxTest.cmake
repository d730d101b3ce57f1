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
        ravonyx_add_gtest_entry(${name} ${name} SERVER)
    else()
        ravonyx_add_gtest_entry(${name} ${name})
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# ravonyx_add_gtest_entry(<name> <target> [SERVER] [PORT n] [ARGS ...])
#
# A ctest entry that runs the GoogleTest program <target> with ARGS, under
# cmake/run_gtest.py: it passes only when gtest recorded the whole run (its
# report lists every test and none failed), since under Wine a program that
# crashes or exits in the middle of a test can still end with exit code 0.
# SERVER (or PORT, for a fixed port) runs it under tools/testserver.
function(ravonyx_add_gtest_entry name target)
    cmake_parse_arguments(E "SERVER" "PORT" "ARGS" ${ARGN})
    set(command)
    if(E_SERVER OR E_PORT)
        list(APPEND command python3 ${CMAKE_SOURCE_DIR}/tools/testserver/with_server.py)
        if(E_PORT)
            list(APPEND command --port ${E_PORT})
        endif()
        list(APPEND command --)
    endif()
    list(APPEND command python3 ${CMAKE_SOURCE_DIR}/cmake/run_gtest.py --
         ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}> ${E_ARGS})
    add_test(NAME ${name} COMMAND ${command})
endfunction()
