# Fails when a source of a plain C++ layer includes a Qt header.
file(GLOB_RECURSE sources
  ${ROOT}/schedule/*.h ${ROOT}/schedule/*.cpp
  ${ROOT}/playback/core/*.h ${ROOT}/playback/core/*.cpp
  ${ROOT}/desktop/core/*.h ${ROOT}/desktop/core/*.cpp)
set(bad "")
foreach(f IN LISTS sources)
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
  if(lines)
    list(APPEND bad "${f}")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "Qt included in plain C++ code: ${bad}")
endif()
