# Cross-builds the Windows program with Debian's mingw-w64 (64-bit, POSIX threads so
# that std::thread and std::mutex work). Everything is linked statically: the
# executables then need no mingw runtime DLLs beside them.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TB_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TB_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TB_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TB_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TB_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The Windows API's defines are the project's (tb_options in CMakeLists.txt), not the
# toolchain's: a native Windows build has them too.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run through Wine; Debian puts its 64-bit loader here and not on PATH.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
