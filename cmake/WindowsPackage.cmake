# The ZIP a Windows user unzips and runs: the editor, its packer, the font tool and the
# default set side by side in one folder, as the programs expect them, with the README and
# the licence.

# A program of the ZIP, with the version resource that Explorer shows under Properties >
# Details, as every program in it has.
function(korvalin_package_program target description)
    korvalin_add_version_resource(${target} DESCRIPTION "${description}")
    install(TARGETS ${target} RUNTIME DESTINATION .)
endfunction()

# A text of the ZIP with Windows' line ends, which Notepad before Windows 10 needs to show
# more than one long line.
function(korvalin_package_text source name)
    file(READ ${source} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    set(copy ${CMAKE_BINARY_DIR}/package-texts/${name})
    file(WRITE ${copy} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    install(FILES ${copy} DESTINATION .)
endfunction()

korvalin_package_program(fontset-creator "Korvalin Font Set Creator")
korvalin_package_program(prgforge "Korvalin program packer for the TI-83 Plus")
if(TARGET korvalin-font)
    korvalin_package_program(korvalin-font "Korvalin font tool: import, render and convert font sets")
endif()
install(FILES ${PROJECT_SOURCE_DIR}/data/default.8xfont DESTINATION .)
korvalin_package_text(${PROJECT_SOURCE_DIR}/ui-win32/README-windows.txt README.txt)
korvalin_package_text(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME korvalin-fontset-creator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME korvalin-fontset-creator-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
# What the package test unzips.
set(KORVALIN_WINDOWS_ZIP ${CPACK_OUTPUT_FILE_PREFIX}/${CPACK_PACKAGE_FILE_NAME}.zip)
include(CPack)
