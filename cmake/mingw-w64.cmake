# Cross-builds for 64-bit Windows with Debian's mingw-w64 (POSIX thread model) and runs the
# results under Wine:  cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVALIN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVALIN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVALIN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVALIN_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVALIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime goes into every executable, so a copied prgforge.exe runs without DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, in a prefix kept inside the build folder.
if(NOT DEFINED KORVALIN_WINE_PREFIX)
    set(KORVALIN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${KORVALIN_WINE_PREFIX})
