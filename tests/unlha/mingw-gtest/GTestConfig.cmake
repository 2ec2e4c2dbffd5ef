# SPDX-License-Identifier: GPL-3.0-or-later
# GoogleTest for the Windows cross build. Debian packages GoogleTest for the build machine only, plus its
# sources (package googletest): find_package(GTest) reaches this file through GTest_DIR (set by
# cmake/mingw-w64-x86_64.cmake) and builds the sources as part of the project.
if(NOT TARGET GTest::gtest_main)
  set(QARNO_GTEST_SOURCE_DIR /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
  if(NOT EXISTS ${QARNO_GTEST_SOURCE_DIR}/CMakeLists.txt)
    set(GTest_FOUND FALSE)
    set(GTest_NOT_FOUND_MESSAGE "no GoogleTest sources in ${QARNO_GTEST_SOURCE_DIR} (Debian package googletest)")
    return()
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QARNO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Its own sources are not ours to warn about.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
endif()
set(GTest_FOUND TRUE)
