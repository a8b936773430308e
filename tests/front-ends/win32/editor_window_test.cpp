// The Win32 playlist editor: its controls where the design puts them at the monitor's
// density, the picker, the list's double click and Enter, and every way of closing.
// The editor's rules are tested in the core; here, what the window adds.
#include "core/handler.h"
#include "front-ends/win32/colours.h"
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
        const auto n = SendMessageW(editor->ListBox1, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            std::wstring text(static_cast<std::size_t>(SendMessageW(editor->ListBox1, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                SendMessageW(editor->ListBox1, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            out.push_back(narrow(text));
        }
        return out;
    }
    std::string text(HWND control) const { return narrow(test::textOf(control)); }
    SYSTEMTIME picker() const {
        SYSTEMTIME t{};
        SendMessageW(editor->DateTimePicker1, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&t));
        return t;
    }
    // A click of the left button on a point of the list, or the second click of a double click.
    void clickList(POINT at, bool secondOfDouble = false) {
        const LPARAM where = MAKELPARAM(at.x, at.y);
        SendMessageW(editor->ListBox1, secondOfDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, where);
        SendMessageW(editor->ListBox1, WM_LBUTTONUP, 0, where);
    }
    POINT rowCentre(int row) const {
        RECT r{};
        SendMessageW(editor->ListBox1, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
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
    EXPECT_EQ(s.design, 120);
    EXPECT_EQ(s.dpi, dpiOf(owner.hwnd()));
    if (expectedDpi() != 0) {
        EXPECT_EQ(s.dpi, expectedDpi());
    }
    std::printf("the editor at %d dots per inch\n", s.dpi);

    RECT client{};
    GetClientRect(editor->hwnd(), &client);
    EXPECT_EQ(client.right, s(988));
    EXPECT_EQ(client.bottom, s(519));
    const auto style = GetWindowLongPtrW(editor->hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX), WS_SYSMENU)
        << "a system menu only: no sizing frame, no maximize or minimize box";

    struct Place {
        const char* name;
        HWND control;
        int x, y, width, height;  // design pixels; 0: the control's own
    };
    const Place places[] = {
        {"Label2", editor->Label2, 5, 5, 0, 0},
        {"SpeedButton1", editor->SpeedButton1, 85, 3, 28, 26},
        {"Edit1", editor->Edit1, 115, 5, 550, 0},
        {"SpeedButton2", editor->SpeedButton2, 667, 5, 29, 27},
        {"Label7", editor->Label7, 706, 6, 0, 0},
        {"DateTimePicker1", editor->DateTimePicker1, 818, 3, 114, 32},
        {"LabelAMPM", editor->LabelAMPM, 933, 7, 0, 0},
        {"Label1", editor->Label1, 5, 38, 301, 0},
        {"ListBox1", editor->ListBox1, 0, 59, 469, 459},
        {"Button2", editor->Button2, 484, 69, 85, 31},
        {"Button4", editor->Button4, 484, 118, 85, 31},
        {"Button7", editor->Button7, 484, 168, 85, 31},
        {"Button1", editor->Button1, 484, 218, 85, 31},
        {"Button3", editor->Button3, 484, 269, 85, 31},
        {"Button5", editor->Button5, 484, 322, 85, 31},
        {"Button6", editor->Button6, 484, 447, 85, 31},
        {"GroupBox1", editor->GroupBox1, 584, 49, 394, 469},
        {"MediaPlayer1", editor->MediaPlayer1->hwnd(), 584 + 39, 49 + 368, 0, 0},
    };
    for (const auto& p : places) {
        ASSERT_NE(p.control, nullptr) << p.name;
        const RECT r = test::placeOf(p.control);
        EXPECT_EQ(r.left, s(p.x)) << p.name;
        EXPECT_EQ(r.top, s(p.y)) << p.name;
        if (p.width != 0) {
            EXPECT_EQ(r.right - r.left, s(p.width)) << p.name;
        }
        if (p.height != 0) {
            EXPECT_EQ(r.bottom - r.top, s(p.height)) << p.name;
        }
    }
    // The preview player: the design's size as the bar lays it out, every default kept.
    const auto player = test::placeOf(editor->MediaPlayer1->hwnd());
    const PlayerBar::Size laid = editor->MediaPlayer1->layOut({s(316), s(37)});
    EXPECT_EQ(player.right - player.left, laid.width);
    EXPECT_EQ(player.bottom - player.top, laid.height);
    EXPECT_EQ(editor->MediaPlayer1->VisibleButtons(), kAllButtons);
    EXPECT_TRUE(editor->MediaPlayer1->AutoEnable());
    // The memo fills the group box below its caption, the player stands on it.
    const RECT memo = test::placeOf(editor->Memo1), box = test::placeOf(editor->GroupBox1);
    EXPECT_TRUE(memo.left > box.left && memo.right < box.right && memo.top > box.top && memo.bottom < box.bottom)
        << "memo " << memo.left << "," << memo.top << "-" << memo.right << "," << memo.bottom << ", box " << box.left
        << "," << box.top << "-" << box.right << "," << box.bottom;
    EXPECT_EQ(ChildWindowFromPointEx(editor->hwnd(), POINT{player.left + 2, player.top + 2}, CWP_SKIPINVISIBLE),
              editor->MediaPlayer1->hwnd());
}

TEST_F(EditorWindow, TahomaAndTheColoursOfTheDesign) {
    struct Look {
        const char* name;
        HWND control;
        int height;       // design pixels of the character height: exactly, or at most when fitted
        bool fitted;      // made smaller where the stand-in font is too wide for the design
        COLORREF colour;  // of the text, as the window tells Windows; CLR_NONE: not looked at
    };
    const COLORREF blue = RGB(0, 0, 255), red = colorref(design::palette::red), navy = RGB(0, 0, 128);
    const Look looks[] = {
        {"Label2", editor->Label2, 18, true, blue},          {"Label7", editor->Label7, 18, true, blue},
        {"Label1", editor->Label1, 15, false, red},          {"Edit1", editor->Edit1, 15, false, CLR_NONE},
        {"ListBox1", editor->ListBox1, 15, false, CLR_NONE}, {"Memo1", editor->Memo1, 22, true, navy},
        {"GroupBox1", editor->GroupBox1, 15, false, navy},   {"Button2", editor->Button2, 15, false, CLR_NONE},
    };
    HDC dc = GetDC(editor->hwnd());
    for (const auto& l : looks) {
        auto* font = reinterpret_cast<HFONT>(SendMessageW(l.control, WM_GETFONT, 0, 0));
        LOGFONTW logFont{};
        GetObjectW(font, sizeof logFont, &logFont);
        EXPECT_EQ(std::wstring(logFont.lfFaceName), L"Tahoma") << l.name;
        if (l.fitted) {
            EXPECT_LE(-logFont.lfHeight, editor->scale()(l.height)) << l.name;
        } else {
            EXPECT_EQ(-logFont.lfHeight, editor->scale()(l.height)) << l.name;
        }
        if (l.fitted && l.control != editor->Memo1) {  // the whole text shows
            HGDIOBJ old = SelectObject(dc, font);
            SIZE size{};
            const std::wstring t = test::textOf(l.control);
            GetTextExtentPoint32W(dc, t.c_str(), static_cast<int>(t.size()), &size);
            SelectObject(dc, old);
            RECT r{};
            GetClientRect(l.control, &r);
            EXPECT_LE(size.cx, r.right) << l.name;
        }
        if (l.colour == CLR_NONE) continue;
        SendMessageW(editor->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(l.control));
        EXPECT_EQ(GetTextColor(dc), l.colour) << l.name;
        EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE)) << l.name;
    }
    EXPECT_EQ(SendMessageW(editor->Memo1, EM_GETLINECOUNT, 0, 0), 8);  // no help line wraps
    ReleaseDC(editor->hwnd(), dc);
    EXPECT_EQ(text(editor->GroupBox1), "Explain");
    std::vector<std::string> buttons;
    for (HWND b : {editor->Button2, editor->Button4, editor->Button7, editor->Button1, editor->Button3, editor->Button5,
                   editor->Button6})
        buttons.push_back(text(b));
    EXPECT_EQ(buttons, (std::vector<std::string>{"&Add", "&Insert", "&Update", "&Delete", "&Save", "&Close", "Play"}));
    EXPECT_EQ(text(editor->Memo1),
              "Please enter or select the full name of \r\nthe music file that you want to play at \r\nthe \r\n"
              "above text box, and press the Add \r\nbutton after selecting the play time.\r\n\r\n"
              "Note: only click save button,The \r\nchange will come into effect!");
    EXPECT_TRUE(GetWindowLongPtrW(editor->Memo1, GWL_STYLE) & ES_READONLY);
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
    EXPECT_TRUE(centred(printed(editor->SpeedButton2), "CL_MPPLAY"));
    EnableWindow(editor->SpeedButton2, FALSE);
    EXPECT_TRUE(centred(printed(editor->SpeedButton2), "DI_MPPLAY"));
    const test::Pixels find = printed(editor->SpeedButton1);
    int drawn = 0;  // pixels of the picture, neither face nor frame
    for (int y = 4; y < find.height() - 4; ++y)
        for (int x = 4; x < find.width() - 4; ++x) drawn += find.at(x, y) != GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(drawn, 20);
    EXPECT_EQ(text(editor->SpeedButton1), "Find music files");  // the hint, and the name a screen reader reads
    EXPECT_EQ(text(editor->SpeedButton2), "Play music files");
}

