// The main window as Windows shows it, over a schedule folder of its own, a driven
// clock, a recording media layer, an autostart store in memory and a stand-in shell:
// its layout, its menus, and each of Windows' events reaching its handler.
#include "core/application.h"
#include "core/handler.h"
#include "front-ends/win32/loop.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/tform1.h"
#include "front-ends/win32/tmediaplayer.h"
#include "front-ends/win32/ttimer.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/core/fakes.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/front-ends/win32/win32_test.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <commctrl.h>

using namespace tb;
using namespace tb::test;
using namespace std::chrono_literals;

namespace {

class MemoryAutostart final : public AutostartStore {
public:
    std::string read() override { return value; }
    void write(const std::filesystem::path&) override { value = "registered"; }
    void remove() noexcept override { value.clear(); }
    std::string value;
};

class MainWindow : public ::testing::Test {
protected:
    MainWindow() {
        app.setTitle("Tollbrook");
        app.endLoop = [] {};  // the test's loops go on after the program has ended
        setErrorBoxApplication(&app);
        layer.trackModes = true;
        clock.at(8, 0, 0, 900);
    }
    ~MainWindow() override { setErrorBoxApplication(nullptr); }

    std::unique_ptr<TForm1> create() {
        writeSchedule(dir.path(), {{"C:\\m\\a.wav", "8:00:05"}, {"C:\\m\\b.wav", "9:00:00"}});
        auto form = std::make_unique<TForm1>(
            MainWindowServices{app, dir.path(), "C:\\Tollbrook\\tollbrook.exe", locale, clock, layer, volume,
                               autostart, dialogs},
            [this](DWORD message, NOTIFYICONDATAW&) {
                shellCalls.push_back(message);
                return true;
            });
        runHandler([&] { form->FormCreate(); });
        form->showCentred();
        pumpFor(100ms);
        return form;
    }
    static RECT placeIn(HWND control, HWND parent) {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static std::vector<std::wstring> items(HMENU menu) {
        std::vector<std::wstring> out;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            out.push_back(text);
        }
        return out;
    }
    static bool checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

