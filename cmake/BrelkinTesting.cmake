# GoogleTest: the system package natively; for the cross builds the sources that
# Debian's googletest package installs, compiled with the cross compiler.
if(BRELKIN_TESTS)
  if(CMAKE_CROSSCOMPILING)
    set(BRELKIN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross builds")
    if(NOT EXISTS ${BRELKIN_GTEST_SOURCE}/CMakeLists.txt)
      message(FATAL_ERROR "GoogleTest sources not found at ${BRELKIN_GTEST_SOURCE} (apt-get install googletest)")
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(${BRELKIN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # GoogleTest's own CMake files define the GTest:: aliases.
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

# True when the test executables of this build can run here: natively, or
# under the Wine emulator (x64, and x86 in Wine's WoW64 mode).
if(NOT CMAKE_CROSSCOMPILING OR CMAKE_CROSSCOMPILING_EMULATOR)
  set(BRELKIN_CAN_RUN_TESTS TRUE)
else()
  set(BRELKIN_CAN_RUN_TESTS FALSE)
endif()

# scripts/lib/wine-env.sh reads this to run the x86 build under the WoW64 Wine tree.
if(CMAKE_CROSSCOMPILING AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(BRELKIN_WOW64 ON CACHE INTERNAL "the tests run under Wine's WoW64 mode")
endif()

# brelkin_add_gtest(<target> SOURCES ... LIBS ... [DESKTOP] [TIMEOUT s] [NO_WOW64 pattern...])
#   DESKTOP: the test injects input, needs the keyboard focus, starts Brelkin or
#   uses the stand-in camera's session-wide state block, so it holds the
#   "desktop" resource lock and never runs beside another one.
#   NO_WOW64: the GoogleTest cases (Suite.Case or Suite.*) that Wine 8's WoW64
#   mode cannot run, so the x86 run leaves them out. Use it only for these two
#   gaps of Wine, not of ours: LoadIconW returns NULL for every icon there, and an
#   EDIT control that holds text crashes the process when it paints (in gdi32's
#   Uniscribe code), and a drop-down combo box, whose edit field is an EDIT
#   control, fails to be created, so its dialog does not open. The cases get a ctest entry of their own, <target>.no_wow64,
#   labelled no_wow64; the win32 test preset excludes that label, every other run
#   keeps them. In the x64 run the entry fails when its patterns match no test.
function(brelkin_add_gtest target)
  cmake_parse_arguments(T "DESKTOP" "TIMEOUT" "SOURCES;LIBS;NO_WOW64" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(NOT BRELKIN_CAN_RUN_TESTS)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(CMAKE_CROSSCOMPILING)
    # One ctest entry per executable: each Wine start costs far more than a test.
    set(entries ${target})
    if(T_NO_WOW64)
      list(JOIN T_NO_WOW64 ":" patterns)
      add_test(NAME ${target} COMMAND ${target} --gtest_color=no --gtest_filter=-${patterns})
      add_test(NAME ${target}.no_wow64 COMMAND ${target} --gtest_color=no --gtest_filter=${patterns})
      set_tests_properties(${target}.no_wow64 PROPERTIES LABELS no_wow64
        FAIL_REGULAR_EXPRESSION "\\[  PASSED  \\] 0 tests")
      list(APPEND entries ${target}.no_wow64)
    else()
      add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
    endif()
    set_tests_properties(${entries} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(T_DESKTOP)
      set_tests_properties(${entries} PROPERTIES RESOURCE_LOCK desktop)
    endif()
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
