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
# under the Wine emulator for x64. The x86 build has no emulator.
if(NOT CMAKE_CROSSCOMPILING OR CMAKE_CROSSCOMPILING_EMULATOR)
  set(BRELKIN_CAN_RUN_TESTS TRUE)
else()
  set(BRELKIN_CAN_RUN_TESTS FALSE)
endif()

# brelkin_add_gtest(<target> SOURCES ... LIBS ... [DESKTOP] [TIMEOUT s])
#   DESKTOP: the test injects input, needs the keyboard focus, starts Brelkin or
#   uses the stand-in camera's session-wide state block, so it holds the
#   "desktop" resource lock and never runs beside another one.
function(brelkin_add_gtest target)
  cmake_parse_arguments(T "DESKTOP" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
    add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
    set_tests_properties(${target} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(T_DESKTOP)
      set_tests_properties(${target} PROPERTIES RESOURCE_LOCK desktop)
    endif()
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
