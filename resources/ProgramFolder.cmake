# The program folder, laid out as an installation would be:
#
#   ${CMAKE_BINARY_DIR}/program/
#     Ravonyx.exe, Dunmere.dll, Extract.dll, Uplark.exe
#     Config\common.ini      every setting at its default, scrambled
#     Data\MyThemes.xml, Data\MyImages.xml   empty local lists
#     Local\list\menumanage.html, Local\management\*.html
#
# A file is copied again only when its source is newer, so settings and lists
# that the program changed in the folder stay until their source changes.

set(RAVONYX_PROGRAM_DIR ${CMAKE_BINARY_DIR}/program)
set(_program_source ${CMAKE_CURRENT_SOURCE_DIR}/program)

# The default settings, scrambled by the program's own codec (its Python twin
# in make_config.py; the tests read the result back with the program's code).
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/common.ini
    COMMAND python3 ${_program_source}/make_config.py ${CMAKE_CURRENT_BINARY_DIR}/common.ini
    DEPENDS ${_program_source}/make_config.py
    COMMENT "Writing the default settings")

set(_program_outputs)
function(_ravonyx_program_file source relative)
    set(target ${RAVONYX_PROGRAM_DIR}/${relative})
    add_custom_command(OUTPUT ${target}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${target}
        DEPENDS ${source}
        COMMENT "Program folder: ${relative}")
    set(_program_outputs ${_program_outputs} ${target} PARENT_SCOPE)
endfunction()

_ravonyx_program_file(${CMAKE_CURRENT_BINARY_DIR}/common.ini Config/common.ini)
file(GLOB_RECURSE _program_files CONFIGURE_DEPENDS RELATIVE ${_program_source}
    ${_program_source}/Data/* ${_program_source}/Local/*)
foreach(relative ${_program_files})
    _ravonyx_program_file(${_program_source}/${relative} ${relative})
endforeach()

add_custom_target(program_folder ALL DEPENDS ${_program_outputs})

# The programs. Dunmere, Extract and Uplark always exist (their folders may
# be read after this one, which target-level commands allow); Ravonyx.exe's
# folder is read before this one, so its target is known here once it
# exists.
set(_programs Dunmere Extract Uplark)
if(TARGET Ravonyx)
    list(APPEND _programs Ravonyx)
endif()
foreach(target ${_programs})
    add_custom_command(TARGET program_folder POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${RAVONYX_PROGRAM_DIR}/
        VERBATIM)
    add_dependencies(program_folder ${target})
endforeach()
