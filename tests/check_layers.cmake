# Fails when a source of a plain C++ layer includes a Qt header, or when code outside
# the per-platform files (*_posix.cpp, *_win32.cpp) and the GStreamer layer includes
# GStreamer, POSIX or Windows headers.
file(GLOB_RECURSE plain
  ${ROOT}/core/*.h ${ROOT}/core/*.cpp
  ${ROOT}/schedule/*.h ${ROOT}/schedule/*.cpp
  ${ROOT}/playback/core/*.h ${ROOT}/playback/core/*.cpp
  ${ROOT}/desktop/core/*.h ${ROOT}/desktop/core/*.cpp)
set(bad "")
foreach(f IN LISTS plain)
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
  if(lines)
    list(APPEND bad "Qt in ${f}")
  endif()
  get_filename_component(name ${f} NAME)
  # The GStreamer media layer and the XDG autostart entry are platform code of their own.
  if(name MATCHES "_(posix|win32)\\.cpp$" OR name MATCHES "^(gst_|playbin)" OR f MATCHES "/desktop/core/")
    continue()
  endif()
  file(STRINGS ${f} lines REGEX
    "^[ \t]*#[ \t]*include[ \t]*<(gst/|glib|unistd\\.h|fcntl\\.h|dirent\\.h|langinfo\\.h|malloc\\.h|pthread\\.h|sys/|windows\\.h|mmsystem\\.h)")
  if(lines)
    list(APPEND bad "platform header in ${f}: ${lines}")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "Layering broken: ${bad}")
endif()
