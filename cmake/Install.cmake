# Installs for one user the way portable desktop programs are: the editor, its packer and
# its default font set share one program folder that the user owns, because Compile writes
# its program files there. Launchers in bin/ are symbolic links into that folder; the
# editor finds its folder from its real path. The desktop entry, icons, file type, metainfo
# and manual pages go where a desktop looks for them under the prefix.
include_guard(GLOBAL)

set(KORVALIN_PROGRAM_FOLDER lib/korvalin-fontset-creator)
set(korvalin_install_data ${PROJECT_SOURCE_DIR}/data)
set(korvalin_install_build ${CMAKE_BINARY_DIR}/install)

find_program(KORVALIN_HELP2MAN help2man)
find_program(KORVALIN_UPDATE_MIME_DATABASE update-mime-database)

# Every folder an install writes into, so that uninstall can remove those it created.
set_property(GLOBAL PROPERTY korvalin_install_folders "")
function(korvalin_note_folder destination)
    set_property(GLOBAL APPEND PROPERTY korvalin_install_folders ${destination})
endfunction()

# Records, before anything is installed, which folders of the prefix do not exist yet, and
# the checksum of the default font set as it is installed (uninstall keeps an edited one).
install(SCRIPT ${korvalin_install_build}/RecordInstall.cmake)

# Puts `target` into the program folder; LAUNCHER adds its link in bin/.
function(korvalin_install_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "LAUNCHER" "" "")
    install(TARGETS ${target} RUNTIME DESTINATION ${KORVALIN_PROGRAM_FOLDER})
    korvalin_note_folder(${KORVALIN_PROGRAM_FOLDER})
    set_property(GLOBAL APPEND PROPERTY korvalin_programs ${target})
    if(arg_LAUNCHER)
        # A relative link, made once in the build tree, so the prefix can be chosen at
        # install time and the manifest lists the link like any file.
        set(link ${korvalin_install_build}/bin/${target})
        file(MAKE_DIRECTORY ${korvalin_install_build}/bin)
        file(CREATE_LINK ../${KORVALIN_PROGRAM_FOLDER}/${target} ${link} SYMBOLIC)
        install(FILES ${link} DESTINATION bin)
        korvalin_note_folder(bin)
        set_property(GLOBAL APPEND PROPERTY korvalin_launchers ${target})
    endif()
endfunction()

# A manual page for `target`, made from its --help and --version by help2man.
function(korvalin_add_man_page target description)
    if(NOT KORVALIN_HELP2MAN OR CMAKE_CROSSCOMPILING)
        message(STATUS "No manual page for ${target}: help2man is missing or cannot run it")
        return()
    endif()
    set(page ${korvalin_install_build}/man/${target}.1)
    add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${korvalin_install_build}/man
        COMMAND ${KORVALIN_HELP2MAN} --no-info --section=1 --name=${description}
                --output=${page} $<TARGET_FILE:${target}>
        DEPENDS ${target}
        COMMENT "Writing the manual page of ${target}"
        VERBATIM)
    add_custom_target(${target}-man-page ALL DEPENDS ${page})
    install(FILES ${page} DESTINATION share/man/man1)
    korvalin_note_folder(share/man/man1)
    set_property(GLOBAL APPEND PROPERTY korvalin_man_pages ${target})
endfunction()

# The editor's default font set, desktop entry, icons, file type and metainfo.
function(korvalin_install_editor_files)
    set(id ${KORVALIN_DESKTOP_ID})
    # The user may have made the default set their own: an install over it keeps it, and
    # the manifest lists it all the same, so that uninstall finds it and says it stays.
    install(CODE "
        set(font \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KORVALIN_PROGRAM_FOLDER}/default.8xfont\")
        if(KORVALIN_KEEP_DEFAULT_FONT)
            message(STATUS \"Kept: \${font} (edited since it was installed)\")
            list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${font}\")
        else()
            file(INSTALL DESTINATION \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KORVALIN_PROGRAM_FOLDER}\"
                 TYPE FILE FILES \"${korvalin_install_data}/default.8xfont\")
        endif()")
    install(FILES ${korvalin_install_data}/${id}.desktop DESTINATION share/applications)
    korvalin_note_folder(share/applications)

    foreach(size 16 32 48 64 128 256)
        set(folder share/icons/hicolor/${size}x${size}/apps)
        install(FILES ${korvalin_install_data}/icon-${size}.png DESTINATION ${folder}
                RENAME ${id}.png)
        korvalin_note_folder(${folder})
    endforeach()
    install(FILES ${korvalin_install_data}/icon.svg DESTINATION share/icons/hicolor/scalable/apps
            RENAME ${id}.svg)
    korvalin_note_folder(share/icons/hicolor/scalable/apps)

    install(FILES ${korvalin_install_data}/${id}.mime.xml DESTINATION share/mime/packages
            RENAME ${id}.xml)
    korvalin_note_folder(share/mime/packages)
    # A staged install (DESTDIR) leaves the database to whoever installs the stage.
    if(KORVALIN_UPDATE_MIME_DATABASE)
        install(CODE "
            if(NOT DEFINED ENV{DESTDIR} OR \"\$ENV{DESTDIR}\" STREQUAL \"\")
                message(STATUS \"Updating the MIME database in \${CMAKE_INSTALL_PREFIX}/share/mime\")
                execute_process(COMMAND \"${KORVALIN_UPDATE_MIME_DATABASE}\"
                                        \"\${CMAKE_INSTALL_PREFIX}/share/mime\")
            endif()")
    endif()

    # The metainfo names the programs a user can call by name.
    get_property(launchers GLOBAL PROPERTY korvalin_launchers)
    set(PROVIDED_BINARIES "")
    foreach(launcher IN LISTS launchers)
        string(APPEND PROVIDED_BINARIES "    <binary>${launcher}</binary>\n")
    endforeach()
    string(STRIP "${PROVIDED_BINARIES}" PROVIDED_BINARIES)
    set(PROVIDED_BINARIES "    ${PROVIDED_BINARIES}")
    configure_file(${korvalin_install_data}/${id}.metainfo.xml.in
                   ${korvalin_install_build}/${id}.metainfo.xml @ONLY)
    install(FILES ${korvalin_install_build}/${id}.metainfo.xml DESTINATION share/metainfo)
    korvalin_note_folder(share/metainfo)
endfunction()

# Writes the script that install runs first, now that every destination is known.
function(korvalin_write_install_record)
    get_property(destinations GLOBAL PROPERTY korvalin_install_folders)
    set(folders "")
    foreach(destination IN LISTS destinations)
        while(NOT destination STREQUAL "" AND NOT destination STREQUAL ".")
            list(APPEND folders ${destination})
            get_filename_component(destination ${destination} DIRECTORY)
        endwhile()
    endforeach()
    list(REMOVE_DUPLICATES folders)
    set(KORVALIN_FOLDERS "${folders}")
    set(KORVALIN_RECORD ${CMAKE_BINARY_DIR}/install_record.cmake)
    set(KORVALIN_DEFAULT_FONT ${korvalin_install_data}/default.8xfont)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/RecordInstall.cmake.in
                   ${korvalin_install_build}/RecordInstall.cmake @ONLY)
endfunction()

# Removes what the last install from this build folder wrote: `cmake --build <build> -t
# uninstall`, or the script itself as the Makefile runs it.
add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
            -P ${CMAKE_CURRENT_LIST_DIR}/Uninstall.cmake
    COMMENT "Removing what install wrote"
    VERBATIM)
