# The version resource of every Windows program we ship: Explorer shows its fields under
# Properties > Details, and installers and virus scanners read them.
#
#   korvalin_add_version_resource(TARGET DESCRIPTION "what the program is")
#
# Elsewhere than on Windows it does nothing, so a program's folder can call it always.
if(WIN32)
    enable_language(RC)
endif()

set(KORVALIN_VERSION_RESOURCE_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/VersionResource.rc.in)
# The licence's own line, "Copyright (c) YEAR the ... authors".
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE KORVALIN_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)

function(korvalin_add_version_resource target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION" "")
    if(NOT arg_DESCRIPTION)
        message(FATAL_ERROR "korvalin_add_version_resource(${target}) needs a DESCRIPTION")
    endif()
    if(NOT WIN32)
        return()
    endif()
    # The numeric version has four parts, the text one as the project gives it ("1.0").
    set(parts ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH}
        ${PROJECT_VERSION_TWEAK})
    list(TRANSFORM parts REPLACE "^$" "0")
    list(JOIN parts "," KORVALIN_VERSION_NUMBERS)
    set(KORVALIN_VERSION_TEXT ${PROJECT_VERSION})
    # The text goes into a string of the resource script, where a quote is doubled.
    string(REPLACE "\"" "\"\"" KORVALIN_FILE_DESCRIPTION "${arg_DESCRIPTION}")
    string(REPLACE "\"" "\"\"" KORVALIN_LEGAL_COPYRIGHT "${KORVALIN_COPYRIGHT}, MIT License")
    set(KORVALIN_INTERNAL_NAME ${target})
    set(KORVALIN_ORIGINAL_FILENAME ${target}${CMAKE_EXECUTABLE_SUFFIX})
    set(script ${CMAKE_BINARY_DIR}/version-resources/${target}.rc)
    configure_file(${KORVALIN_VERSION_RESOURCE_TEMPLATE} ${script} @ONLY)
    target_sources(${target} PRIVATE ${script})
endfunction()
