// The view, about and purchase windows under Wine: what they show, where, and how they
// close.
#include "core/presenters/window_texts.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/tform4.h"
#include "tests/front-ends/win32/win32_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tb;

namespace {

class SmallWindows : public ::testing::Test {
protected:
    static RECT client(HWND w) {
        RECT r{};
        GetClientRect(w, &r);
        return r;
    }
    static POINT centre(HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // A fixed window with only a close box, `onTop` or not.
    static void expectFixed(HWND w, bool onTop, const char* name) {
        const auto style = GetWindowLongPtrW(w, GWL_STYLE);
        EXPECT_TRUE((style & WS_SYSMENU) && !(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) << name;
        EXPECT_EQ((GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, onTop) << name;
    }
    static std::string text(HWND w) { return narrow(test::textOf(w)); }
    // The control's font: Tahoma at a height of the design (96 dpi), bold or not.
    static void expectTahoma(HWND control, const Scale& s, int height, bool bold, const char* name) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma") << name;
        EXPECT_EQ(font.lfHeight, -s(height)) << name;
        EXPECT_EQ(font.lfWeight >= FW_BOLD, bold) << name;
    }
    // Shows a window and waits (a bounded while) until the window manager has made it
    // active, and has done with what came before (a window hidden before hands the
    // activation on, late).
    static bool activate(HWND w) {
        ShowWindow(w, SW_SHOW);
        int steady = 0;
        for (int i = 0; i < 200 && steady < 10; ++i) {
            if (GetActiveWindow() != w) SetForegroundWindow(w);
            Sleep(20);
            test::pumpMessages();
            steady = GetActiveWindow() == w ? steady + 1 : 0;
        }
        return steady >= 10;
    }
    static void escape() {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
        test::pumpMessages();
    }

    test::HostWindow owner{600, 500};
};

TEST_F(SmallWindows, ViewListsThePathsItWasGivenAsTheyWere) {
    const std::vector<std::string> paths = {"C:\\bells\\rise.mp3", "", "D:\\音乐\\午饭.wav"};
    TForm4 view(owner.hwnd(), paths);
    TForm4 later(owner.hwnd(), {"C:\\bells\\other.mp3"});
    view.show();
    EXPECT_EQ(text(view.hwnd()), "Existing repertoire view");
    expectFixed(view.hwnd(), true, "view");
    const Scale& s = view.scale();
    EXPECT_EQ(client(view.hwnd()).right, s(445));
    EXPECT_EQ(client(view.hwnd()).bottom, s(421));
    EXPECT_EQ(test::placeOf(view.ListBox1).top, s(24));
    EXPECT_EQ(test::placeOf(view.ListBox1).bottom, s(421));
    EXPECT_EQ(text(view.Label1), "Existing repertoire");
    expectTahoma(view.Label1, s, 16, false, "view heading");
    expectTahoma(view.ListBox1, s, 12, false, "view list");
    const POINT a = centre(view.hwnd()), b = centre(owner.hwnd());
    EXPECT_LE(std::abs(a.x - b.x) + std::abs(a.y - b.y), 2);

    std::vector<std::string> rows;
    for (LRESULT i = 0; i < SendMessageW(view.ListBox1, LB_GETCOUNT, 0, 0); ++i) {
        std::wstring row(static_cast<std::size_t>(SendMessageW(view.ListBox1, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        row.resize(static_cast<std::size_t>(SendMessageW(view.ListBox1, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()))));
        rows.push_back(narrow(row));
    }
    EXPECT_EQ(rows, paths);
    EXPECT_EQ(SendMessageW(later.ListBox1, LB_GETCOUNT, 0, 0), 1);
}

TEST_F(SmallWindows, AboutShowsTheBuiltInDescriptionOnTheHighlightTextColour) {
    TForm5 about(owner.hwnd());
    about.show();
    EXPECT_EQ(text(about.hwnd()), "About software");
    expectFixed(about.hwnd(), true, "about");
    EXPECT_EQ(client(about.hwnd()).right, about.scale()(522));
    EXPECT_EQ(text(about.Label1), "Tollbrook");
    expectTahoma(about.Label1, about.scale(), 19, true, "about heading");
    expectTahoma(about.Memo1, about.scale(), 16, false, "about memo");
    std::string description;
    for (const char* c = window_texts::kAboutDescription; *c != '\0'; ++c) description += *c == '\n' ? "\r\n" : std::string(1, *c);
    EXPECT_EQ(text(about.Memo1), description);
    EXPECT_FALSE(GetWindowLongPtrW(about.Memo1, GWL_STYLE) & ES_READONLY);  // editable in place
    EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrW(about.hwnd(), GCLP_HBRBACKGROUND)),
              GetSysColorBrush(COLOR_HIGHLIGHTTEXT));
}

// The close box and Escape hide the view and about windows; they stay until the
// program ends.
TEST_F(SmallWindows, CloseBoxAndEscapeHideViewAndAbout) {
    TForm4 view(owner.hwnd(), {"C:\\a.wav"});
    TForm5 about(owner.hwnd());
    for (HWND w : {view.hwnd(), about.hwnd()}) {
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
        SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_FALSE(IsWindowVisible(w));
        ASSERT_TRUE(activate(w));
        ASSERT_TRUE(IsChild(w, GetFocus())) << "the window's first control has the focus";
        escape();
        EXPECT_FALSE(IsWindowVisible(w));
        EXPECT_TRUE(IsWindow(w));
    }
}

TEST_F(SmallWindows, PurchaseButtonHandsThePageToTheShellAndTheWindowStays) {
    TFormBuySourceCode buy(owner.hwnd());
    std::vector<std::pair<HWND, std::wstring>> opened;
    bool ownerDisabled = false;
    buy.openPage = [&](HWND parent, const std::wstring& address) {
        opened.emplace_back(parent, address);
        ownerDisabled = !IsWindowEnabled(owner.hwnd());
    };
    EXPECT_EQ(text(buy.hwnd()), "Buy Source Code");
    expectFixed(buy.hwnd(), false, "purchase");
    EXPECT_EQ(text(buy.Button1), "&Buy Source Code");
    EXPECT_EQ(test::placeOf(buy.Button1).left, buy.scale()(152));
    expectTahoma(buy.Button1, buy.scale(), 13, false, "purchase button");
    expectTahoma(buy.Memo1, buy.scale(), 16, false, "purchase note");
    EXPECT_EQ(text(buy.Memo1), "The source code of this program can be bought.\r\nUse the button below to go to its purchase page.");
    EXPECT_EQ(SendMessageW(buy.Memo1, EM_GETLINECOUNT, 0, 0), 2);

    // Modal: the button is pressed while it runs, then the close box ends it.
    PostMessageW(buy.Button1, BM_CLICK, 0, 0);
    PostMessageW(buy.hwnd(), WM_CLOSE, 0, 0);
    buy.ShowModal();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, owner.hwnd());
    EXPECT_EQ(opened[0].second, wide(window_texts::kPurchaseAddress));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(buy.hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const POINT c = centre(buy.hwnd());
    EXPECT_LE(std::abs(c.x - (monitor.rcWork.left + monitor.rcWork.right) / 2), 1);

    // The button leaves the window open; Escape closes it too.
    ASSERT_TRUE(activate(buy.hwnd()));
    SendMessageW(buy.Button1, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(buy.hwnd()));
    escape();
    EXPECT_FALSE(IsWindowVisible(buy.hwnd()));
}

}  // namespace