TEST_F(EditorWindow, OpensWithTheScheduleAndTheClocksTime) {
    editor->setCaption("Edit Playlist");
    editor->setLabel1("Editable playlist");
    EXPECT_EQ(text(editor->hwnd()), "Edit Playlist");
    EXPECT_EQ(text(editor->Label1), "Editable playlist");
    EXPECT_EQ(rows(), (std::vector<std::string>{file("a.wav") + "|8:00:00 AM", file("b.wav") + "|8:05:09 PM"}));
    EXPECT_EQ(SendMessageW(editor->ListBox1, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(text(editor->Edit1), "");
    const SYSTEMTIME t = picker();
    EXPECT_EQ(std::vector<int>({t.wHour, t.wMinute, t.wSecond}), std::vector<int>({9, 0, 0}));
    EXPECT_EQ(text(editor->LabelAMPM), "AM");
    // What the picker shows, on the 24-hour clock whatever the regional settings say.
    SYSTEMTIME late = t;
    late.wHour = 21;
    late.wMinute = 5;
    late.wSecond = 7;
    SendMessageW(editor->DateTimePicker1, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&late));
    EXPECT_EQ(text(editor->DateTimePicker1), "21:05:07");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorWindow, DigitsTypedIntoThePickerChangeTheAmPmLabel) {
    ShowWindow(editor->hwnd(), SW_SHOW);
    test::pumpMessages();  // painted: the picker knows where its fields are
    ASSERT_EQ(text(editor->LabelAMPM), "AM");
    // A click on the hour field, then two digits, through the program's message loop.
    RECT r{};
    GetClientRect(editor->DateTimePicker1, &r);
    const LPARAM hourField = MAKELPARAM(r.right / 6, r.bottom / 2);
    SendMessageW(editor->DateTimePicker1, WM_LBUTTONDOWN, MK_LBUTTON, hourField);
    SendMessageW(editor->DateTimePicker1, WM_LBUTTONUP, 0, hourField);
    for (WPARAM digit : {'1', '5'}) key(editor->DateTimePicker1, digit);
    EXPECT_EQ(text(editor->DateTimePicker1), "15:00:00");
    EXPECT_EQ(text(editor->LabelAMPM), "PM");
    // Setting the picker from the program is no change of the user's.
    SYSTEMTIME morning = picker();
    morning.wHour = 7;
    SendMessageW(editor->DateTimePicker1, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&morning));
    test::pumpMessages();
    EXPECT_EQ(text(editor->LabelAMPM), "PM");
}

