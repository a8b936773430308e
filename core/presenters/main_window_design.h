#pragma once

// The main window TForm1 as data: its controls and the two menus. Both front ends make
// the window by walking these tables, and their tests check it against them.
#include "core/presenters/main_window_presenter.h"
#include "core/presenters/window_design.h"

#include <span>

namespace tb::design {

using MainWindowHandler = void (MainWindowPresenter::*)();
using MainWindowMenuItem = MenuItem<MainWindowHandler>;

// The window, its controls in tab order (containers before what they hold).
const Window& mainWindow();
// The main menu bar and the notification area's popup menu (PopupMenu1).
std::span<const MainWindowMenuItem> mainMenu();
std::span<const MainWindowMenuItem> trayMenu();

// The bottom bar's name, and the status bar's part that shows the playback status.
inline constexpr std::string_view kBottomBar = "Panel2";
inline constexpr std::string_view kStatusPanel = "StatusPanel2";

}  // namespace tb::design
