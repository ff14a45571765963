# Cross build for 64-bit Windows with Debian's MinGW-w64 (POSIX threads, for std::thread), the programs
# linked statically so that they run without extra DLLs; tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Debian's JUCE package (sources and the host's juceaide) lives outside the Windows root.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(JUCE_DIR /usr/lib/x86_64-linux-gnu/cmake/JUCE-7.0.5 CACHE PATH "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The object of a large toolkit module holds more sections than the default object format allows.
set(CMAKE_CXX_FLAGS_INIT "-Wa,-mbig-obj")

find_program(QUILLET_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT QUILLET_WINE)
  find_program(QUILLET_WINE NAMES wine64 wine)
endif()
if(QUILLET_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLET_WINE})
endif()
set(CMAKE_STRIP x86_64-w64-mingw32-strip)
