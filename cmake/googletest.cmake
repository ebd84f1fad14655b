# GoogleTest for the tests: the host's installed package when there is one;
# otherwise (cross builds, Windows) built here from its sources, which
# Debian's googletest package puts in /usr/src/googletest. Its targets come
# with the GTest:: names the installed package has.
find_package(GTest QUIET)
if(NOT GTest_FOUND)
  set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources, built when no installed GTest is found")
  if(NOT EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "No installed GTest and no sources in GTEST_SOURCE_DIR (${GTEST_SOURCE_DIR})")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)  # MSVC: the runtime the project uses
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
