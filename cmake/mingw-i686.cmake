# Cross build for 32-bit Windows: the release build, because the vendor camera
# libraries are 32-bit. ctest runs its .exe files under Wine's WoW64 mode (32-bit
# code in the 64-bit Wine process), with the private Wine tree that scripts/test
# sets up (scripts/lib/wine-env.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BRELKIN_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
