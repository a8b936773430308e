# The Windows build's tests, cross-built and run through Wine. GoogleTest is built from
# its sources with the same compiler (Debian's googletest package ships them).
set(TB_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources, built for Windows")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${TB_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Each test is its own Wine process, run by tests/run_under_wine.sh, which says how the
# process ended when it did not end well. The list is read when ctest runs, so that
# building needs no Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_SOURCE_DIR}/run_under_wine.sh)
function(tb_windows_tests target)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 ${ARGN})
endfunction()

# The tests the Linux build runs as well, as a Windows program.
add_executable(tb_schedule_tests
  core/schedule/locale_settings_test.cpp
  core/schedule/time_text_test.cpp
  core/schedule/schedule_file_test.cpp
  core/schedule/schedule_model_test.cpp
  core/schedule/save_cutoff_test.cpp
  core/schedule/trigger_test.cpp
  core/schedule/program_folder_test.cpp
)
target_link_libraries(tb_schedule_tests PRIVATE tb_schedule GTest::gtest_main)
# Code page 1252 (the system code page Wine takes from an en_US locale).
tb_windows_tests(tb_schedule_tests PROPERTIES ENVIRONMENT "LC_ALL=en_US.UTF-8")

# The windows' rules, over this platform's files and clock.
include(presenter_tests.cmake)
target_link_libraries(tb_presenter_tests PRIVATE GTest::gtest_main)
tb_windows_tests(tb_presenter_tests)

add_executable(tb_player_device_tests core/playback/player_device_test.cpp
  core/playback/recording_layer_contract_test.cpp media/media_layer_contract.cpp)
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

# Start at logon: the machine-wide Run key of the test prefix, one test at a time.
add_executable(tb_autostart_tests platform/win32/autostart_test.cpp)
target_link_libraries(tb_autostart_tests PRIVATE tb_desktop_core GTest::gtest_main)
tb_windows_tests(tb_autostart_tests PROPERTIES RESOURCE_LOCK wine_run_key)

# The MCI media layer, the volume and the poster, on Wine's MCI and its PulseAudio
# output (the null sink of scripts/services.sh). One at a time: they share the sink.
add_executable(tb_mci_tests media/mci/mci_layer_test.cpp media/media_layer_contract.cpp)
target_include_directories(tb_mci_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_mci_tests PRIVATE tb_media_mci winmm psapi GTest::gtest_main)
tb_windows_tests(tb_mci_tests PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)

# The Win32 front end's windows, in one process per test on the test display. They
# link the program's resources (its manifest brings the common controls 6), and run one
# at a time: each takes the foreground and the keyboard.
add_executable(tb_win32_tests front-ends/win32/dialog_service_test.cpp front-ends/win32/ttimer_test.cpp
  front-ends/win32/ttrayicon_test.cpp front-ends/win32/main_window_test.cpp)
target_include_directories(tb_win32_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_win32_tests PRIVATE tb_win32 tb_win32_resources GTest::gtest_main oleacc oleaut32 ole32)
tb_windows_tests(tb_win32_tests PROPERTIES RESOURCE_LOCK win32_desktop TIMEOUT 120)

# The Win32 windows and the player control, in-process on the test X server. They link
# the program's resources for the glyphs and the manifest (Common Controls 6). One at a
# time with the other windows' tests: they take the foreground too.
add_executable(tb_win32_window_tests
  front-ends/win32/player_control_test.cpp
  front-ends/win32/editor_window_test.cpp
  front-ends/win32/small_windows_test.cpp
)
target_include_directories(tb_win32_window_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_win32_window_tests PRIVATE tb_win32 tb_win32_resources oleacc ole32 oleaut32 GTest::gtest_main)
tb_windows_tests(tb_win32_window_tests TEST_FILTER "-EditorAtAnotherDensity.*" PROPERTIES RESOURCE_LOCK win32_desktop)
# Changes the prefix's screen density for the processes it starts: not beside others.
add_test(NAME EditorAtAnotherDensity.ControlsStandAtTheScaledDesignPlaces
         COMMAND tb_win32_window_tests --gtest_filter=EditorAtAnotherDensity.*)
set_tests_properties(EditorAtAnotherDensity.ControlsStandAtTheScaledDesignPlaces PROPERTIES RUN_SERIAL TRUE)

# The whole program, from outside.
include(${CMAKE_CURRENT_SOURCE_DIR}/front-ends/win32/system/system_tests.cmake)

# The main window of the real program, from outside: a failing handler's error box over
# a live loop, and "&Exit" ending the program and taking its icon.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
foreach(test FailingHandler.test_double_click_on_an_empty_view_shows_the_error_box_over_a_live_loop
             MainMenuExit.test_no_goes_on_and_yes_ends_the_program_and_takes_its_icon)
  add_test(NAME MainWindowSystem.${test}
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/front-ends/win32/system/test_main_window.py ${test})
  set_tests_properties(MainWindowSystem.${test} PROPERTIES
    ENVIRONMENT "TB_PROGRAM=$<TARGET_FILE:tollbrook>;TB_PROBE=$<TARGET_FILE:tb_win32_probe>"
    RESOURCE_LOCK win32_desktop TIMEOUT 300)
endforeach()

# The setup installed, checked and uninstalled silently in the test prefix, and the
# portable zip unpacked; the program read through the system tests' probe.
add_test(NAME WindowsSetup.InstallsKeepsTheScheduleInAppDataAndUninstalls
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/install/windows_setup_test.py
    --setup ${PROJECT_BINARY_DIR}/tollbrook-${PROJECT_VERSION}-setup.exe
    --zip ${PROJECT_BINARY_DIR}/tollbrook-${PROJECT_VERSION}-windows-portable.zip --program $<TARGET_FILE:tollbrook>)
set_tests_properties(WindowsSetup.InstallsKeepsTheScheduleInAppDataAndUninstalls PROPERTIES
  ENVIRONMENT "TB_PROBE=$<TARGET_FILE:tb_win32_probe>"
  RESOURCE_LOCK "wine_appdata_tollbrook;wine_run_key;win32_desktop" TIMEOUT 400)
