// The main window as Windows shows it, over a schedule folder of its own, a driven
// clock, a recording media layer, an autostart store in memory and a stand-in shell:
// its layout, its menus, and each of Windows' events reaching its handler.
#include "core/application.h"
#include "core/handler.h"
#include "core/presenters/main_window_design.h"
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
#include <oleacc.h>

#include <array>
#include <cmath>
#include <set>
#include <span>
#include <tuple>

using namespace tb;
using namespace tb::test;
using namespace std::chrono_literals;

namespace {

// WCAG 2 contrast of two colours.
double luminance(COLORREF c) {
    auto channel = [](int v) {
        const double x = v / 255.0;
        return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) + 0.0722 * channel(GetBValue(c));
}
double contrast(COLORREF a, COLORREF b) {
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

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

std::wstring text(std::string_view s) { return wide(s); }

// The place of a design's rectangle at a density: its edges scaled, as the window does.
RECT scaled(const Scale& s, const design::Rect& r, int x = 0, int y = 0) {
    return {s(x + r.x), s(y + r.y), s(x + r.x + r.width), s(y + r.y + r.height)};
}

std::array<LONG, 4> edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The accessible name and description a screen reader gets for a window.
std::pair<std::wstring, std::wstring> accessible(HWND w) {
    IAccessible* a = nullptr;
    std::pair<std::wstring, std::wstring> out;
    if (FAILED(AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&a)))) {
        return out;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr, description = nullptr;
    if (a->get_accName(self, &name) == S_OK && name != nullptr) out.first = name;
    if (a->get_accDescription(self, &description) == S_OK && description != nullptr) out.second = description;
    SysFreeString(name);
    SysFreeString(description);
    a->Release();
    return out;
}

// Every control of the design at its place for the screen's density, with its text and
// font; the window's size, caption and frame.
TEST_F(MainWindow, LayoutIsTheDesignsAtTheScreensDensity) {
    auto form = create();
    const Scale& s = form->scale();
    const design::Window& d = design::mainWindow();
    HWND w = form->hwnd();
    const auto style = GetWindowLongPtrW(w, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the window's size is fixed";
    EXPECT_EQ(windowText(w), text(d.caption));
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, s(d.width));
    EXPECT_EQ(client.bottom, s(d.height));
    // Centred on the screen's work area.
    RECT outer{};
    GetWindowRect(w, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR(outer.left + outer.right, monitor.rcWork.left + monitor.rcWork.right, 2);

    int parts[4] = {};
    ASSERT_EQ(SendMessageW(form->controls().StatusBar1, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 3);
    int part = 0;
    for (const design::Control& c : d.controls) {
        SCOPED_TRACE(std::string(c.name));
        if (c.kind == design::Kind::StatusPanel) {
            EXPECT_EQ(parts[part++], c.rect.width > 0 ? s(c.rect.x + c.rect.width) : -1);
            continue;
        }
        HWND control = form->controls().byName.at(c.name);
        const bool inGroup = c.parent == "GroupBox1";
        const design::Rect group = inGroup ? d.control(c.parent).rect : design::Rect{};
        EXPECT_EQ(edges(placeIn(control, GetParent(control))), edges(scaled(s, c.rect, group.x, group.y)));
        if (c.kind == design::Kind::GroupBox || c.kind == design::Kind::PushButton) {
            EXPECT_EQ(windowText(control), text(c.text));
        }
        if (!c.font) continue;
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        const design::Font& f = *c.font;
        if (f.face != "MS Sans Serif") {
            EXPECT_EQ(std::wstring(font.lfFaceName), text(f.face));
        }
        EXPECT_EQ(font.lfHeight, -s(f.pixels));
        EXPECT_EQ(font.lfWeight >= FW_BOLD, f.bold);
    }
    EXPECT_TRUE(GetWindowLongPtrW(form->controls().Edit3, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(SendMessageW(form->controls().TrackBar1, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageW(form->controls().TrackBar1, TBM_GETRANGEMAX, 0, 0), 255);
}

// At 96 and 144 dpi each control of the bottom bar lies inside it, apart from the others.
TEST_F(MainWindow, BottomBarHoldsItsControlsApartAtEachDensity) {
    auto form = create();
    const design::Rect bar96 = design::mainWindow().control(design::kBottomBar).rect;
    const int barHeight = bar96.height;
    for (const WORD dpi : {WORD{96}, WORD{144}}) {
        SCOPED_TRACE(dpi);
        RECT suggested{};
        GetWindowRect(form->hwnd(), &suggested);
        SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        HWND bar = form->controls().byName.at(design::kBottomBar);
        RECT inside{};
        GetClientRect(bar, &inside);
        EXPECT_EQ(inside.bottom, MulDiv(barHeight, dpi, 96));
        std::vector<std::pair<std::string_view, RECT>> placed;
        for (const design::Control& c : design::mainWindow().controls) {
            if (c.parent != design::kBottomBar) continue;
            const RECT r = placeIn(form->controls().byName.at(c.name), bar);
            RECT both{};
            EXPECT_TRUE(IntersectRect(&both, &r, &inside) && EqualRect(&both, &r)) << c.name << " leaves the bar";
            for (const auto& [other, o] : placed) EXPECT_FALSE(IntersectRect(&both, &r, &o)) << c.name << " overlaps " << other;
            placed.emplace_back(c.name, r);
        }
        EXPECT_EQ(placed.size(), 6u);
    }
}

// Whether oleacc keeps the names a window gives its controls through its annotation
// service (Windows does; Wine 8's answers E_NOTIMPL or has none).
bool annotationsKept(HWND w) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&services)))) {
        return false;
    }
    const HRESULT set = services->SetHwndPropStr(w, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_HELP, L"?");
    services->Release();
    return set == S_OK;
}

// Each control tells a screen reader a name of its own and its hint; the selected row
// (a bell leaves it selected) reads at 4.5:1 or more as it is drawn.
TEST_F(MainWindow, ControlsAreNamedAndTheSelectedRowReads) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto form = create();
    const bool annotated = annotationsKept(form->hwnd());
    std::set<std::wstring> names;
    for (const design::Control& c : design::mainWindow().controls) {
        if (c.kind == design::Kind::StatusPanel || c.kind == design::Kind::MediaPlayer) continue;
        HWND control = form->controls().byName.at(c.name);
        const auto [name, description] = accessible(control);
        std::printf("[ NAME     ] %-12s \"%ls\" \"%ls\"\n", std::string(c.name).c_str(), name.c_str(), description.c_str());
        if (annotated) {
            EXPECT_EQ(name, text(c.accessibleName)) << c.name;
            EXPECT_EQ(description, text(c.hint)) << c.name;
        } else if (name != text(c.accessibleName)) {
            // Without annotations oleacc names a control by its window text.
            EXPECT_EQ(name, windowText(control)) << c.name;
            std::printf("[ NOTE     ] this oleacc keeps no annotations: %s is named by its text \"%ls\", not "
                        "\"%s\" as on Windows\n", std::string(c.name).c_str(), name.c_str(), std::string(c.accessibleName).c_str());
        }
        EXPECT_TRUE(names.insert(name).second) << c.name << " shares its name";
    }