    ScriptedDialogs dialogs;
    FixedLocaleSource locale{LocaleSettings{}};  // 24-hour clock, no leading zero
    TApplication app;
    TempDir dir;
    FakeClock clock;
    RecordingLayer layer;
    RecordingVolume volume;
    MemoryAutostart autostart;
    std::vector<DWORD> shellCalls;
};

struct Place {
    const char* name;
    HWND TForm1::*control;
    RECT design;  // left, top, width, height in the bottom bar, at 96 dpi
};

TEST_F(MainWindow, LayoutIsTheDesignsAtTheScreensDensity) {
    auto form = create();
    const Scale& s = form->scale();
    HWND w = form->hwnd();
    const auto style = GetWindowLongPtrW(w, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the window's size is fixed";
    EXPECT_EQ(windowText(w), L"Tollbrook");
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, s(794));
    EXPECT_EQ(client.bottom, s(553));
    // Centred on the screen's work area.
    RECT outer{};
    GetWindowRect(w, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR(outer.left + outer.right, monitor.rcWork.left + monitor.rcWork.right, 2);

    HWND bar = GetParent(form->TrackBar1);
    const std::vector<Place> places = {
        {"TrackBar1", &TForm1::TrackBar1, {0, 2, 105, 20}},  {"Edit3", &TForm1::Edit3, {102, 3, 92, 19}},
        {"BitBtn2", &TForm1::BitBtn2, {201, 4, 17, 17}},     {"BitBtn1", &TForm1::BitBtn1, {223, 4, 17, 17}},
        {"Button1", &TForm1::Button1, {249, -4, 54, 29}},
    };
    for (const auto& p : places) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(placeIn(form.get()->*p.control, bar).left, s(p.design.left));
        EXPECT_EQ(placeIn(form.get()->*p.control, bar).top, s(p.design.top));
        RECT r = placeIn(form.get()->*p.control, bar);
        EXPECT_EQ(r.right - r.left, s(p.design.right));
        EXPECT_EQ(r.bottom - r.top, s(p.design.bottom));
    }
    const RECT player = placeIn(form->MediaPlayer1->hwnd(), bar);
    EXPECT_EQ(player.left, s(305));
    EXPECT_EQ(player.top, s(-5));
    // The bar: 26 pixels along the bottom of the group box, the playlist view above it.
    const RECT barPlace = placeIn(bar, w), list = placeIn(form->ListBox1, w), group = placeIn(form->GroupBox1, w);
    EXPECT_EQ(barPlace.bottom - barPlace.top, s(26));
    EXPECT_EQ(list.bottom, barPlace.top);
    EXPECT_EQ(list.left, barPlace.left);
    EXPECT_EQ(list.right, barPlace.right);
    EXPECT_LT(barPlace.bottom, group.bottom);
    EXPECT_EQ(windowText(form->GroupBox1), L"Playlist");
    // Three status panels: 10, 50 and the rest.
    int parts[4] = {};
    ASSERT_EQ(SendMessageW(form->StatusBar1, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 3);
    EXPECT_EQ(parts[0], s(10));
    EXPECT_EQ(parts[1], s(60));
    EXPECT_EQ(parts[2], -1);
    EXPECT_EQ(group.bottom, placeIn(form->StatusBar1, w).top);

    EXPECT_TRUE(GetWindowLongPtrW(form->Edit3, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(SendMessageW(form->TrackBar1, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageW(form->TrackBar1, TBM_GETRANGEMAX, 0, 0), 255);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form->ListBox1, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"Tahoma");
    EXPECT_EQ(font.lfHeight, -s(13));
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form->Edit3, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -s(12));
}

TEST_F(MainWindow, MenusHoldTheirItemsInOrderUnderTheirIds) {
    auto form = create();
    HMENU menu = form->MainMenu1;
    EXPECT_EQ(items(menu), (std::vector<std::wstring>{L"&System", L"&Option", L"&About", L"&Exit"}));
    EXPECT_EQ(GetSubMenu(menu, 3), nullptr) << "\"&Exit\" is an item of the bar itself";
    EXPECT_EQ(GetMenuItemID(menu, 3), static_cast<UINT>(idN18));
    EXPECT_EQ(items(GetSubMenu(menu, 0)), std::vector<std::wstring>{L"&Auto Run"});
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 0), static_cast<UINT>(idN8));
    EXPECT_EQ(items(GetSubMenu(menu, 1)), (std::vector<std::wstring>{L"&View Playlist", L"&Edit Playlist"}));
    EXPECT_EQ(items(GetSubMenu(menu, 2)), (std::vector<std::wstring>{L"Buy Source Code", L"&About"}));
    EXPECT_EQ(items(form->PopupMenu1), (std::vector<std::wstring>{L"Restore window", L"Auto run", L"View the playlist",
                                                                   L"Edit playlist", L"", L"Exit"}));
    EXPECT_TRUE(GetMenuState(form->PopupMenu1, 4, MF_BYPOSITION) & MF_SEPARATOR);
    const UINT ids[] = {idM1, idN12, idN13, idN14, 0, idN17};
    for (int i = 0; i < 6; ++i) {
        if (ids[i] != 0) {
            EXPECT_EQ(GetMenuItemID(form->PopupMenu1, i), ids[i]);
        }
    }
    // The tray icon: the bell, the tooltip and this menu.
    EXPECT_EQ(shellCalls, std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(form->TrayIcon1->Hint(), "TollbrookV1.01");
    EXPECT_EQ(form->TrayIcon1->PopupMenu(), form->PopupMenu1);
    EXPECT_NE(form->TrayIcon1->Icon(), nullptr);
    EXPECT_TRUE(form->TrayIcon1->MinimizeToTray);
}

TEST_F(MainWindow, CreationSetsTheVolumeTheViewAndTheClockRuns) {
    auto form = create();
    // From 1 to 255: the change handler ran.
    EXPECT_EQ(volume.set, std::vector<std::uint32_t>{0xFF00FF00u});
    EXPECT_EQ(SendMessageW(form->ListBox1, LB_GETCOUNT, 0, 0), 2);
    pumpFor(400ms);
    EXPECT_EQ(windowText(form->Edit3), L"8:00:00") << "no tick reached the clock";
    EXPECT_TRUE(form->Timer1->Enabled());
}

// The slider, both autorun items, the playlist view's double click and Enter, the
// bottom bar's buttons and the close box, each through Windows' own messages.
TEST_F(MainWindow, EventsReachTheirHandlers) {
    auto form = create();
    volume.set.clear();
    SendMessageW(form->TrackBar1, TBM_SETPOS, TRUE, 0);
    SendMessageW(GetParent(form->TrackBar1), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0),
                 reinterpret_cast<LPARAM>(form->TrackBar1));
    EXPECT_EQ(volume.set, std::vector<std::uint32_t>{0u});

    SendMessageW(form->hwnd(), WM_COMMAND, idN8, 0);
    EXPECT_FALSE(autostart.value.empty());
    EXPECT_TRUE(checked(form->MainMenu1, idN8));
    EXPECT_TRUE(checked(form->PopupMenu1, idN12));
    SendMessageW(form->hwnd(), WM_COMMAND, idN12, 0);
    EXPECT_TRUE(autostart.value.empty());
    EXPECT_FALSE(checked(form->MainMenu1, idN8));
    EXPECT_FALSE(checked(form->PopupMenu1, idN12));

    // A double click below the rows with none selected.
    RECT list{};
    GetClientRect(form->ListBox1, &list);
    SendMessageW(form->ListBox1, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, list.bottom - 10));
    EXPECT_EQ(dialogs.texts(ScriptedDialogs::Shown::Error), std::vector<std::string>{"List index out of bounds (-1)"});

