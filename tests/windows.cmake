# The Windows build's tests, cross-built and run through Wine. GoogleTest is built from
# its sources with the same compiler (Debian's googletest package ships them).
set(TB_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources, built for Windows")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${TB_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Each test is its own Wine process; the list is read when ctest runs, so that building
# needs no Wine.
function(tb_windows_tests target)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 ${ARGN})
endfunction()

# The tests the Linux build runs as well, as a Windows program.
add_executable(tb_schedule_tests
  core/schedule/locale_settings_test.cpp
  core/schedule/time_text_test.cpp
  core/schedule/schedule_file_test.cpp
  core/schedule/trigger_test.cpp
  core/schedule/program_folder_test.cpp
)
target_link_libraries(tb_schedule_tests PRIVATE tb_schedule GTest::gtest_main)
# Code page 1252 (the system code page Wine takes from an en_US locale).
tb_windows_tests(tb_schedule_tests PROPERTIES ENVIRONMENT "LC_ALL=en_US.UTF-8")

add_executable(tb_player_device_tests core/playback/player_device_test.cpp)
target_include_directories(tb_player_device_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_player_device_tests PRIVATE tb_playback_core GTest::gtest_main)
tb_windows_tests(tb_player_device_tests)

# Regional settings: the user-settings test once in each locale of its table.
add_executable(tb_locale_tests platform/win32/locale_source_test.cpp)
target_link_libraries(tb_locale_tests PRIVATE tb_schedule GTest::gtest_main)
foreach(locale en_US de_DE zh_CN fi_FI ko_KR)
  add_test(NAME WindowsLocale.UserSettingsAreTheLocalesOwn.${locale}
           COMMAND tb_locale_tests --gtest_filter=WindowsLocale.UserSettingsAreTheLocalesOwn)
  # Alone: every Wine process whose locale differs writes the prefix's user settings
  # when it starts, and a test of another locale beside it would change them under it.
  set_tests_properties(WindowsLocale.UserSettingsAreTheLocalesOwn.${locale} PROPERTIES
    ENVIRONMENT "LC_ALL=${locale}.UTF-8" RUN_SERIAL TRUE)
endforeach()
# Changes the prefix's user settings for a moment: not while another test reads them.
add_test(NAME WindowsLocale.ChangeOfTheUsersSettingsCountsFromTheRefresh
         COMMAND tb_locale_tests --gtest_filter=WindowsLocale.ChangeOfTheUsersSettingsCountsFromTheRefresh)
set_tests_properties(WindowsLocale.ChangeOfTheUsersSettingsCountsFromTheRefresh PROPERTIES RUN_SERIAL TRUE)
add_test(NAME WindowsLocale.EverySecondOfTheDayReadsBackInEveryLocale
         COMMAND tb_locale_tests --gtest_filter=WindowsLocale.EverySecondOfTheDayReadsBackInEveryLocale)

# Schedule text in the ANSI code page: once in code page 1252, once in 936 (GBK).
add_executable(tb_codepage_tests platform/win32/codepage_test.cpp)
target_include_directories(tb_codepage_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_codepage_tests PRIVATE tb_schedule GTest::gtest_main)
foreach(locale en_US zh_CN)
  add_test(NAME CodePage.${locale} COMMAND tb_codepage_tests)
  set_tests_properties(CodePage.${locale} PROPERTIES ENVIRONMENT "LC_ALL=${locale}.UTF-8" RUN_SERIAL TRUE)
endforeach()

# The program folder, the clock, the process set-up and the files.
add_executable(tb_exe_path_probe platform/win32/exe_path_probe.cpp)
target_link_libraries(tb_exe_path_probe PRIVATE tb_schedule)
add_executable(tb_platform_tests platform/win32/platform_test.cpp)
target_include_directories(tb_platform_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_platform_tests PRIVATE tb_schedule GTest::gtest_main)
add_dependencies(tb_platform_tests tb_exe_path_probe)
tb_windows_tests(tb_platform_tests)

# Where the schedule lives: the installer's registry entry and the user's folder.
# %APPDATA%\Tollbrook is the installed program's too (tests/install/windows_setup_test.py).
add_executable(tb_schedule_folder_tests platform/win32/schedule_folder_test.cpp)
target_include_directories(tb_schedule_folder_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_schedule_folder_tests PRIVATE tb_schedule GTest::gtest_main)
tb_windows_tests(tb_schedule_folder_tests PROPERTIES RESOURCE_LOCK wine_appdata_tollbrook)

# The setup, installed and uninstalled silently in the test prefix. Until the program
# is built here, a setup of the schedule folder probe: the installed probe answers which
# schedule folder the program takes there.
add_executable(tb_schedule_folder_probe platform/win32/schedule_folder_probe.cpp)
target_link_libraries(tb_schedule_folder_probe PRIVATE tb_schedule)
tb_add_setup(tb_probe_setup $<TARGET_FILE:tb_schedule_folder_probe> ${CMAKE_CURRENT_BINARY_DIR}/tb-probe-setup.exe)
add_dependencies(tb_probe_setup tb_schedule_folder_probe)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME WindowsSetup.ProbeInstallsFindsItsScheduleFolderAndUninstalls
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/install/windows_setup_test.py
    --setup ${CMAKE_CURRENT_BINARY_DIR}/tb-probe-setup.exe --program $<TARGET_FILE:tb_schedule_folder_probe> --probe)
set_tests_properties(WindowsSetup.ProbeInstallsFindsItsScheduleFolderAndUninstalls PROPERTIES
  RESOURCE_LOCK "wine_appdata_tollbrook;wine_run_key;wine_setup" TIMEOUT 300)

# Start at logon: the machine-wide Run key of the test prefix, one test at a time.
add_executable(tb_autostart_tests platform/win32/autostart_test.cpp)
target_link_libraries(tb_autostart_tests PRIVATE tb_desktop_core GTest::gtest_main)
tb_windows_tests(tb_autostart_tests PROPERTIES RESOURCE_LOCK wine_run_key)

# The MCI media layer, the volume and the poster, on Wine's MCI and its PulseAudio
# output (the null sink of scripts/services.sh). One at a time: they share the sink.
add_executable(tb_mci_tests media/mci/mci_layer_test.cpp)
target_include_directories(tb_mci_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_mci_tests PRIVATE tb_media_mci winmm psapi GTest::gtest_main)
tb_windows_tests(tb_mci_tests PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)
