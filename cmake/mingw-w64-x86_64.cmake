# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads),
# package g++-mingw-w64-x86-64-posix. Use:
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTIDEWIRE_GUI=OFF
# The programs are linked statically (libstdc++, libgcc, winpthread), so they
# run without hunting for MinGW's DLLs. Under Linux, CTest and test discovery
# start them through wine64 when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TW_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TW_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Debian installs the 64-bit loader as /usr/lib/wine/wine64 (wine64 package);
# "wine" on the path starts it too.
find_program(TW_WINE64 NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TW_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TW_WINE64})
endif()