    // Enter on a row, through the message loop's dialog keys.
    SendMessageW(form->ListBox1, LB_SETCURSEL, 1, 0);
    SetFocus(form->ListBox1);
    PostMessageW(form->ListBox1, WM_KEYDOWN, VK_RETURN, 0);
    runMessages([] {
        MSG msg;
        return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    });
    EXPECT_EQ(form->MediaPlayer1->FileName(), "C:\\m\\b.wav");

    // The bottom bar's buttons report to the window through the bar.
    SendMessageW(form->Button1, BM_CLICK, 0, 0);
    EXPECT_EQ(dialogs.shown.back().kind, ScriptedDialogs::Shown::FileDialog);
    SendMessageW(form->BitBtn1, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(form->hwnd())) << "\"Put on the tray\"";
    SendMessageW(form->hwnd(), WM_COMMAND, idM1, 0);
    EXPECT_TRUE(IsWindowVisible(form->hwnd())) << "\"Restore window\"";
    std::size_t files = dialogs.shown.size();
    SendMessageW(form->BitBtn2, BM_CLICK, 0, 0);  // Refresh: the reload runs, no box
    EXPECT_EQ(dialogs.shown.size(), files);

    SendMessageW(form->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Terminated()) << "the close box ends the program";
    EXPECT_TRUE(IsWindow(form->hwnd())) << "the window goes with the program's end";
    EXPECT_EQ(dialogs.texts(ScriptedDialogs::Shown::Question).size(), 0u) << "without a question";
}

// Each menu's command opens its window: view and about stay open beside the main
// window, the purchase window and the editor are modal; after the editor the schedule
// is read again.
TEST_F(MainWindow, MenusOpenTheirWindows) {
    auto form = create();
    for (int id : {idN5, idN13, idR1}) SendMessageW(form->hwnd(), WM_COMMAND, id, 0);
    EXPECT_EQ(form->childWindows(), 3u);
    EXPECT_NE(shownWindow(L"TForm4"), nullptr);
    EXPECT_NE(shownWindow(L"TForm5"), nullptr);

    WhenShown closePurchase([] { return shownWindow(L"TFormBuySourceCode"); },
                            [](HWND w) { SendMessageW(w, WM_CLOSE, 0, 0); });
    SendMessageW(form->hwnd(), WM_COMMAND, idBuySourceCode1, 0);
    EXPECT_TRUE(closePurchase.done());

    for (int id : {idN6, idN14}) {
        SCOPED_TRACE(id);
        writeSchedule(dir.path(), {{"C:\\m\\c.wav", "10:00:00"}});
        std::wstring caption;
        WhenShown closeEditor([] { return shownWindow(L"TForm3"); },
                              [&](HWND w) {
                                  caption = windowText(w);
                                  SendMessageW(w, WM_CLOSE, 0, 0);
                              });
        SendMessageW(form->hwnd(), WM_COMMAND, id, 0);
        EXPECT_TRUE(closeEditor.done());
        EXPECT_EQ(caption, L"Edit Playlist");
        EXPECT_EQ(form->ListBoxfilename(), std::vector<std::string>{"C:\\m\\c.wav"}) << "not read again";
        EXPECT_EQ(SendMessageW(form->ListBox1, LB_GETCOUNT, 0, 0), 1);
    }
}

