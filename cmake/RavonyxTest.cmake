# ravonyx_add_test(<name> SOURCES ... [LIBS ...] [SERVER] [TIMEOUT seconds])
#
# A GoogleTest program run under wine64 as one ctest entry, linked with the
# shared test helpers (tests/support). SERVER starts a
# tools/testserver of its own for the program (RAVONYX_TEST_SERVER and
# RAVONYX_TEST_SERVER_ROOT in its environment).
function(ravonyx_add_test name)
    cmake_parse_arguments(T "SERVER;CATALOGUE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} test_support gtest gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    if(T_SERVER)
        ravonyx_add_gtest_entry(${name} ${name} SERVER TIMEOUT ${T_TIMEOUT})
    elseif(T_CATALOGUE)
        ravonyx_add_gtest_entry(${name} ${name} CATALOGUE TIMEOUT ${T_TIMEOUT})
    else()
        ravonyx_add_gtest_entry(${name} ${name} TIMEOUT ${T_TIMEOUT})
    endif()
endfunction()

# ravonyx_add_gtest_entry(<name> <target> [SERVER] [PORT n] [CATALOGUE] [TIMEOUT seconds] [ARGS ...])
#
# A ctest entry that runs the GoogleTest program <target> with ARGS, under
# cmake/run_gtest.py: it passes only when gtest recorded the whole run (its
# report lists every test and none failed), since under Wine a program that
# crashes or exits in the middle of a test can still end with exit code 0.
# SERVER (or PORT, for a fixed port) runs it under tools/testserver;
# CATALOGUE under the demo catalogue on the test build's fixed ports.
# TIMEOUT (default 120) is ctest's time-out for the entry; the runner gets a
# limit of its own a little shorter, so that a hung entry is stopped by the
# runner, which names the test that hung, rather than by ctest's silent kill.
function(ravonyx_add_gtest_entry name target)
    cmake_parse_arguments(E "SERVER;CATALOGUE" "PORT;TIMEOUT" "ARGS" ${ARGN})
    if(NOT E_TIMEOUT)
        set(E_TIMEOUT 120)
    endif()
    # 5 % of the time-out, at least 10 s, for the server's start and stop.
    math(EXPR _margin "${E_TIMEOUT} / 20")
    if(_margin LESS 10)
        set(_margin 10)
    endif()
    math(EXPR _limit "${E_TIMEOUT} - ${_margin}")
    set(command)
    if(E_SERVER OR E_PORT)
        list(APPEND command python3 ${CMAKE_SOURCE_DIR}/tools/testserver/with_server.py)
        if(E_PORT)
            list(APPEND command --port ${E_PORT})
        endif()
        list(APPEND command --)
    elseif(E_CATALOGUE)
        list(APPEND command python3 ${CMAKE_SOURCE_DIR}/tools/democatalog/with_catalogue.py --)
    endif()
    list(APPEND command python3 ${CMAKE_SOURCE_DIR}/cmake/run_gtest.py --limit ${_limit} --
         ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}> ${E_ARGS})
    add_test(NAME ${name} COMMAND ${command})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${E_TIMEOUT})
endfunction()
