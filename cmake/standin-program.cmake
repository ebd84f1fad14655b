# Which stand-in the tests that start one run, and so whether they are built (STANDIN_TESTS):
# the one this build makes (BUILD_STANDIN), or, in a Windows cross build run under wine, which
# starts Linux programs as its children, STANDIN_PROGRAM: a stand-in a Linux build of this tree
# made, by default the one in LINUX_BUILD_DIR.
set(STANDIN_PROGRAM "" CACHE FILEPATH
    "A Linux sqlserver-standin for the cross-built tests that start one under wine")
if(BUILD_STANDIN)
  set(STANDIN_TESTS ON)
  set(standin_program $<TARGET_FILE:sqlserver-standin>)
elseif(WIN32 AND CMAKE_CROSSCOMPILING AND (STANDIN_PROGRAM OR LINUX_BUILD_DIR))
  set(STANDIN_TESTS ON)
  if(STANDIN_PROGRAM)
    set(standin_program ${STANDIN_PROGRAM})
  else()
    set(standin_program ${LINUX_BUILD_DIR}/standin/server/sqlserver-standin)
  endif()
  message(STATUS "Tests that start a stand-in run ${standin_program} under wine")
else()
  set(STANDIN_TESTS OFF)
endif()
