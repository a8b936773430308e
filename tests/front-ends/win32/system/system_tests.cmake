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
