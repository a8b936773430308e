# Fails when the layers reach where they must not:
# - core/ includes no Qt, GStreamer, POSIX or Windows header, and nothing of the layers
#   above it (platform/, media/, front-ends/);
# - platform/ and media/ include no Qt and nothing of the front ends;
# - the front ends include nothing of each other;
# - inside the core, the general utilities (core/util/) include nothing else of the
#   core, and the media layers, the player's device side and the tray's rules nothing of
#   the schedule or the presenters.
set(system_headers
  "gst/|glib|unistd\\.h|fcntl\\.h|dirent\\.h|langinfo\\.h|malloc\\.h|pthread\\.h|signal\\.h|sys/|windows\\.h|mmsystem\\.h|shellapi\\.h|commctrl\\.h|winreg\\.h")
set(bad "")

function(check_includes glob pattern what)
  file(GLOB_RECURSE files ${ROOT}/${glob}/*.h ${ROOT}/${glob}/*.cpp)
  foreach(f IN LISTS files)
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${pattern})")
    if(lines)
      list(APPEND bad "${what} in ${f}: ${lines}")
    endif()
  endforeach()
  set(bad "${bad}" PARENT_SCOPE)
endfunction()

check_includes(core "Q|${system_headers}" "Qt or a platform header")
check_includes(core "platform/|media/|front-ends/" "a layer above the core")
check_includes(core/util "core/(schedule|playback|desktop|presenters)/|core/[a-z_]+\\.h" "the core beyond the utilities")
foreach(layer core/playback core/desktop media)
  check_includes(${layer} "core/(schedule|presenters)/" "the schedule or the presenters")
endforeach()
foreach(layer platform media)
  check_includes(${layer} "Q|front-ends/" "Qt or a front end")
endforeach()
check_includes(platform "media/" "the media layer")
check_includes(front-ends/qt "front-ends/win32/" "the other front end")
check_includes(front-ends/win32 "Q|front-ends/qt/|gst/|glib" "Qt or the other front end")

if(bad)
  message(FATAL_ERROR "Layering broken: ${bad}")
endif()
