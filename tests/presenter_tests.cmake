# The windows' rules over fake views: the handler wrapper, the main window's and the
# editor's presenters, the player's button bar and the tray's rules.
add_executable(tb_presenter_tests
  core/handler_test.cpp
  core/presenters/main_window_presenter_test.cpp
  core/presenters/main_window_bells_test.cpp
  core/presenters/main_window_playback_test.cpp
  core/presenters/editor_presenter_test.cpp
  core/presenters/player_bar_model_test.cpp
  core/presenters/tray_rules_test.cpp
  core/presenters/window_rules_test.cpp
  core/presenters/window_designs_test.cpp
  core/presenters/program_start_test.cpp
)
target_link_libraries(tb_presenter_tests PRIVATE tb_presenters)
