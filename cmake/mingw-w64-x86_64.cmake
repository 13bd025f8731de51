# Cross-compiles the Windows executable (Tarvel.exe) with MinGW-w64 on a Linux host.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The program and the test binary are linked statically, so they run on a bare Windows system
# (and under Wine) without any of the compiler's DLLs. CTest runs the Windows binaries under
# Wine, in a Wine prefix of the build directory's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(tarvel_mingw_prefix x86_64-w64-mingw32)

# The "posix" thread model provides std::thread and std::mutex, which GoogleTest uses; with
# static linking its winpthread runtime ends up inside the executables.
find_program(CMAKE_C_COMPILER NAMES ${tarvel_mingw_prefix}-gcc-posix ${tarvel_mingw_prefix}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${tarvel_mingw_prefix}-g++-posix ${tarvel_mingw_prefix}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${tarvel_mingw_prefix}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${tarvel_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine runs the test binary and, through it, the program. Its prefix lives in the build tree so
# that every build directory is independent; WINEDLLOVERRIDES keeps Wine from offering to
# install Mono and Gecko when it creates the prefix.
find_program(TARVEL_WINE NAMES wine64 wine)
if(TARVEL_WINE)
    set(TARVEL_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix" CACHE PATH
        "Wine prefix in which CTest runs the Windows binaries")
    set(CMAKE_CROSSCOMPILING_EMULATOR
        /usr/bin/env WINEPREFIX=${TARVEL_WINE_PREFIX} WINEDEBUG=-all
        WINEDLLOVERRIDES=mscoree,mshtml= ${TARVEL_WINE})
endif()
