# Where Qt may be: the windows and their tests. The core must stay toolkit-free, and Qt's
# code generator runs only for targets that use Qt.
include_guard(GLOBAL)

# Sets `result` to the first Qt library that `target` links, directly or through the
# libraries it links, or to "" when there is none.
function(korvalin_qt_library_of target result)
    set(pending ${target})
    set(seen)
    list(LENGTH pending left)
    while(left GREATER 0)
        list(POP_FRONT pending current)
        list(LENGTH pending left)
        if(current IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${current})
        if(current MATCHES "^Qt[0-9]*::|(^|/)libQt[0-9]")
            set(${result} ${current} PARENT_SCOPE)
            return()
        endif()
        if(TARGET ${current})
            get_target_property(linked ${current} LINK_LIBRARIES)
            get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
            foreach(library IN LISTS linked interface)
                if(library MATCHES "-NOTFOUND$")
                    continue()
                endif()
                # Every name in an entry, also those inside generator expressions such as
                # $<LINK_ONLY:x>; a target linked from another folder ends in "::@(id)".
                string(REGEX REPLACE "::@\\([^)]*\\)" "" library "${library}")
                string(REGEX MATCHALL "[A-Za-z0-9_.+-]+(::[A-Za-z0-9_.+-]+)*" names "${library}")
                list(APPEND pending ${names})
                list(LENGTH pending left)
            endforeach()
        endif()
    endwhile()
    set(${result} "" PARENT_SCOPE)
endfunction()

# Fails the configuration when `target` links Qt; checked once every folder has added its
# libraries.
function(korvalin_check_no_qt target)
    # A deferred call reads its arguments' variables when it runs: the name goes in as text.
    cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] \
                                             CALL _korvalin_check_no_qt [[${target}]])")
endfunction()

function(_korvalin_check_no_qt target)
    korvalin_qt_library_of(${target} qt)
    if(qt)
        message(FATAL_ERROR "${target} must not link Qt, but its libraries reach ${qt}")
    endif()
endfunction()

# Fails the configuration when a target that links no Qt runs Qt's code generator.
function(korvalin_check_automoc)
    cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] \
                                             CALL _korvalin_check_automoc [[${PROJECT_SOURCE_DIR}]])")
endfunction()

function(_korvalin_check_automoc folder)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(automoc ${target} AUTOMOC)
        if(automoc)
            korvalin_qt_library_of(${target} qt)
            if(NOT qt)
                message(FATAL_ERROR "${target} links no Qt but has AUTOMOC on")
            endif()
        endif()
    endforeach()
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    foreach(subfolder IN LISTS subfolders)
        _korvalin_check_automoc(${subfolder})
    endforeach()
endfunction()
