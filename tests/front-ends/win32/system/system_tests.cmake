# The whole Windows program under Wine, driven and read from outside as a user would
# meet it (scripts/test-windows.sh): a probe that reads the program's windows and the
# notification area, and the Python tests that start the program and listen at the
# sound server's null sink.
set(tb_system_dir ${CMAKE_CURRENT_LIST_DIR})

add_executable(tb_win32_probe ${tb_system_dir}/probe.cpp ${tb_system_dir}/probe_read.cpp)
target_include_directories(tb_win32_probe PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_win32_probe PRIVATE tb_options shell32)
target_link_options(tb_win32_probe PRIVATE -municode)

# Loaded by Windows into the program (for its menus) and into the shell (for what
# reaches the notification area); it needs no DLL beside it there.
add_library(tb_win32_probe_hook SHARED ${tb_system_dir}/probe_hook.cpp)
target_include_directories(tb_win32_probe_hook PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(tb_win32_probe_hook PRIVATE tb_options)
target_link_options(tb_win32_probe_hook PRIVATE -static)
set_target_properties(tb_win32_probe_hook PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_target_properties(tb_win32_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_dependencies(tb_win32_probe tb_win32_probe_hook)

# Each test on a Wine desktop of its own, alone: keys and clicks go to the one X display,
# and the bells are heard at the one sink.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
foreach(test FirstStart.test_empty_folder_names_qian_ini_then_shows_the_main_window
             Bells.test_wav_rings_at_its_second
             Bells.test_mp3_rings_at_its_second
             Player.test_play_without_a_file_asks_for_a_repertoire
             Editor.test_row_added_by_keyboard_is_saved_and_rings
             Tray.test_minimize_double_click_taskbar_created_and_exit
             RunningCopies.test_second_start_brings_the_window_back_another_folder_runs_a_killed_copy_stops_nothing
             AutoRun.test_auto_run_writes_and_deletes_the_run_value)
  add_test(NAME ProgramSystem.${test} COMMAND ${Python3_EXECUTABLE} ${tb_system_dir}/test_program.py ${test})
  set_tests_properties(ProgramSystem.${test} PROPERTIES
    ENVIRONMENT "TB_PROGRAM=$<TARGET_FILE:tollbrook>;TB_PROBE=$<TARGET_FILE:tb_win32_probe>"
    RUN_SERIAL TRUE TIMEOUT 300)
endforeach()
# The machine-wide Run key of the test prefix, which the registry store's tests use too.
set_tests_properties(ProgramSystem.AutoRun.test_auto_run_writes_and_deletes_the_run_value PROPERTIES
  RESOURCE_LOCK wine_run_key)
