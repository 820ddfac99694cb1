# Cross build for 32-bit Windows: the release build, because the vendor camera
# libraries are 32-bit. Its tests are built but cannot run on a host without
# 32-bit support, so no emulator is set.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BRELKIN_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
