# Cross-compiling the Windows programs with Debian's mingw-w64 (x86_64); they run here under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: its C++ library has std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries and headers (zlib) only from the mingw tree, never the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, so that the programs run on a Windows machine with nothing installed.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs built here (the tests) run under wine, with a prefix of the build's own.
include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)
set(TARN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
tarn_wine_command(CMAKE_CROSSCOMPILING_EMULATOR ${TARN_WINE_PREFIX})
