// The Win32 player control over a recording media layer: what it draws, and that the
// mouse and key messages of Windows reach its bar. The bar's rules are tested in the
// core; here, what the window adds.
#include "core/handler.h"
#include "front-ends/win32/tmediaplayer.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/front-ends/win32/win32_fixture.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

using namespace tb;
using namespace tb::mci;

namespace {

const TButtonSet kSeven{btPlay, btPause, btStop, btNext, btPrev, btStep, btBack};

class PlayerControl : public ::testing::Test {
protected:
    PlayerControl() {
        layer.trackModes = true;
        player.OnClick = [this](tb::PlayerBar&, TMPBtnType b, bool&) {
            clicks.push_back(b);
            if (onClick) onClick(b);
        };
    }
    // The main window's control: seven buttons, enabled by the program.
    void asMainWindow() {
        player.setVisibleButtons(kSeven);
        player.setAutoEnable(false);
        player.setFileName("C:\\m\\a.wav");
        player.Open();
    }
    HWND h() const { return player.hwnd(); }
    int centre(TMPBtnType b) const { return player.buttonLeft(b) + player.ButtonWidth() / 2; }
    void mouse(UINT message, int x, int y = 12) {
        const WPARAM held = message == WM_LBUTTONUP || (message == WM_MOUSEMOVE && !player.Pressed()) ? 0 : MK_LBUTTON;
        SendMessageW(h(), message, held, MAKELPARAM(x, y));
    }
    RECT size() const {
        RECT r{};
        GetClientRect(h(), &r);
        return r;
    }