TEST_F(EditorWindow, DoubleClickOrEnterOnARowLoadsIt) {
    ShowWindow(editor->hwnd(), SW_SHOW);
    clickList(rowCentre(1));
    clickList(rowCentre(1), true);
    EXPECT_EQ(text(editor->Edit1), file("b.wav"));
    const SYSTEMTIME t = picker();
    EXPECT_EQ(std::vector<int>({t.wHour, t.wMinute, t.wSecond}), std::vector<int>({20, 5, 9}));
    EXPECT_EQ(text(editor->LabelAMPM), "AM");  // the double click does not refresh the label

    clickList(rowCentre(0));
    SetFocus(editor->ListBox1);
    key(editor->ListBox1, VK_RETURN);
    EXPECT_EQ(text(editor->Edit1), file("a.wav"));
    EXPECT_EQ(picker().wHour, 8);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorWindow, DoubleClickBelowTheRowsWithNoneSelectedIsAnIndexError) {
    RECT list{};
    GetClientRect(editor->ListBox1, &list);
    const POINT below{20, list.bottom - 10};
    clickList(below);
    clickList(below, true);
    EXPECT_EQ(dialogs.texts(Kind::Error), (std::vector<std::string>{"List index out of bounds (-1)"}));
    EXPECT_EQ(text(editor->Edit1), "");
}

TEST_F(EditorWindow, ButtonsReachTheirCommands) {
    auto click = [](HWND button) { SendMessageW(button, BM_CLICK, 0, 0); };
    SetWindowTextW(editor->Edit1, wide(file("a.wav")).c_str());
    click(editor->Button2);  // Add
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_EQ(rows()[2], file("a.wav") + "|9:00:00 AM");
    SendMessageW(editor->ListBox1, LB_SETCURSEL, 0, 0);
    SendMessageW(editor->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(editor->ListBox1), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(editor->ListBox1));
    click(editor->Button4);  // Insert after the selected row
    EXPECT_EQ(rows()[1], file("a.wav") + "|9:00:00 AM");
    click(editor->Button1);  // Delete the selected row, here and in the main window's view
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_EQ(removed, (std::vector<std::size_t>{0}));
    dialogs.files.push_back(file("b.wav"));
    click(editor->SpeedButton1);  // the file dialog puts its choice in the path box
    EXPECT_EQ(text(editor->Edit1), file("b.wav"));
    click(editor->SpeedButton2);  // preview the path box's file
    EXPECT_EQ(layer.count(mci::Command::Play), 1);
    EXPECT_EQ(layer.last(mci::Command::Open).params.element, file("b.wav"));
    click(editor->Button3);  // Save
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
        {"&Close", [](TForm3& e) { SendMessageW(e.Button5, BM_CLICK, 0, 0); }},
        {"Escape",
         [](TForm3& e) {
             SetFocus(e.ListBox1);
             PostMessageW(e.ListBox1, WM_KEYDOWN, VK_ESCAPE, 1);
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