// Which windows count as closed: one the user closed, not one hidden only with its
// minimized owner (when they are given back is the core's rule).
TEST_F(MainWindow, ClosedWindowsAreThoseTheUserClosed) {
    auto form = create();
    form->showCentred();
    SendMessageW(form->hwnd(), WM_COMMAND, idN5, 0);
    SendMessageW(form->hwnd(), WM_COMMAND, idR1, 0);
    HWND view = shownWindow(L"TForm4");
    ASSERT_NE(view, nullptr);
    ShowWindow(form->hwnd(), SW_MINIMIZE);
    SendMessageW(form->hwnd(), WM_COMMAND, idN13, 0);
    EXPECT_EQ(form->childWindows(), 3u) << "a window hidden with its owner was given back";
    ShowWindow(form->hwnd(), SW_RESTORE);

    SendMessageW(view, WM_CLOSE, 0, 0);
    SendMessageW(form->hwnd(), WM_COMMAND, idN5, 0);
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ(form->childWindows(), 3u);
    EXPECT_NE(shownWindow(L"TForm5"), nullptr);
}

// The picture buttons show a hand; the others keep their own pointer.
TEST_F(MainWindow, PictureButtonsShowAHand) {
    auto form = create();
    for (HWND button : {form->BitBtn1, form->BitBtn2}) {
        SetCursor(nullptr);
        SendMessageW(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    }
    SendMessageW(form->Button1, WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Button1), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

// The user's regional settings change: the clock and the schedule follow at once.
TEST_F(MainWindow, ChangedRegionalSettingsAreTakenUp) {
    auto form = create();
    LocaleSettings twelve;
    twelve.twelveHour = true;
    twelve.amString = "AM";
    twelve.pmString = "PM";
    locale.set(twelve);
    SendMessageW(form->hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"));
    EXPECT_EQ(form->timeFormat().render({8, 0, 0, 0}), "8:00:00");
    SendMessageW(form->hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(form->timeFormat().render({8, 0, 0, 0}), "8:00:00 AM");
}

// Minimized, the window goes to the tray; the icon's double click brings it back.
TEST_F(MainWindow, MinimizeGoesToTheTrayAndTheIconBringsItBack) {
    auto form = create();
    ShowWindow(form->hwnd(), SW_MINIMIZE);
    pumpFor(200ms);
    EXPECT_FALSE(IsWindowVisible(form->hwnd()));
    SendMessageW(form->TrayIcon1->Handle(), TTrayIcon::kCallbackMessage, form->TrayIcon1->id(), WM_LBUTTONDBLCLK);
    pumpFor(100ms);
    EXPECT_TRUE(IsWindowVisible(form->hwnd()));
    EXPECT_FALSE(IsIconic(form->hwnd()));
}

struct ExitCase {
    int command;
    bool inTray;
    std::string question;
};

// "&Exit" and "Exit" answered Yes: the window collapses (a window in the tray stays
// hidden), the timer stops, the program ends; answered No, nothing changes.
class Exit : public MainWindow {
protected:
    void answeredNoThenYes(const ExitCase& c) {
        auto form = create();
        if (c.inTray) SendMessageW(form->BitBtn1, BM_CLICK, 0, 0);
        dialogs.answers = {false};
        SendMessageW(form->hwnd(), WM_COMMAND, c.command, 0);
        EXPECT_FALSE(app.Terminated());
        EXPECT_TRUE(form->Timer1->Enabled());
        EXPECT_EQ(IsWindowVisible(form->hwnd()) != FALSE, !c.inTray);

        dialogs.answers = {true};
        const auto start = std::chrono::steady_clock::now();
        SendMessageW(form->hwnd(), WM_COMMAND, c.command, 0);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_EQ(dialogs.texts(ScriptedDialogs::Shown::Question), (std::vector<std::string>{c.question, c.question}));
        EXPECT_TRUE(app.Terminated());
        EXPECT_FALSE(form->Timer1->Enabled());
        EXPECT_FALSE(IsWindowVisible(form->hwnd()));
        if (!c.inTray && took < 1000ms) {
            std::printf("[ NOTE     ] Wine's AnimateWindow returned after %lld ms: the 1500 ms collapse is not "
                        "drawn here; that the window ends hidden is checked\n",
                        static_cast<long long>(took.count()));
        }
    }
};

TEST_F(Exit, FromTheMenuCollapsesTheWindowAndEnds) {
    answeredNoThenYes({idN18, false, "Do you really want to exit\xEF\xBC\x9F"});
}

TEST_F(Exit, FromTheTrayLeavesTheHiddenWindowHiddenAndEnds) {
    answeredNoThenYes({idN17, true, "Are you sure you want to quit?"});
}

}  // namespace
