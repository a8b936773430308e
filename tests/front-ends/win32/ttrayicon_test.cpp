// The tray icon over a stand-in for the shell, whose answers the tests choose: what the
// shell is told, where the owner window goes, what the icon's events do.
#include "front-ends/win32/ttrayicon.h"
#include "front-ends/win32/window.h"
#include "tests/front-ends/win32/win32_test.h"

#include <gtest/gtest.h>

using namespace tb;
using namespace tb::test;
using namespace std::chrono_literals;

namespace {

class FakeShell {
public:
    struct Call {
        DWORD message;
        NOTIFYICONDATAW data;
    };
    bool accepts = true;
    std::vector<Call> calls;

    NotifyIconCall call() {
        return [this](DWORD message, NOTIFYICONDATAW& data) {
            calls.push_back({message, data});
            return message == NIM_ADD ? accepts : true;
        };
    }
    std::vector<DWORD> messages() const {
        std::vector<DWORD> out;
        for (const auto& c : calls) out.push_back(c.message);
        return out;
    }
};

class Owner final : public Window {
public:
    Owner() {
        create({L"TollbrookTrayOwner"}, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, L"Tray owner",
               nullptr, 100, 100, 300, 200);
        ShowWindow(hwnd(), SW_SHOW);
        SetForegroundWindow(hwnd());
    }
    std::vector<UINT> commands;

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
        return Window::handle(message, wParam, lParam);
    }
};

class Tray : public ::testing::Test {
protected:
    std::unique_ptr<TTrayIcon> icon(bool visible = true) {
        auto made = std::make_unique<TTrayIcon>(owner.hwnd(), shell.call());
        made->setHint("TollbrookV1.01");
        made->setIcon(picture);
        made->MinimizeToTray = true;
        made->setIconVisible(visible);
        return made;
    }
    void event(const TTrayIcon& icon, UINT mouse) {
        SendMessageW(icon.Handle(), TTrayIcon::kCallbackMessage, icon.id(), mouse);
    }
    enum class Seen { Shown, InTray, Minimized };
    Seen state() const {
        if (!IsWindowVisible(owner.hwnd())) return Seen::InTray;
        return IsIconic(owner.hwnd()) ? Seen::Minimized : Seen::Shown;
    }
    static void settle() { pumpFor(150ms); }

    FakeShell shell;
    Owner owner;
    HICON picture = LoadIconW(nullptr, IDI_INFORMATION);
};

TEST_F(Tray, IconGoesInWithItsPictureTooltipAndCallbackAndLeavesAtTheEnd) {
    auto tray = icon();
    HWND shared = tray->Handle();
    ASSERT_EQ(shell.messages(), std::vector<DWORD>{NIM_ADD});
    const NOTIFYICONDATAW& added = shell.calls[0].data;
    EXPECT_EQ(added.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(added.hWnd, shared);
    EXPECT_EQ(added.uID, tray->id());
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(added.uCallbackMessage, 2048u);
    EXPECT_EQ(added.hIcon, picture);
    EXPECT_STREQ(added.szTip, L"TollbrookV1.01");
    EXPECT_TRUE(tray->inNotificationArea());
    // The shared window is hidden and outlives no icon.
    EXPECT_TRUE(IsWindow(shared));
    EXPECT_FALSE(IsWindowVisible(shared));
    tray.reset();
    EXPECT_EQ(shell.messages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
    EXPECT_FALSE(IsWindow(shared));
}

struct TipCase {
    const char* name;
    std::string hint;
    bool showHint;
    std::wstring tip;
};

TEST_F(Tray, TooltipIsTheHintCutTo127CharactersOrNone) {
    const std::vector<TipCase> cases = {
        {"long", std::string(130, 'a'), true, std::wstring(127, L'a')},
        {"chinese", "\xE9\x93\x83\xE5\xA3\xB0", true, L"\u94C3\u58F0"},
        {"empty", "", true, L""},
        {"hints off", "TollbrookV1.01", false, L""},
    };
    auto tray = icon();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        shell.calls.clear();
        tray->setShowHint(c.showHint);
        tray->setHint(c.hint);
        ASSERT_FALSE(shell.calls.empty());
        EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(std::wstring(shell.calls.back().data.szTip), c.tip);
        tray->setShowHint(true);
    }
}

TEST_F(Tray, DoubleClickRaisesOnDblClickOnceAndOnlyWhenEnabled) {
    auto tray = icon();
    int raised = 0;
    tray->OnDblClick = [&] { ++raised; };
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) event(*tray, mouse);
    EXPECT_EQ(raised, 1);
    for (UINT mouse : {WM_RBUTTONDBLCLK, WM_MOUSEMOVE, WM_MBUTTONDOWN}) event(*tray, mouse);
    EXPECT_EQ(raised, 1);
    tray->Enabled = false;
    event(*tray, WM_LBUTTONDBLCLK);
    EXPECT_EQ(raised, 1);
}