    SendMessageW(form->controls().ListBox1, LB_SETCURSEL, 0, 0);
    UpdateWindow(form->controls().ListBox1);
    RECT row{};
    SendMessageW(form->controls().ListBox1, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    HDC dc = GetDC(form->controls().ListBox1);
    const COLORREF back = GetPixel(dc, row.right - 3, (row.top + row.bottom) / 2);
    double ratio = 1;
    for (int y = row.top + 2; y < row.bottom - 2; ++y)
        for (int x = row.left + 3; x < (row.left + row.right) / 2; ++x) ratio = std::max(ratio, contrast(GetPixel(dc, x, y), back));
    ReleaseDC(form->controls().ListBox1, dc);
    std::printf("[ CONTRAST ] selected row %.2f:1 on %06lx\n", ratio, static_cast<unsigned long>(back));
    EXPECT_GE(ratio, 4.5);
}

// A menu as its table reads: each item's level, text and command id (0: a submenu or a
// separator).
using FlatMenu = std::vector<std::tuple<int, std::wstring, UINT>>;
void flatten(HMENU menu, int level, FlatMenu& out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        HMENU submenu = GetSubMenu(menu, i);
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        out.emplace_back(level, text, submenu ? 0u : GetMenuItemID(menu, i));
        if (submenu != nullptr) flatten(submenu, level + 1, out);
    }
}
FlatMenu flatten(HMENU menu) {
    FlatMenu out;
    flatten(menu, 0, out);
    return out;
}
FlatMenu flatten(std::span<const design::MainWindowMenuItem> table) {
    FlatMenu out;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const bool opens = i + 1 < table.size() && table[i + 1].level > table[i].level;
        const bool command = !opens && !table[i].text.empty();
        out.emplace_back(table[i].level, text(table[i].text), command ? TForm1::menuId(table[i].name) : 0u);
    }
    return out;
}

