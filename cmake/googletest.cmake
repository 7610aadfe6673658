# GoogleTest for the tests: the installed package, or, where there is none for the target (a
# cross build), built here from the sources Debian's googletest package puts in /usr/src.
find_package(GTest QUIET)
if(NOT GTest_FOUND)
  set(DRAWERTEST_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  if(NOT EXISTS ${DRAWERTEST_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest: install libgtest-dev, or googletest for its sources")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${DRAWERTEST_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # The names the installed package gives them (GoogleTest 1.11 and later name them so too).
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