struct Step {
    const char* what;
    std::function<void(TTrayIcon&, HWND owner)> act;
    int inArea;   // Seen, with the icon in the notification area
    int noArea;   // Seen, with no notification area
};

// Where the window goes, with a notification area and without one (where it is never
// hidden, so that it can always be found again on the taskbar).
TEST_F(Tray, WindowGoesToTheTrayAndComesBackOnlyWhereThereIsOne) {
    const auto minimize = [](TTrayIcon&, HWND window) { ShowWindow(window, SW_MINIMIZE); };
    const auto show = [](TTrayIcon& t, HWND) { t.ShowMainForm(); };
    const auto hide = [](TTrayIcon& t, HWND) { t.HideMainForm(); };
    constexpr int shown = 0, inTray = 1, minimized = 2;
    const std::vector<Step> steps = {
        {"minimize", minimize, inTray, minimized},
        {"show", show, shown, shown},
        {"hide", hide, inTray, minimized},
        {"show again", show, shown, shown},
        {"show when shown", show, shown, shown},
        {"minimize, then hide", [&](TTrayIcon& t, HWND window) {
             minimize(t, window);
             t.HideMainForm();
         }, inTray, minimized},
        {"show after both", show, shown, shown},
    };
    for (const bool area : {true, false}) {
        SCOPED_TRACE(area ? "in the notification area" : "no notification area");
        shell.accepts = area;
        auto tray = icon();
        EXPECT_EQ(tray->inNotificationArea(), area);
        for (const auto& step : steps) {
            SCOPED_TRACE(step.what);
            step.act(*tray, owner.hwnd());
            settle();
            EXPECT_EQ(static_cast<int>(state()), area ? step.inArea : step.noArea);
            if (state() == Seen::Shown) {
                EXPECT_EQ(GetForegroundWindow(), owner.hwnd());
            }
        }
    }
}

// No taskbar yet at start (a program started at logon): the first add is refused and
// the icon comes in when the shell announces its taskbar; from then on minimizing hides.
TEST_F(Tray, IconComesBackWhenTheShellMakesItsTaskbar) {
    shell.accepts = false;
    auto tray = icon();
    ShowWindow(owner.hwnd(), SW_MINIMIZE);
    settle();
    EXPECT_EQ(state(), Seen::Minimized);
    tray->ShowMainForm();

    shell.accepts = true;
    shell.calls.clear();
    SendMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(shell.messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_STREQ(shell.calls[0].data.szTip, L"TollbrookV1.01");
    EXPECT_TRUE(tray->inNotificationArea());
    ShowWindow(owner.hwnd(), SW_MINIMIZE);
    settle();
    EXPECT_EQ(state(), Seen::InTray);

    // A restarted shell has lost the icon: it is added again, with the same picture.
    shell.calls.clear();
    SendMessageW(tray->Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_EQ(shell.messages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(shell.calls[0].data.hIcon, picture);

    // An icon that is not to be shown stays out.
    tray->setIconVisible(false);
    shell.calls.clear();
    SendMessageW(tray->Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(shell.calls.empty());
}

struct MenuCase {
    const char* name;
    std::vector<WPARAM> keys;
    std::vector<UINT> commands;  // what reaches the owner
};

// A right-button press opens the menu at the cursor; a choice reaches the owner as its
// command, a menu closed without one sends nothing.
TEST_F(Tray, RightPressOpensTheMenuAtTheCursorAndTheChoiceReachesTheOwner) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 101, L"Restore window");
    AppendMenuW(menu, MF_STRING, 102, L"Auto run");
    auto tray = icon();
    tray->setPopupMenu(menu);
    const std::vector<MenuCase> cases = {
        {"second item", {VK_DOWN, VK_DOWN, VK_RETURN}, {102}},
        {"closed", {VK_ESCAPE}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        owner.commands.clear();
        SetCursorPos(400, 300);
        RECT shownAt{};
        WhenShown choose([] { return shownWindow(L"#32768"); },
                         [&](HWND popup) {
                             GetWindowRect(popup, &shownAt);
                             for (WPARAM key : c.keys) PostMessageW(popup, WM_KEYDOWN, key, 0);
                         });
        event(*tray, WM_RBUTTONDOWN);
        EXPECT_TRUE(choose.done());
        EXPECT_LE(std::abs(shownAt.left - 400) + std::abs(shownAt.top - 300), 4) << "not at the cursor";
        settle();
        EXPECT_EQ(owner.commands, c.commands);
    }
    tray->Enabled = false;
    WhenShown none([] { return shownWindow(L"#32768"); }, [](HWND) { EndMenu(); });
    event(*tray, WM_RBUTTONDOWN);
    EXPECT_FALSE(none.done());
    tray.reset();
    DestroyMenu(menu);
}

}  // namespace