TEST_F(MainWindow, MenusHoldTheirItemsInOrderUnderTheirIds) {
    auto form = create();
    EXPECT_EQ(flatten(form->controls().MainMenu1), flatten(design::mainMenu()));
    EXPECT_EQ(flatten(form->controls().PopupMenu1), flatten(design::trayMenu()));
    EXPECT_TRUE(GetMenuState(form->controls().PopupMenu1, 4, MF_BYPOSITION) & MF_SEPARATOR);
    // The tray icon: the bell, the tooltip and this menu.
    EXPECT_EQ(shellCalls, std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(form->controls().TrayIcon1->Hint(), "TollbrookV1.01");
    EXPECT_EQ(form->controls().TrayIcon1->PopupMenu(), form->controls().PopupMenu1);
    EXPECT_NE(form->controls().TrayIcon1->Icon(), nullptr);
    EXPECT_TRUE(form->controls().TrayIcon1->MinimizeToTray);
}

TEST_F(MainWindow, CreationSetsTheVolumeTheViewAndTheClockRuns) {
    auto form = create();
    // From 1 to 255: the change handler ran.
    EXPECT_EQ(volume.set, std::vector<std::uint32_t>{0xFF00FF00u});
    EXPECT_EQ(SendMessageW(form->controls().ListBox1, LB_GETCOUNT, 0, 0), 2);
    pumpFor(400ms);
    EXPECT_EQ(windowText(form->controls().Edit3), L"8:00:00") << "no tick reached the clock";
    EXPECT_TRUE(form->controls().Timer1->Enabled());
}

// The slider, both autorun items, the playlist view's double click and Enter, the
// bottom bar's buttons and the close box, each through Windows' own messages.
TEST_F(MainWindow, EventsReachTheirHandlers) {
    auto form = create();
    volume.set.clear();
    SendMessageW(form->controls().TrackBar1, TBM_SETPOS, TRUE, 0);
    SendMessageW(GetParent(form->controls().TrackBar1), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0),
                 reinterpret_cast<LPARAM>(form->controls().TrackBar1));
    EXPECT_EQ(volume.set, std::vector<std::uint32_t>{0u});

    SendMessageW(form->hwnd(), WM_COMMAND, TForm1::menuId("N8"), 0);
    EXPECT_FALSE(autostart.value.empty());
    EXPECT_TRUE(checked(form->controls().MainMenu1, TForm1::menuId("N8")));
    EXPECT_TRUE(checked(form->controls().PopupMenu1, TForm1::menuId("N12")));
    SendMessageW(form->hwnd(), WM_COMMAND, TForm1::menuId("N12"), 0);
    EXPECT_TRUE(autostart.value.empty());
    EXPECT_FALSE(checked(form->controls().MainMenu1, TForm1::menuId("N8")));
    EXPECT_FALSE(checked(form->controls().PopupMenu1, TForm1::menuId("N12")));

    // A double click below the rows with none selected.
    RECT list{};
    GetClientRect(form->controls().ListBox1, &list);
    SendMessageW(form->controls().ListBox1, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, list.bottom - 10));
    EXPECT_EQ(dialogs.texts(ScriptedDialogs::Shown::Error), std::vector<std::string>{"List index out of bounds (-1)"});

    // Enter on a row, through the message loop's dialog keys.
    SendMessageW(form->controls().ListBox1, LB_SETCURSEL, 1, 0);
    SetFocus(form->controls().ListBox1);
    PostMessageW(form->controls().ListBox1, WM_KEYDOWN, VK_RETURN, 0);
    runMessages([] {
        MSG msg;
        return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    });
    EXPECT_EQ(form->controls().MediaPlayer1->FileName(), "C:\\m\\b.wav");

    // The bottom bar's buttons report to the window through the bar.
    SendMessageW(form->controls().Button1, BM_CLICK, 0, 0);
    EXPECT_EQ(dialogs.shown.back().kind, ScriptedDialogs::Shown::FileDialog);
    SendMessageW(form->controls().BitBtn1, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(form->hwnd())) << "\"Put on the tray\"";
    SendMessageW(form->hwnd(), WM_COMMAND, TForm1::menuId("M1"), 0);
    EXPECT_TRUE(IsWindowVisible(form->hwnd())) << "\"Restore window\"";
    std::size_t files = dialogs.shown.size();
    SendMessageW(form->controls().BitBtn2, BM_CLICK, 0, 0);  // Refresh: the reload runs, no box
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
    for (int id : {TForm1::menuId("N5"), TForm1::menuId("N13"), TForm1::menuId("R1")}) SendMessageW(form->hwnd(), WM_COMMAND, id, 0);
    EXPECT_EQ(form->childWindows(), 3u);
    EXPECT_NE(shownWindow(L"TForm4"), nullptr);
    EXPECT_NE(shownWindow(L"TForm5"), nullptr);

    WhenShown closePurchase([] { return shownWindow(L"TFormBuySourceCode"); },
                            [](HWND w) { SendMessageW(w, WM_CLOSE, 0, 0); });
    SendMessageW(form->hwnd(), WM_COMMAND, TForm1::menuId("BuySourceCode1"), 0);
    EXPECT_TRUE(closePurchase.done());

    for (int id : {TForm1::menuId("N6"), TForm1::menuId("N14")}) {
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
        EXPECT_EQ(SendMessageW(form->controls().ListBox1, LB_GETCOUNT, 0, 0), 1);
    }
}

