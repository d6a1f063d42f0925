# Cross-compiles the Windows x64 program with Debian's MinGW-w64 compilers:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The "-posix" compilers are used because only their thread model gives
# std::thread and std::mutex. The runtime is linked statically, so tamsel.exe
# needs no DLL besides the system's own. When Wine is installed, the test
# programs run under it (CTest and test discovery alike, through
# scripts/wine-run.sh), in a Wine prefix of the build folder's own; its
# server lingers after the tests until "wineserver -k" with that WINEPREFIX.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAMSEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAMSEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMSEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAMSEL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAMSEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TAMSEL_WINE NAMES wine)
if(TAMSEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix
      ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
