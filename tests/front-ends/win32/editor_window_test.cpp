// The Win32 playlist editor: its controls where the design puts them at the monitor's
// density, the picker, the list's double click and Enter, and every way of closing.
// The editor's rules are tested in the core; here, what the window adds.
#include "core/handler.h"
#include "front-ends/win32/colours.h"
#include "core/presenters/editor_design.h"
#include "front-ends/win32/designed_window.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/tform3.h"
#include "front-ends/win32/tmediaplayer.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/core/fakes.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/front-ends/win32/win32_fixture.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"

#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace tb;
using tb::test::twelveHour;
using Kind = tb::test::ScriptedDialogs::Shown::Kind;

namespace {

class EditorWindow : public ::testing::Test {
protected:
    EditorWindow() {
        dir.write("a.wav", "RIFF");
        dir.write("b.wav", "RIFF");
        test::writeSchedule(dir.path(), {{file("a.wav"), "8:00:00 AM"}, {file("b.wav"), "8:05:09 PM"}});
        clock.at(9, 0, 0);
        runHandler([&] { editor->FormCreate(); });
    }
    std::string file(const std::string& name) const { return (dir / name).string(); }
    std::vector<std::string> rows() const {
        std::vector<std::string> out;
        const auto n = SendMessageW(editor->controls().ListBox1, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            std::wstring text(static_cast<std::size_t>(SendMessageW(editor->controls().ListBox1, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                SendMessageW(editor->controls().ListBox1, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            out.push_back(narrow(text));
        }
        return out;
    }
    std::string text(HWND control) const { return narrow(test::textOf(control)); }
    HWND controlOf(const design::Control& c) const { return GetDlgItem(editor->hwnd(), designId(design::editor(), c)); }
    SYSTEMTIME picker() const {
        SYSTEMTIME t{};
        SendMessageW(editor->controls().DateTimePicker1, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t));
        return t;
    }
    // A click of the left button on a point of the list, or the second click of a double click.
    void clickList(POINT at, bool secondOfDouble = false) {
        const LPARAM where = MAKELPARAM(at.x, at.y);
        SendMessageW(editor->controls().ListBox1, secondOfDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, where);
        SendMessageW(editor->controls().ListBox1, WM_LBUTTONUP, 0, where);
    }
    POINT rowCentre(int row) const {
        RECT r{};
        SendMessageW(editor->controls().ListBox1, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void key(HWND to, WPARAM vk) {
        PostMessageW(to, WM_KEYDOWN, vk, 1);
        PostMessageW(to, WM_KEYUP, vk, 0xC0000001);
        test::pumpMessages();
    }

    test::TempDir dir;
    test::FakeClock clock;
    LongTimeFormat format{twelveHour()};
    test::ScriptedDialogs dialogs;
    test::RecordingLayer layer;
    test::HostWindow owner{800, 600};
    std::vector<std::size_t> removed;
    std::unique_ptr<TForm3> editor = std::make_unique<TForm3>(
        EditorServices{dir.path(), format, clock, dialogs, "Tollbrook", [this](std::size_t r) { removed.push_back(r); }},
        layer, owner.hwnd());
};

// The density the layout test expects, when a test that changed it runs it.
int expectedDpi() {
    const char* dpi = std::getenv("TOLLBROOK_TEST_EXPECT_DPI");
    return dpi != nullptr ? std::atoi(dpi) : 0;
}

TEST_F(EditorWindow, ControlsStandAtTheScaledDesignPlaces) {
    const Scale& s = editor->scale();
    const design::Window& d = design::editor();
    EXPECT_EQ(s.design, d.dpi);
    EXPECT_EQ(s.dpi, dpiOf(owner.hwnd()));
    if (expectedDpi() != 0) {
        EXPECT_EQ(s.dpi, expectedDpi());
    }
    std::printf("the editor at %d dots per inch\n", s.dpi);

    RECT client{};
    GetClientRect(editor->hwnd(), &client);
    EXPECT_EQ(client.right, s(d.width));
    EXPECT_EQ(client.bottom, s(d.height));
    const auto style = GetWindowLongPtrW(editor->hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), WS_SYSMENU)
        << "a system menu only: no sizing frame, no maximize or minimize box";

    // Every control at its place; the player at the size its bar lays out.
    for (const design::Control& c : d.controls) {
        if (c.kind == design::Kind::Panel || c.fill) continue;
        HWND control = controlOf(c);
        ASSERT_NE(control, nullptr) << c.name;
        const design::Rect p = d.inWindow(c);
        const RECT r = test::placeOf(control);
        EXPECT_EQ(r.left, s(p.x)) << c.name;
        EXPECT_EQ(r.top, s(p.y)) << c.name;
        if (c.kind == design::Kind::MediaPlayer) continue;
        EXPECT_EQ(r.right - r.left, s(p.width)) << c.name;
        if (p.height != 0) {
            EXPECT_EQ(r.bottom - r.top, s(p.height)) << c.name;
        }
    }
    const auto& ui = editor->controls();
    // The preview player: the design's size as the bar lays it out, every default kept.
    const auto player = test::placeOf(ui.MediaPlayer1->hwnd());
    const design::Rect designed = d.control("MediaPlayer1").rect;
    const PlayerBar::Size laid = ui.MediaPlayer1->layOut({s(designed.width), s(designed.height)});
    EXPECT_EQ(player.right - player.left, laid.width);
    EXPECT_EQ(player.bottom - player.top, laid.height);
    EXPECT_EQ(ui.MediaPlayer1->VisibleButtons(), kAllButtons);
    EXPECT_TRUE(ui.MediaPlayer1->AutoEnable());
    // The memo fills the group box below its caption, the player stands on it.
    const RECT memo = test::placeOf(ui.Memo1), box = test::placeOf(ui.GroupBox1);
    EXPECT_TRUE(memo.left > box.left && memo.right < box.right && memo.top > box.top && memo.bottom < box.bottom)
        << "memo " << memo.left << "," << memo.top << "-" << memo.right << "," << memo.bottom << ", box " << box.left
        << "," << box.top << "-" << box.right << "," << box.bottom;
    EXPECT_EQ(ChildWindowFromPointEx(editor->hwnd(), POINT{player.left + 2, player.top + 2}, CWP_SKIPINVISIBLE),
              ui.MediaPlayer1->hwnd());
}

TEST_F(EditorWindow, TahomaAndTheColoursAndTextsOfTheDesign) {
    using design::Kind;
    const design::Window& d = design::editor();
    HDC dc = GetDC(editor->hwnd());
    for (const design::Control& c : d.controls) {
        if (c.kind == Kind::Panel || c.kind == Kind::MediaPlayer || c.kind == Kind::PictureButton ||
            c.kind == Kind::TimePicker)
            continue;
        HWND control = controlOf(c);
        // A label or memo in a font of its own is made smaller where the stand-in font is
        // too wide for the design.
        const bool fitted = c.font && (c.kind == Kind::Label || c.kind == Kind::Memo);
        const int height = (c.font ? *c.font : d.font).pixels;
        auto* font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        LOGFONTW logFont{};
        GetObjectW(font, sizeof logFont, &logFont);
        EXPECT_EQ(std::wstring(logFont.lfFaceName), L"Tahoma") << c.name;
        if (fitted) {
            EXPECT_LE(-logFont.lfHeight, editor->scale()(height)) << c.name;
        } else {
            EXPECT_EQ(-logFont.lfHeight, editor->scale()(height)) << c.name;
        }
        if (fitted && c.kind == Kind::Label) {  // the whole text shows
            HGDIOBJ old = SelectObject(dc, font);
            SIZE size{};
            const std::wstring t = test::textOf(control);
            GetTextExtentPoint32W(dc, t.c_str(), static_cast<int>(t.size()), &size);
            SelectObject(dc, old);
            RECT r{};
            GetClientRect(control, &r);
            EXPECT_LE(size.cx, r.right) << c.name;
        }
        if (c.kind == Kind::Memo) {
            EXPECT_EQ((GetWindowLongPtrW(control, GWL_STYLE) & ES_READONLY) != 0, c.readOnly);
        }
        if (c.kind != Kind::Edit && c.kind != Kind::ListBox && !c.text.empty()) {
            std::string expected;
            for (char ch : c.text) expected += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
            EXPECT_EQ(text(control), expected) << c.name;
        }
        if (!c.ink) continue;
        SendMessageW(editor->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
        EXPECT_EQ(GetTextColor(dc), colorRef(*c.ink)) << c.name;
        EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE)) << c.name;
    }
    EXPECT_EQ(SendMessageW(editor->controls().Memo1, EM_GETLINECOUNT, 0, 0), 8);  // no help line wraps
    ReleaseDC(editor->hwnd(), dc);
}

// What a screen reader reads of each control a user operates: the design's name, and
// its hint as its description.
TEST_F(EditorWindow, ScreenReadersReadTheDesignsNamesAndHints) {
    using design::Kind;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    auto read = [](IAccessible* a, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        (a->*get)(self, &text);
        const std::string out = text != nullptr ? narrow(text) : std::string();
        SysFreeString(text);
        return out;
    };
    int controls = 0;
    for (const design::Control& c : design::editor().controls) {
        if (c.kind == Kind::Label || c.kind == Kind::Panel || c.kind == Kind::GroupBox) continue;
        IAccessible* a = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(controlOf(c), OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&a)),
                  S_OK)
            << c.name;
        EXPECT_EQ(read(a, &IAccessible::get_accName), design::spokenName(c)) << c.name;
        if (!c.hint.empty()) {
            EXPECT_EQ(read(a, &IAccessible::get_accDescription), std::string(c.hint)) << c.name;
        }
        a->Release();
        ++controls;
    }
    EXPECT_EQ(controls, 14);
    if (SUCCEEDED(com)) CoUninitialize();
}

// The play picture button shows the player's play glyph, and its disabled glyph when
// disabled; the find button a picture of the shell's.
TEST_F(EditorWindow, PictureButtonsShowTheirPictures) {
    // An owner-drawn button asked to print itself asks its parent to draw it.
    const auto printed = &test::Pixels::printed;
    auto centred = [](const test::Pixels& shot, const char* glyph) {
        const test::Pixels g = test::resourceBitmap(glyph);
        return test::showsGlyphAt(shot, g, shot.width() / 2 - g.width() / 2, shot.height() / 2 - g.height() / 2);
    };
    EXPECT_TRUE(centred(printed(editor->controls().SpeedButton2), "CL_MPPLAY"));
    EnableWindow(editor->controls().SpeedButton2, FALSE);
    EXPECT_TRUE(centred(printed(editor->controls().SpeedButton2), "DI_MPPLAY"));
    const test::Pixels find = printed(editor->controls().SpeedButton1);
    int drawn = 0;  // pixels of the picture, neither face nor frame
    for (int y = 4; y < find.height() - 4; ++y)
        for (int x = 4; x < find.width() - 4; ++x) drawn += find.at(x, y) != GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(drawn, 20);
    // Their texts are the names a screen reader reads.
    EXPECT_EQ(text(editor->controls().SpeedButton1), design::spokenName(design::editor().control("SpeedButton1")));
    EXPECT_EQ(text(editor->controls().SpeedButton2), design::spokenName(design::editor().control("SpeedButton2")));
}

TEST_F(EditorWindow, OpensWithTheScheduleAndTheClocksTime) {
    editor->setCaption("Edit Playlist");
    editor->setLabel1("Editable playlist");
    EXPECT_EQ(text(editor->hwnd()), "Edit Playlist");
    EXPECT_EQ(text(editor->controls().Label1), "Editable playlist");
    EXPECT_EQ(rows(), (std::vector<std::string>{file("a.wav") + "|8:00:00 AM", file("b.wav") + "|8:05:09 PM"}));
    EXPECT_EQ(SendMessageW(editor->controls().ListBox1, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(text(editor->controls().Edit1), "");
    const SYSTEMTIME t = picker();
    EXPECT_EQ(std::vector<int>({t.wHour, t.wMinute, t.wSecond}), std::vector<int>({9, 0, 0}));
    EXPECT_EQ(text(editor->controls().LabelAMPM), "AM");
    // What the picker shows, on the 24-hour clock whatever the regional settings say.
    SYSTEMTIME late = t;
    late.wHour = 21;
    late.wMinute = 5;
    late.wSecond = 7;
    SendMessageW(editor->controls().DateTimePicker1, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&late));
    EXPECT_EQ(text(editor->controls().DateTimePicker1), "21:05:07");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorWindow, DigitsTypedIntoThePickerChangeTheAmPmLabel) {
    ShowWindow(editor->hwnd(), SW_SHOW);
    test::pumpMessages();  // painted: the picker knows where its fields are
    ASSERT_EQ(text(editor->controls().LabelAMPM), "AM");
    // A click on the hour field, then two digits, through the program's message loop.
    RECT r{};
    GetClientRect(editor->controls().DateTimePicker1, &r);
    const LPARAM hourField = MAKELPARAM(r.right / 6, r.bottom / 2);
    SendMessageW(editor->controls().DateTimePicker1, WM_LBUTTONDOWN, MK_LBUTTON, hourField);
    SendMessageW(editor->controls().DateTimePicker1, WM_LBUTTONUP, 0, hourField);
    for (WPARAM digit : {'1', '5'}) key(editor->controls().DateTimePicker1, digit);
    EXPECT_EQ(text(editor->controls().DateTimePicker1), "15:00:00");
    EXPECT_EQ(text(editor->controls().LabelAMPM), "PM");
    // Setting the picker from the program is no change of the user's.
    SYSTEMTIME morning = picker();
    morning.wHour = 7;
    SendMessageW(editor->controls().DateTimePicker1, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&morning));
    test::pumpMessages();
    EXPECT_EQ(text(editor->controls().LabelAMPM), "PM");
}

TEST_F(EditorWindow, DoubleClickOrEnterOnARowLoadsIt) {
    ShowWindow(editor->hwnd(), SW_SHOW);
    clickList(rowCentre(1));
    clickList(rowCentre(1), true);
    EXPECT_EQ(text(editor->controls().Edit1), file("b.wav"));
    const SYSTEMTIME t = picker();
    EXPECT_EQ(std::vector<int>({t.wHour, t.wMinute, t.wSecond}), std::vector<int>({20, 5, 9}));
    EXPECT_EQ(text(editor->controls().LabelAMPM), "AM");  // the double click does not refresh the label

    clickList(rowCentre(0));
    SetFocus(editor->controls().ListBox1);
    key(editor->controls().ListBox1, VK_RETURN);
    EXPECT_EQ(text(editor->controls().Edit1), file("a.wav"));
    EXPECT_EQ(picker().wHour, 8);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorWindow, DoubleClickBelowTheRowsWithNoneSelectedIsAnIndexError) {
    RECT list{};
    GetClientRect(editor->controls().ListBox1, &list);
    const POINT below{20, list.bottom - 10};
    clickList(below);
    clickList(below, true);
    EXPECT_EQ(dialogs.texts(Kind::Error), (std::vector<std::string>{"List index out of bounds (-1)"}));
    EXPECT_EQ(text(editor->controls().Edit1), "");
}

TEST_F(EditorWindow, ButtonsReachTheirCommands) {
    auto click = [](HWND button) { SendMessageW(button, BM_CLICK, 0, 0); };
    SetWindowTextW(editor->controls().Edit1, wide(file("a.wav")).c_str());
    click(editor->controls().Button2);  // Add
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_EQ(rows()[2], file("a.wav") + "|9:00:00 AM");
    SendMessageW(editor->controls().ListBox1, LB_SETCURSEL, 0, 0);
    SendMessageW(editor->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(editor->controls().ListBox1), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(editor->controls().ListBox1));
    click(editor->controls().Button4);  // Insert after the selected row
    EXPECT_EQ(rows()[1], file("a.wav") + "|9:00:00 AM");
    click(editor->controls().Button1);  // Delete the selected row, here and in the main window's view
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_EQ(removed, (std::vector<std::size_t>{0}));
    dialogs.files.push_back(file("b.wav"));
    click(editor->controls().SpeedButton1);  // the file dialog puts its choice in the path box
    EXPECT_EQ(text(editor->controls().Edit1), file("b.wav"));
    click(editor->controls().SpeedButton2);  // preview the path box's file
    EXPECT_EQ(layer.count(mci::Command::Play), 1);
    EXPECT_EQ(layer.last(mci::Command::Open).params.element, file("b.wav"));
    click(editor->controls().Button3);  // Save
    EXPECT_EQ(dialogs.texts(Kind::Message), (std::vector<std::string>{"Update success!"}));
    EXPECT_EQ(dialogs.texts(Kind::Error), std::vector<std::string>{});
}

// Every way of closing asks; a No closes without saving, a save that fails keeps the
// window open.
TEST_F(EditorWindow, EveryCloseAsksAndAFailedSaveKeepsTheWindowOpen) {
    const struct {
        const char* name;
        std::function<void(TForm3&)> close;
    } ways[] = {
        {"close box", [](TForm3& e) { SendMessageW(e.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"&Close", [](TForm3& e) { SendMessageW(e.controls().Button5, BM_CLICK, 0, 0); }},
        {"Escape",
         [](TForm3& e) {
             SetFocus(e.controls().ListBox1);
             PostMessageW(e.controls().ListBox1, WM_KEYDOWN, VK_ESCAPE, 1);
             test::pumpMessages();
         }},
        {"Alt+F4",
         [](TForm3& e) {
             PostMessageW(e.hwnd(), WM_SYSKEYDOWN, VK_F4, 0x20000001);  // with Alt held
             test::pumpMessages();
         }},
    };
    for (const auto& way : ways) {
        auto e = std::make_unique<TForm3>(
            EditorServices{dir.path(), format, clock, dialogs, "Tollbrook", [](std::size_t) {}}, layer, owner.hwnd());
        runHandler([&] { e->FormCreate(); });
        ShowWindow(e->hwnd(), SW_SHOW);
        dialogs.shown.clear();
        dialogs.answers = {false};
        way.close(*e);
        EXPECT_EQ(dialogs.texts(Kind::Confirm),
                  (std::vector<std::string>{"Do you have the changes you made before you quit?"}))
            << way.name;
        EXPECT_FALSE(IsWindowVisible(e->hwnd())) << way.name;
        EXPECT_TRUE(dialogs.texts(Kind::Message).empty()) << way.name;
    }

    // Yes saves, and a save that cannot write keeps the window open.
    ShowWindow(editor->hwnd(), SW_SHOW);
    dialogs.shown.clear();
    const auto away = dir.path().string() + "-away";
    std::filesystem::rename(dir.path(), away);  // the schedule's folder is gone
    dialogs.answers = {true};
    SendMessageW(editor->hwnd(), WM_CLOSE, 0, 0);
    std::filesystem::rename(away, dir.path());
    ASSERT_EQ(dialogs.texts(Kind::Error).size(), 1u);
    EXPECT_EQ(dialogs.texts(Kind::Error)[0].rfind("Cannot create file", 0), 0u) << dialogs.texts(Kind::Error)[0];
    EXPECT_TRUE(IsWindowVisible(editor->hwnd()));
    dialogs.answers = {true};
    SendMessageW(editor->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(dialogs.texts(Kind::Message), (std::vector<std::string>{"Update success!"}));
    EXPECT_FALSE(IsWindowVisible(editor->hwnd()));
    EXPECT_EQ(layer.count(mci::Command::Close), 0);  // nothing was open on the preview player
}

// The same layout at 144 dots per inch: Wine takes the density from the user's settings
// when a process starts, so the layout test runs again in a process of its own.
TEST(EditorAtAnotherDensity, ControlsStandAtTheScaledDesignPlaces) {
    const wchar_t* key = L"Control Panel\\Desktop";
    DWORD old = 0, size = sizeof old;
    const bool had = RegGetValueW(HKEY_CURRENT_USER, key, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &old, &size) == ERROR_SUCCESS;
    const DWORD dpi = 144;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"LogPixels", REG_DWORD, &dpi, sizeof dpi), ERROR_SUCCESS);
    SetEnvironmentVariableW(L"TOLLBROOK_TEST_EXPECT_DPI", L"144");
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=EditorWindow.ControlsStandAtTheScaledDesignPlaces";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD exitCode = 1;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    SetEnvironmentVariableW(L"TOLLBROOK_TEST_EXPECT_DPI", nullptr);
    if (had) {
        RegSetKeyValueW(HKEY_CURRENT_USER, key, L"LogPixels", REG_DWORD, &old, sizeof old);
    } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"LogPixels");
    }
    EXPECT_EQ(exitCode, 0u) << "the layout test at 144 dots per inch failed (its output is above)";
}

}  // namespace
