#include "core/presenters/main_window_design.h"

#include "core/presenters/palette.h"

// The tables leave out the members a control does not have; g++ 12 warns for every
// member left out of a designated initializer, which is what designated initializers are for.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace tb::design {
namespace {

constexpr Font sansSerif(int pixels, bool bold = false) { return {"MS Sans Serif", pixels, bold}; }

// The client area is 794 x 553: the group box fills what the 19-pixel status bar leaves.
// Inside its two-pixel frame and below its caption, the playlist view takes what the
// 26-pixel bottom bar leaves. Every control of the bar lies inside it and apart from the
// others, with two pixels or more between neighbours.
constexpr Control kControls[] = {
    {.name = "GroupBox1", .kind = Kind::GroupBox, .rect = {0, 0, 794, 534}, .text = "Playlist",
     .accessibleName = "Playlist", .font = sansSerif(15), .ink = palette::blue},
    {.name = "ListBox1", .kind = Kind::ListBox, .parent = "GroupBox1", .rect = {2, 20, 790, 486},
     .accessibleName = "Schedule",
     .hint = "Here is the playback area, and you can double click here to play the tracks.",
     .font = Font{"Tahoma", 13}, .ink = palette::blue, .face = palette::cream, .tabOrder = 0},
    {.name = kBottomBar, .kind = Kind::Panel, .parent = "GroupBox1", .rect = {2, 506, 790, 26},
     .accessibleName = "Playback"},
    {.name = "TrackBar1", .kind = Kind::TrackBar, .parent = kBottomBar, .rect = {0, 3, 100, 20},
     .accessibleName = "Volume", .hint = "Volume control", .tabOrder = 1},
    {.name = "Edit3", .kind = Kind::Edit, .parent = kBottomBar, .rect = {102, 3, 92, 19}, .accessibleName = "Clock",
     .font = sansSerif(12, true), .ink = palette::blue, .face = palette::cream, .tabOrder = 2},
    {.name = "BitBtn2", .kind = Kind::PictureButton, .parent = kBottomBar, .rect = {201, 4, 17, 17},
     .text = "Refresh", .accessibleName = "Refresh", .hint = "Refresh", .tabOrder = 3},
    {.name = "BitBtn1", .kind = Kind::PictureButton, .parent = kBottomBar, .rect = {223, 4, 17, 17},
     .text = "Put on the tray", .accessibleName = "Put on the tray", .hint = "Put on the tray", .tabOrder = 4},
    {.name = "Button1", .kind = Kind::PushButton, .parent = kBottomBar, .rect = {249, 0, 54, 26}, .text = "Play",
     .accessibleName = "Play a file", .font = sansSerif(12), .tabOrder = 5},
    {.name = "MediaPlayer1", .kind = Kind::MediaPlayer, .parent = kBottomBar, .rect = {305, 0, 197, 26},
     .accessibleName = "Player", .hint = "This is the player, and you don't have to do anything", .tabOrder = 6},
    {.name = "StatusBar1", .kind = Kind::StatusBar, .rect = {0, 534, 794, 19}, .accessibleName = "Status bar"},
    {.name = "StatusPanel0", .kind = Kind::StatusPanel, .parent = "StatusBar1", .rect = {0, 0, 10, 19},
     .accessibleName = "Status mark"},
    {.name = "StatusPanel1", .kind = Kind::StatusPanel, .parent = "StatusBar1", .rect = {10, 0, 50, 19},
     .accessibleName = "Status note"},
    {.name = kStatusPanel, .kind = Kind::StatusPanel, .parent = "StatusBar1", .rect = {60, 0, 0, 19},
     .accessibleName = "Status"},
};

constexpr Window kWindow{"TForm1", "Tollbrook", 794, 553, sansSerif(11), kControls};

constexpr MainWindowMenuItem kMainMenu[] = {
    {0, "System1", "&System"},
    {1, "N8", "&Auto Run", &MainWindowPresenter::N8Click, true},
    {0, "Option1", "&Option"},
    {1, "N5", "&View Playlist", &MainWindowPresenter::N5Click},
    {1, "N6", "&Edit Playlist", &MainWindowPresenter::N6Click},
    {0, "About1", "&About"},
    {1, "BuySourceCode1", "Buy Source Code", &MainWindowPresenter::BuySourceCode1Click},
    {1, "R1", "&About", &MainWindowPresenter::R1Click},
    {0, "N18", "&Exit", &MainWindowPresenter::N18Click},
};

// The tray's items that do what a main menu item does run its handler.
constexpr MainWindowMenuItem kTrayMenu[] = {
    {0, "M1", "Restore window", &MainWindowPresenter::M1Click},
    {0, "N12", "Auto run", &MainWindowPresenter::N8Click, true},
    {0, "N13", "View the playlist", &MainWindowPresenter::N5Click},
    {0, "N14", "Edit playlist", &MainWindowPresenter::N6Click},
    {0, "N16", ""},
    {0, "N17", "Exit", &MainWindowPresenter::N17Click},
};

}  // namespace

const Window& mainWindow() { return kWindow; }
std::span<const MainWindowMenuItem> mainMenu() { return kMainMenu; }
std::span<const MainWindowMenuItem> trayMenu() { return kTrayMenu; }

}  // namespace tb::design