    test::ScriptedDialogs dialogs;
    test::RecordingLayer layer;
    test::HostWindow host{700, 300};
    TMediaPlayer player{layer, host.hwnd(), 100, RECT{20, 20, 217, 50}};
    std::vector<TMPBtnType> clicks;
    std::function<void(TMPBtnType)> onClick;
};

// A glyph of the resources, centred on a button of the control as it paints it.
bool showsGlyph(const test::Pixels& shot, const char* kind, const char* base, int centreX, int height, int shift = 0) {
    const test::Pixels glyph = test::resourceBitmap((std::string(kind) + "_" + base).c_str());
    return test::showsGlyphAt(shot, glyph, centreX - glyph.width() / 2 + shift, height / 2 - glyph.height() / 2 + shift);
}

const char* const kBase[] = {"MPPLAY", "MPPAUSE", "MPSTOP", "MPNEXT", "MPPREV", "MPSTEP", "MPBACK", "MPRECORD", "MPEJECT"};

TEST_F(PlayerControl, WindowTakesTheSizeOfTheBarsLayout) {
    EXPECT_EQ(player.MinBtnSize(), (PlayerBar::Size{29, 20}));  // from the 27 glyphs of the resources
    struct Case {
        const char* name;
        TButtonSet visible;
        int width, height;  // given
        int buttonWidth, finalWidth, finalHeight;
    };
    const Case cases[] = {
        {"main window", kSeven, 197, 30, 29, 197, 30},
        {"editor", kAllButtons, 316, 37, 36, 316, 37},
        {"too small", kAllButtons, 100, 10, 29, 253, 20},
    };
    for (const auto& c : cases) {
        player.setVisibleButtons(c.visible);
        SetWindowPos(h(), nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(player.ButtonWidth(), c.buttonWidth) << c.name;
        EXPECT_EQ(size().right, c.finalWidth) << c.name;
        EXPECT_EQ(size().bottom, c.finalHeight) << c.name;
    }
    // Fewer buttons: the control narrows, keeping its place.
    player.setVisibleButtons({btPlay, btStop});
    EXPECT_EQ(size().right, 2 * 28 + 1);
    EXPECT_EQ(test::placeOf(h()).left, 20);
}

TEST_F(PlayerControl, DrawsTheGlyphKindTheEnabledSetsSay) {
    asMainWindow();
    struct Row {
        std::uint16_t enabled;
        const char* kinds;  // per shown button: C(oloured), D(isabled)
    };
    for (const Row& row : {Row{1, "CDDDDDD"}, Row{5, "CDCDDDD"}, Row{6, "DCCDDDD"}}) {
        player.setEnabledButtons(TButtonSet::fromBits(row.enabled));
        const auto shot = test::Pixels::printed(h());
        for (int b = btPlay; b <= btBack; ++b) {
            const char* kind = row.kinds[b] == 'C' ? "CL" : "DI";
            EXPECT_TRUE(showsGlyph(shot, kind, kBase[b], centre(TMPBtnType(b)), shot.height()))
                << "set " << row.enabled << ", button " << b << " should be " << kind;
        }
    }
    player.setColoredButtons({});
    EXPECT_TRUE(showsGlyph(test::Pixels::printed(h()), "EN", "MPPAUSE", centre(btPause), size().bottom));
    EnableWindow(h(), FALSE);
    const auto off = test::Pixels::printed(h());
    for (int b = btPlay; b <= btBack; ++b)
        EXPECT_TRUE(showsGlyph(off, "DI", kBase[b], centre(TMPBtnType(b)), off.height())) << "disabled, button " << b;
}

TEST_F(PlayerControl, OutlineAndBevelFollowThePress) {
    asMainWindow();
    player.setEnabledButtons({btPlay});
    const int x = player.buttonLeft(btPause), w = player.ButtonWidth(), hgt = size().bottom;
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME), face = GetSysColor(COLOR_BTNFACE),
                   shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    SetFocus(h());  // as the press does
    const auto raised = test::Pixels::printed(h());
    EXPECT_EQ(raised.at(0, 0), frame);
    EXPECT_EQ(raised.at(size().right - 1, hgt - 1), frame);
    EXPECT_EQ(raised.at(x, hgt / 2), frame);  // the border column Play and Pause share
    EXPECT_EQ(raised.at(x + 1, hgt / 2), light);
    EXPECT_EQ(raised.at(x + w / 2, 1), light);
    EXPECT_EQ(raised.at(x + w - 2, hgt / 2), shadow);
    EXPECT_EQ(raised.at(x + w / 2, hgt - 2), shadow);
    EXPECT_EQ(raised.at(x + 4, 4), face);

    mouse(WM_LBUTTONDOWN, centre(btPlay));
    ASSERT_TRUE(player.Down());
    const auto sunk = test::Pixels::printed(h());
    EXPECT_EQ(sunk.at(1, hgt / 2), shadow);
    EXPECT_EQ(sunk.at(w / 2, 1), shadow);
    EXPECT_EQ(sunk.at(w - 2, hgt / 2), face);
    EXPECT_TRUE(showsGlyph(sunk, "CL", "MPPLAY", centre(btPlay), hgt, 1));
    EXPECT_FALSE(showsGlyph(sunk, "CL", "MPPLAY", centre(btPlay), hgt, 0));
    mouse(WM_LBUTTONUP, centre(btPlay));
    EXPECT_EQ(test::Pixels::printed(h()).differenceFrom(raised), "") << "the button is not drawn raised again";
}

// How many more GDI objects this process may make now (each made and deleted again).
int gdiObjectsLeft() {
    std::vector<HPEN> pens;
    while (HPEN pen = CreatePen(PS_SOLID, 1, 0)) pens.push_back(pen);
    for (HPEN pen : pens) DeleteObject(pen);
    return static_cast<int>(pens.size());
}

// The program paints its player for months: every paint gives back each pen, DC and
// bitmap it makes (GetGuiResources counts nothing under Wine, so the room left is counted).
TEST_F(PlayerControl, PaintingGivesBackEveryGdiObjectItMakes) {
    asMainWindow();
    const int before = gdiObjectsLeft();
    for (int i = 0; i < 200; ++i) {
        player.setEnabledButtons(i % 2 != 0 ? TButtonSet{btPlay} : TButtonSet{btPause, btStop});
        RedrawWindow(h(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        test::Pixels::printed(h());
    }
    EXPECT_GE(gdiObjectsLeft(), before - 16) << "GDI objects kept by 400 paints";
}

TEST_F(PlayerControl, FocusRectangleMarksTheFocusedButtonWhileFocused) {
    asMainWindow();
    const int w = player.ButtonWidth();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    // Pixels of the focus rectangle's top edge that differ from the face.
    auto marked = [&](const test::Pixels& shot, TMPBtnType b) {
        int n = 0;
        for (int x = player.buttonLeft(b) + 3; x < player.buttonLeft(b) + w - 3; ++x) n += shot.at(x, 3) != face;
        return n;
    };
    SetFocus(h());
    if (GetFocus() != h()) GTEST_SKIP() << "Wine did not give the control the keyboard focus";
    SendMessageW(h(), WM_KEYDOWN, VK_RIGHT, 0);
    const auto focused = test::Pixels::printed(h());
    EXPECT_EQ(player.FocusedButton(), btPause);
    EXPECT_GT(marked(focused, btPause), 3);
    EXPECT_EQ(marked(focused, btPlay), 0);
    SetFocus(host.hwnd());
    EXPECT_EQ(marked(test::Pixels::printed(h()), btPause), 0);
}

// What reaches the screen (WM_PAINT through the off-screen buffer) is what the paint
// code draws.
TEST_F(PlayerControl, ScreenShowsWhatThePaintCodeDraws) {
    asMainWindow();
    player.setEnabledButtons({btPause, btStop});
    RedrawWindow(h(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(test::Pixels::onScreen(h()).differenceFrom(test::Pixels::printed(h())), "")
        << "the screen, against what the paint code draws";
}

struct MouseCase {
    const char* name;
    std::vector<std::pair<UINT, int>> events;  // message, x offset from Play's centre
    int clicks;
};

TEST_F(PlayerControl, MouseMessagesPressAndOnlyAReleaseOverTheButtonClicks) {
    asMainWindow();
    player.setEnabledButtons({btPlay});
    const MouseCase cases[] = {
        {"press, release", {{WM_LBUTTONDOWN, 0}, {WM_LBUTTONUP, 0}}, 1},
        {"press, leave, release", {{WM_LBUTTONDOWN, 0}, {WM_MOUSEMOVE, 60}, {WM_LBUTTONUP, 60}}, 0},
        {"press, leave, return, release", {{WM_LBUTTONDOWN, 0}, {WM_MOUSEMOVE, 60}, {WM_MOUSEMOVE, 2}, {WM_LBUTTONUP, 2}}, 1},
        {"left of the control, captured", {{WM_LBUTTONDOWN, 0}, {WM_MOUSEMOVE, -200}, {WM_LBUTTONUP, -200}}, 0},
        {"double click", {{WM_LBUTTONDOWN, 0}, {WM_LBUTTONUP, 0}, {WM_LBUTTONDBLCLK, 0}, {WM_LBUTTONUP, 0}}, 2},
        {"a disabled button", {{WM_LBUTTONDOWN, 28}, {WM_LBUTTONUP, 28}}, 0},
    };
    for (const auto& c : cases) {
        clicks.clear();
        for (const auto& [message, dx] : c.events) {
            mouse(message, centre(btPlay) + dx);
            if (message != WM_LBUTTONUP && player.Pressed()) {
                EXPECT_EQ(GetCapture(), h()) << c.name;
            }
        }
        EXPECT_EQ(static_cast<int>(clicks.size()), c.clicks) << c.name;
        EXPECT_FALSE(player.Pressed()) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
    }
    EXPECT_EQ(layer.count(Command::Play), 4);
}

// Another window that takes the mouse (a box that opens, a switch of windows) ends the
// press: a later release over the button runs no click.
TEST_F(PlayerControl, PressEndsWhenAnotherWindowTakesTheMouse) {
    asMainWindow();
    player.setEnabledButtons({btPlay});
    mouse(WM_LBUTTONDOWN, centre(btPlay));
    ASSERT_TRUE(player.Pressed());
    SetCapture(host.hwnd());
    EXPECT_FALSE(player.Pressed());
    ReleaseCapture();
    mouse(WM_LBUTTONUP, centre(btPlay));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(PlayerControl, ClickThatFailsShowsTheErrorBoxAndEndsThePress) {
    asMainWindow();
    player.setEnabledButtons({btPlay});
    onClick = [](TMPBtnType) { throw std::runtime_error("No MCI device open"); };
    bool pressedWhileShown = true;
    dialogs.whileErrorShown = [&] { pressedWhileShown = player.Pressed(); };
    mouse(WM_LBUTTONDOWN, centre(btPlay));
    mouse(WM_LBUTTONUP, centre(btPlay));
    EXPECT_EQ(dialogs.texts(test::ScriptedDialogs::Shown::Error), (std::vector<std::string>{"No MCI device open."}));
    EXPECT_FALSE(pressedWhileShown);
    EXPECT_FALSE(player.Pressed());
    EXPECT_EQ(layer.count(Command::Play), 0);
    mouse(WM_MOUSEMOVE, centre(btPlay));
    EXPECT_FALSE(player.Down());  // a later move over the button draws it raised

    onClick = [](TMPBtnType) { throw SilentAbort(); };  // declines quietly
    SendMessageW(h(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(clicks.size(), 2u);
}

// Keys come through the program's message loop, whose dialog handling would otherwise
// take the arrows for moving between controls.
TEST_F(PlayerControl, ArrowsAndSpaceReachTheBarThroughTheMessageLoop) {
    asMainWindow();
    player.setEnabledButtons(kAllButtons);
    EXPECT_EQ(SendMessageW(h(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
    SetFocus(h());
    auto key = [&](WPARAM vk) {
        PostMessageW(h(), WM_KEYDOWN, vk, 1);
        PostMessageW(h(), WM_KEYUP, vk, 0xC0000001);
        test::pumpMessages();
    };
    key(VK_LEFT);
    EXPECT_EQ(player.FocusedButton(), btPlay);
    for (int i = 0; i < 6; ++i) key(VK_RIGHT);
    EXPECT_EQ(player.FocusedButton(), btBack);
    key(VK_RIGHT);  // on to the hidden Eject, past the hidden Record
    EXPECT_EQ(player.FocusedButton(), btEject);
    key(VK_SPACE);  // the hidden button is enabled, so Space presses it
    EXPECT_EQ(clicks, (std::vector<TMPBtnType>{btEject}));
}

// The player as a screen reader sees it through Active Accessibility, asked in this
// process as Windows' screen readers ask from theirs.
class PlayerForScreenReaders : public PlayerControl {
protected:
    PlayerForScreenReaders() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~PlayerForScreenReaders() override { CoUninitialize(); }

    static IAccessible* accessibleOf(HWND window) {
        IAccessible* a = nullptr;
        EXPECT_EQ(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&a)),
                  S_OK);
        return a;
    }
    static VARIANT child(LONG id) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = id;
        return v;
    }
    static std::string text(IAccessible* a, LONG id, HRESULT (IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR b = nullptr;
        if ((a->*get)(child(id), &b) != S_OK || b == nullptr) return "";
        std::string out(b, b + SysStringLen(b));  // the names are ASCII
        SysFreeString(b);
        return out;
    }
    static LONG variantOf(IAccessible* a, LONG id, HRESULT (IAccessible::*get)(VARIANT, VARIANT*)) {
        VARIANT v;
        VariantInit(&v);
        EXPECT_EQ((a->*get)(child(id), &v), S_OK);
        return v.vt == VT_I4 ? v.lVal : -1;
    }
    // Per child: name, role, and U(navailable) / P(ressed) / - .
    static std::vector<std::string> children(IAccessible* a) {
        LONG n = 0;
        a->get_accChildCount(&n);
        std::vector<VARIANT> kids(static_cast<std::size_t>(n));
        LONG got = 0;
        EXPECT_EQ(AccessibleChildren(a, 0, n, kids.data(), &got), S_OK);
        std::vector<std::string> out;
        for (LONG i = 0; i < got; ++i) {
            EXPECT_EQ(kids[i].vt, VT_I4) << "buttons are simple elements";
            const LONG id = kids[i].lVal;
            const LONG state = variantOf(a, id, &IAccessible::get_accState);
            out.push_back(text(a, id, &IAccessible::get_accName) +
                          (variantOf(a, id, &IAccessible::get_accRole) == ROLE_SYSTEM_PUSHBUTTON ? "" : " (not a button)") +
                          ((state & STATE_SYSTEM_PRESSED) ? " P" : (state & STATE_SYSTEM_UNAVAILABLE) ? " U" : " -"));
        }
        return out;
    }
};

TEST_F(PlayerForScreenReaders, EachShownButtonIsAPushButtonNamedByItsFunctionWithItsState) {
    std::cout << "[   NOTE   ] Asked in this process. Not shown under Wine: a screen reader's calls from its own"
                 " process (through COM's marshalling), and what it then says.\n";
    asMainWindow();
    player.setHint(L"This is the player");
    IAccessible* a = accessibleOf(h());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(text(a, CHILDID_SELF, &IAccessible::get_accName), "Player");
    EXPECT_EQ(text(a, CHILDID_SELF, &IAccessible::get_accDescription), "This is the player");
    EXPECT_EQ(variantOf(a, CHILDID_SELF, &IAccessible::get_accRole), ROLE_SYSTEM_TOOLBAR);

    struct Row {
        TButtonSet enabled;
        std::vector<std::string> seen;
    };
    const Row rows[] = {
        {{btPlay}, {"Play -", "Pause U", "Stop U", "Next U", "Previous U", "Step U", "Back U"}},
        {{btPause, btStop}, {"Play U", "Pause -", "Stop -", "Next U", "Previous U", "Step U", "Back U"}},
    };
    for (const Row& row : rows) {
        player.setEnabledButtons(row.enabled);
        EXPECT_EQ(children(a), row.seen);
    }
    mouse(WM_LBUTTONDOWN, centre(btStop));
    EXPECT_EQ(children(a)[2], "Stop P");
    mouse(WM_LBUTTONUP, centre(btStop));
    EXPECT_EQ(children(a)[2], "Stop -");
    EnableWindow(h(), FALSE);
    EXPECT_EQ(children(a)[2], "Stop U");
    EnableWindow(h(), TRUE);

    // Where each button stands on the screen, and what stands at a point.
    RECT r{};
    GetWindowRect(h(), &r);
    LONG x = 0, y = 0, w = 0, hgt = 0;
    ASSERT_EQ(a->accLocation(&x, &y, &w, &hgt, child(3)), S_OK);
    EXPECT_EQ(x, r.left + player.buttonLeft(btStop));
    EXPECT_EQ(w, player.ButtonWidth());
    EXPECT_EQ(y, r.top);
    EXPECT_EQ(hgt, r.bottom - r.top);
    VARIANT at;
    ASSERT_EQ(a->accHitTest(r.left + centre(btStop), r.top + 5, &at), S_OK);
    EXPECT_EQ(at.lVal, 3);
    ASSERT_EQ(a->accNavigate(NAVDIR_LASTCHILD, child(CHILDID_SELF), &at), S_OK);
    EXPECT_EQ(at.lVal, 7);
    EXPECT_EQ(a->accNavigate(NAVDIR_NEXT, child(7), &at), S_FALSE);

    // Showing other buttons renumbers the children.
    player.setVisibleButtons({btStop, btEject});
    EXPECT_EQ(children(a), (std::vector<std::string>{"Stop -", "Eject U"}));
    a->Release();
}

TEST_F(PlayerForScreenReaders, DefaultActionPressesTheButtonAsTheKeyboardDoes) {
    asMainWindow();
    player.setEnabledButtons({btPlay});
    IAccessible* a = accessibleOf(h());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(text(a, 1, &IAccessible::get_accDefaultAction), "Press");
    EXPECT_EQ(text(a, 2, &IAccessible::get_accDefaultAction), "");
    EXPECT_EQ(a->accDoDefaultAction(child(2)), DISP_E_MEMBERNOTFOUND) << "Pause cannot be pressed";
    ASSERT_EQ(a->accDoDefaultAction(child(1)), S_OK);
    EXPECT_TRUE(clicks.empty()) << "the press waits for the message loop, not inside the client's call";
    test::pumpMessages();
    EXPECT_EQ(clicks, (std::vector<TMPBtnType>{btPlay}));
    EXPECT_EQ(layer.count(Command::Play), 1);
    EXPECT_EQ(player.FocusedButton(), btPlay);
    a->Release();
}

TEST_F(PlayerForScreenReaders, AClientThatOutlivesTheWindowIsToldItIsGone) {
    auto editorsPlayer = std::make_unique<TMediaPlayer>(layer, host.hwnd(), 101, RECT{20, 80, 336, 117});
    editorsPlayer->OnClick = player.OnClick;
    IAccessible* a = accessibleOf(editorsPlayer->hwnd());
    ASSERT_NE(a, nullptr);
    LONG n = 0;
    EXPECT_EQ(a->get_accChildCount(&n), S_OK);
    EXPECT_EQ(n, 9);
    EXPECT_EQ(a->accDoDefaultAction(child(9)), S_OK);  // Eject, posted before the window goes
    editorsPlayer.reset();
    test::pumpMessages();
    EXPECT_TRUE(clicks.empty());
    BSTR name = nullptr;
    VARIANT v;
    EXPECT_EQ(a->get_accChildCount(&n), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(a->get_accName(child(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(a->get_accState(child(CHILDID_SELF), &v), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(a->accDoDefaultAction(child(1)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(a->Release(), 0u) << "the client's reference was the last";
}

// What the control tells screen readers without being asked: the button the arrows
// move the focus to, and that the buttons' states changed.
std::vector<std::pair<DWORD, LONG>> g_events;

TEST_F(PlayerForScreenReaders, FocusMovesAndStateChangesAreAnnounced) {
    asMainWindow();
    g_events.clear();
    HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
            if (object == OBJID_CLIENT && child != CHILDID_SELF) g_events.emplace_back(event, child);
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    SetFocus(h());
    if (GetFocus() != h()) GTEST_SKIP() << "Wine did not give the control the keyboard focus";
    SendMessageW(h(), WM_KEYDOWN, VK_RIGHT, 0);
    player.setEnabledButtons({btPause});
    test::pumpMessages();
    UnhookWinEvent(hook);
    const std::vector<std::pair<DWORD, LONG>> focus{{EVENT_OBJECT_FOCUS, 1}, {EVENT_OBJECT_FOCUS, 2}};
    ASSERT_GE(g_events.size(), 2u + 7u);
    EXPECT_EQ(std::vector(g_events.begin(), g_events.begin() + 2), focus);
    EXPECT_EQ(std::count(g_events.begin(), g_events.end(), std::pair<DWORD, LONG>{EVENT_OBJECT_STATECHANGE, 7}), 1);
}

}  // namespace
