# Third-party code built from the sources that scripts/setup fetched into
# .cache/src (Debian source packages), and GoogleTest from the system.

set(RAVONYX_CACHE "${CMAKE_SOURCE_DIR}/.cache/src")

file(GLOB _tinyxml_dir LIST_DIRECTORIES true "${RAVONYX_CACHE}/tinyxml-*")
if(NOT _tinyxml_dir)
    message(FATAL_ERROR "TinyXML sources missing: run scripts/setup")
endif()
add_library(tinyxml STATIC
    ${_tinyxml_dir}/tinyxml.cpp
    ${_tinyxml_dir}/tinyxmlerror.cpp
    ${_tinyxml_dir}/tinyxmlparser.cpp
    ${_tinyxml_dir}/tinystr.cpp)
target_compile_definitions(tinyxml PUBLIC TIXML_USE_STL)
target_include_directories(tinyxml SYSTEM PUBLIC ${_tinyxml_dir})
target_compile_options(tinyxml PRIVATE -w)

file(GLOB _zlib_dir LIST_DIRECTORIES true "${RAVONYX_CACHE}/zlib-*")
if(NOT _zlib_dir)
    message(FATAL_ERROR "zlib sources missing: run scripts/setup")
endif()
file(GLOB _zlib_sources ${_zlib_dir}/*.c)
list(FILTER _zlib_sources EXCLUDE REGEX "/(example|minigzip|gz[a-z]*)\\.c$")
add_library(zlib STATIC ${_zlib_sources})
target_include_directories(zlib SYSTEM PUBLIC ${_zlib_dir})
target_compile_options(zlib PRIVATE -w)

# minizip's unzip.c refuses passwords unless its NOUNCRYPT block is taken
# out; the extractor needs encrypted archives, so build a patched copy.
set(_unzip_patched "${CMAKE_BINARY_DIR}/minizip/unzip.c")
file(READ ${_zlib_dir}/contrib/minizip/unzip.c _unzip_text)
string(REPLACE "#ifndef NOUNCRYPT\n        #define NOUNCRYPT\n#endif" "" _unzip_text "${_unzip_text}")
string(FIND "${_unzip_text}" "#define NOUNCRYPT" _still)
if(NOT _still EQUAL -1)
    message(FATAL_ERROR "minizip: could not enable decryption in unzip.c")
endif()
# Rewritten only when its text changes, so that a new configure run (each
# scripts/run) rebuilds nothing.
file(WRITE ${_unzip_patched}.new "${_unzip_text}")
file(COPY_FILE ${_unzip_patched}.new ${_unzip_patched} ONLY_IF_DIFFERENT)
add_library(minizip STATIC
    ${_unzip_patched}
    ${_zlib_dir}/contrib/minizip/ioapi.c
    ${_zlib_dir}/contrib/minizip/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${_zlib_dir}/contrib/minizip)
target_link_libraries(minizip PUBLIC zlib)
target_compile_options(minizip PRIVATE -w)

if(RAVONYX_TESTS)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
