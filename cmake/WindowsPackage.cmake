# The ZIP a Windows user unzips and runs: the editor, its packer and its default set side by
# side in one folder, as the editor expects them, with the README and the licence.
install(TARGETS fontset-creator prgforge RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/data/default.8xfont DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/ui-win32/README-windows.txt DESTINATION . RENAME README.txt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME korvalin-fontset-creator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME korvalin-fontset-creator-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
