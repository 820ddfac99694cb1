# cmake -DFILES="<path>|<path>..." -P RequireFiles.cmake: fails the build of a
# setup with a message that says what to build when a file it carries is missing.
string(REPLACE "|" ";" _files "${FILES}")
foreach(_f IN LISTS _files)
  if(NOT EXISTS "${_f}")
    message(FATAL_ERROR "${_f} is missing. The setups carry the x64 Brelkin and camera host of the "
                        "win64 build: build it first (cmake --preset win64 && cmake --build --preset win64), "
                        "or point the cache variable BRELKIN_WIN64_BUILD at a win64 build tree.")
  endif()
endforeach()
