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
find_package(Python3 COMPONENTS Interpreter)
find_program(KORVALIN_UPDATE_MIME_DATABASE update-mime-database)

# Every file an install writes, relative to the prefix, and every folder it writes into,
# so that uninstall removes those files and the folders it created, and nothing else.
set_property(GLOBAL PROPERTY korvalin_install_folders "")
set_property(GLOBAL PROPERTY korvalin_install_files "")
function(korvalin_note_folder destination)
    set_property(GLOBAL APPEND PROPERTY korvalin_install_folders ${destination})
endfunction()
function(korvalin_note_file destination name)
    korvalin_note_folder(${destination})
    set_property(GLOBAL APPEND PROPERTY korvalin_install_files ${destination}/${name})
endfunction()

# The records of the installs, a folder a prefix and a file a fact, so that neither CMake
# lists nor globs ever read the prefix, which may hold any byte but a newline.
set(KORVALIN_INSTALL_RECORD ${CMAKE_BINARY_DIR}/install-record)

# Records, before anything is installed, which folders of the prefix do not exist yet, and
# the checksum of the default font set as it is installed (uninstall keeps an edited one).
install(SCRIPT ${korvalin_install_build}/RecordInstall.cmake)

# Puts `target` into the program folder; LAUNCHER adds its link in bin/.
function(korvalin_install_program target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "LAUNCHER" "" "")
    install(TARGETS ${target} RUNTIME DESTINATION ${KORVALIN_PROGRAM_FOLDER})
    korvalin_note_file(${KORVALIN_PROGRAM_FOLDER} ${target})
    set_property(GLOBAL APPEND PROPERTY korvalin_programs ${target})
    if(arg_LAUNCHER)
        # A relative link, made once in the build tree, so the prefix can be chosen at
        # install time and the manifest lists the link like any file.
        set(link ${korvalin_install_build}/bin/${target})
        file(MAKE_DIRECTORY ${korvalin_install_build}/bin)
        file(CREATE_LINK ../${KORVALIN_PROGRAM_FOLDER}/${target} ${link} SYMBOLIC)
        install(FILES ${link} DESTINATION bin)
        korvalin_note_file(bin ${target})
        set_property(GLOBAL APPEND PROPERTY korvalin_launchers ${target})
    endif()
endfunction()

# A manual page for `target`, made from its --help and --version by help2man. INCLUDE adds
# hand-written sections (help2man's --include); SECTIONS names a Python script that writes
# more of them from the program itself, run as `script PROGRAM OUTPUT`.
function(korvalin_add_man_page target description)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "INCLUDE;SECTIONS" "")
    if(NOT KORVALIN_HELP2MAN OR CMAKE_CROSSCOMPILING)
        message(STATUS "No manual page for ${target}: help2man is missing or cannot run it")
        return()
    endif()
    set(page ${korvalin_install_build}/man/${target}.1)
    set(includes "")
    set(depends ${target})
    if(arg_INCLUDE)
        list(APPEND includes --include=${arg_INCLUDE})
        list(APPEND depends ${arg_INCLUDE})
    endif()
    set(sections_command "")
    if(arg_SECTIONS AND Python3_Interpreter_FOUND)
        set(sections ${korvalin_install_build}/man/${target}-sections.h2m)
        set(sections_command COMMAND Python3::Interpreter ${arg_SECTIONS}
                                     $<TARGET_FILE:${target}> ${sections})
        list(APPEND includes --include=${sections})
        list(APPEND depends ${arg_SECTIONS})
    endif()
    add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${korvalin_install_build}/man
        ${sections_command}
        COMMAND ${KORVALIN_HELP2MAN} --no-info --section=1 --name=${description}
                ${includes} --output=${page} $<TARGET_FILE:${target}>
        DEPENDS ${depends}
        COMMENT "Writing the manual page of ${target}"
        VERBATIM)
    add_custom_target(${target}-man-page ALL DEPENDS ${page})
    install(FILES ${page} DESTINATION share/man/man1)
    korvalin_note_file(share/man/man1 ${target}.1)
    set_property(GLOBAL APPEND PROPERTY korvalin_man_pages ${target})
endfunction()

# A manual page written by hand, for a program that has no --help to make one from.
function(korvalin_install_man_page page)
    get_filename_component(name ${page} NAME)
    install(FILES ${page} DESTINATION share/man/man1)
    korvalin_note_file(share/man/man1 ${name})
    get_filename_component(target ${page} NAME_WLE)
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
    korvalin_note_file(${KORVALIN_PROGRAM_FOLDER} default.8xfont)
    # The menu entry names the launcher by its installed path, which only the install knows:
    # the menu must work before bin/ is on the PATH, which Debian adds at the next login.
    set(KORVALIN_DESKTOP_TEMPLATE ${korvalin_install_data}/${id}.desktop.in)
    set(KORVALIN_DESKTOP_ENTRY ${korvalin_install_build}/${id}.desktop)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/InstallDesktopEntry.cmake.in
                   ${korvalin_install_build}/InstallDesktopEntry.cmake @ONLY)
    install(SCRIPT ${korvalin_install_build}/InstallDesktopEntry.cmake)
    korvalin_note_file(share/applications ${id}.desktop)

    foreach(size 16 32 48 64 128 256)
        set(folder share/icons/hicolor/${size}x${size}/apps)
        install(FILES ${korvalin_install_data}/icon-${size}.png DESTINATION ${folder}
                RENAME ${id}.png)
        korvalin_note_file(${folder} ${id}.png)
    endforeach()
    install(FILES ${korvalin_install_data}/icon.svg DESTINATION share/icons/hicolor/scalable/apps
            RENAME ${id}.svg)
    korvalin_note_file(share/icons/hicolor/scalable/apps ${id}.svg)

    install(FILES ${korvalin_install_data}/${id}.mime.xml DESTINATION share/mime/packages
            RENAME ${id}.xml)
    korvalin_note_file(share/mime/packages ${id}.xml)
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
    korvalin_note_file(share/metainfo ${id}.metainfo.xml)

    korvalin_install_man_page(${korvalin_install_data}/fontset-creator.1)
endfunction()

# Writes the scripts that install runs first and last, now that every destination is known.
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
    get_property(files GLOBAL PROPERTY korvalin_install_files)
    list(JOIN files "\n" KORVALIN_FILES)
    set(KORVALIN_DEFAULT_FONT ${korvalin_install_data}/default.8xfont)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/RecordInstall.cmake.in
                   ${korvalin_install_build}/RecordInstall.cmake @ONLY)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/FinishInstall.cmake.in
                   ${korvalin_install_build}/FinishInstall.cmake @ONLY)
    install(SCRIPT ${korvalin_install_build}/FinishInstall.cmake)
endfunction()

# Removes what the installs from this build folder wrote: `cmake --build <build> -t
# uninstall`, or the script itself as the Makefile runs it.
if(Python3_Interpreter_FOUND)
    add_custom_target(uninstall
        COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/uninstall.py ${CMAKE_BINARY_DIR}
        COMMENT "Removing what install wrote"
        VERBATIM)
endif()
