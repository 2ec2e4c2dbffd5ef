# SPDX-License-Identifier: GPL-3.0-or-later
# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers; test programs run under Wine.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DQARNO_ONLY_UNLHA=ON
# (only the archiver and its tests: the program itself needs Qt for Windows, which Debian does not have).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
# The posix-threads variant: GoogleTest needs std::mutex, which the win32-threads variant of GCC 12 lacks.
# Its winpthread is linked statically below, so nothing extra has to ship.
foreach(_lang C CXX)
  if(_lang STREQUAL "C")
    set(_tool gcc)
  else()
    set(_tool g++)
  endif()
  find_program(_compiler NAMES ${_mingw}-${_tool}-posix ${_mingw}-${_tool} NO_CACHE)
  if(NOT _compiler)
    message(FATAL_ERROR "no ${_mingw}-${_tool} found (Debian package g++-mingw-w64-x86-64-posix)")
  endif()
  set(CMAKE_${_lang}_COMPILER ${_compiler})
  unset(_compiler)
endforeach()
find_program(CMAKE_RC_COMPILER NAMES ${_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The DLL and the test programs must run on a bare Windows (and Wine) without MinGW's runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian ships GoogleTest only as sources: the package config beside the Windows tests builds them.
if(NOT DEFINED GTest_DIR AND EXISTS "${CMAKE_CURRENT_LIST_DIR}/../tests/unlha/mingw-gtest/GTestConfig.cmake")
  set(GTest_DIR "${CMAKE_CURRENT_LIST_DIR}/../tests/unlha/mingw-gtest" CACHE PATH "GoogleTest built from source for MinGW")
endif()

# Test programs run under Wine (tests/unlha wraps it to manage the prefix).
find_program(QARNO_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(QARNO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QARNO_WINE})
endif()
