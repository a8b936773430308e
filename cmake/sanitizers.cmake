# Checked builds (scripts/check.sh): sanitizers and coverage for every target of a build
# folder of their own, and the fuzz targets over the readers of outside bytes.
#   -DTB_SANITIZE=address,undefined   AddressSanitizer with LeakSanitizer, and UBSan
#   -DTB_SANITIZE=thread              ThreadSanitizer
#   -DTB_COVERAGE=ON                  gcov counters for gcovr
#   -DTB_FUZZ=ON                      libFuzzer targets (tests/fuzz; needs clang)
# Flags go to every target, so that a test and the code it calls are checked alike.
set(TB_SANITIZE "" CACHE STRING "Sanitizers to build with: address,undefined or thread")
option(TB_COVERAGE "Build with gcov coverage counters" OFF)
option(TB_FUZZ "Build the libFuzzer targets (clang)" OFF)

if(TB_SANITIZE)
  # Frame pointers for whole stacks in reports; every UBSan finding ends the test.
  add_compile_options(-fsanitize=${TB_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TB_SANITIZE})
  # A sanitized test process tells which one it is, so that a test whose bound cannot
  # hold under the sanitizer's own memory keeping says so and skips.
  add_compile_definitions(TB_SANITIZED="${TB_SANITIZE}")
endif()
if(TB_COVERAGE)
  add_compile_options(--coverage -fprofile-update=atomic)
  add_link_options(--coverage)
endif()
if(TB_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "TB_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
endif()
if(TB_FUZZ)
  # Coverage feedback in every library the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