// Which windows count as closed: one the user closed, not one hidden only with its
// minimized owner (when they are given back is the core's rule).
TEST_F(MainWindow, ClosedWindowsAreThoseTheUserClosed) {
    auto form = create();
    form->showCentred();
    SendMessageW(form->hwnd(), WM_COMMAND, TForm1::menuId("N5"), 0);
    SendMessageW(form->hwnd(), WM_COMMAND, TForm1::menuId("R1"), 0);
    HWND view = shownWindow(L"TForm4");
    ASSERT_NE(view, nullptr);
    ShowWindow(form->hwnd(), SW_MINIMIZE);
    SendMessageW(form->hwnd(), WM_COMMAND, TForm1::menuId("N13"), 0);
    EXPECT_EQ(form->childWindows(), 3u) << "a window hidden with its owner was given back";
    ShowWindow(form->hwnd(), SW_RESTORE);

    SendMessageW(view, WM_CLOSE, 0, 0);
    SendMessageW(form->hwnd(), WM_COMMAND, TForm1::menuId("N5"), 0);
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ(form->childWindows(), 3u);
    EXPECT_NE(shownWindow(L"TForm5"), nullptr);
}

// The picture buttons show a hand; the others keep their own pointer.
TEST_F(MainWindow, PictureButtonsShowAHand) {
    auto form = create();
    for (HWND button : {form->controls().BitBtn1, form->controls().BitBtn2}) {
        SetCursor(nullptr);
        SendMessageW(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    }
    SendMessageW(form->controls().Button1, WM_SETCURSOR, reinterpret_cast<WPARAM>(form->controls().Button1), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
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
    SendMessageW(form->controls().TrayIcon1->Handle(), TTrayIcon::kCallbackMessage, form->controls().TrayIcon1->id(), WM_LBUTTONDBLCLK);
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
        if (c.inTray) SendMessageW(form->controls().BitBtn1, BM_CLICK, 0, 0);
        dialogs.answers = {false};
        SendMessageW(form->hwnd(), WM_COMMAND, c.command, 0);
        EXPECT_FALSE(app.Terminated());
        EXPECT_TRUE(form->controls().Timer1->Enabled());
        EXPECT_EQ(IsWindowVisible(form->hwnd()) != FALSE, !c.inTray);

        dialogs.answers = {true};
        const auto start = std::chrono::steady_clock::now();
        SendMessageW(form->hwnd(), WM_COMMAND, c.command, 0);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_EQ(dialogs.texts(ScriptedDialogs::Shown::Question), (std::vector<std::string>{c.question, c.question}));
        EXPECT_TRUE(app.Terminated());
        EXPECT_FALSE(form->controls().Timer1->Enabled());
        EXPECT_FALSE(IsWindowVisible(form->hwnd()));
        if (!c.inTray && took < 1000ms) {
            std::printf("[ NOTE     ] Wine's AnimateWindow returned after %lld ms: the 1500 ms collapse is not "
                        "drawn here; that the window ends hidden is checked\n",
                        static_cast<long long>(took.count()));
        }
    }
};

TEST_F(Exit, FromTheMenuCollapsesTheWindowAndEnds) {
    answeredNoThenYes({TForm1::menuId("N18"), false, "Do you really want to exit\xEF\xBC\x9F"});
}

TEST_F(Exit, FromTheTrayLeavesTheHiddenWindowHiddenAndEnds) {
    answeredNoThenYes({TForm1::menuId("N17"), true, "Are you sure you want to quit?"});
}

}  // namespace
