// The view, about and purchase windows under Wine: what they show, where, and how they
// close.
#include "core/presenters/small_windows_design.h"
#include "core/presenters/window_texts.h"
#include "front-ends/win32/designed_window.h"
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
    // The window as its design says: caption, client size, and each control's place,
    // text and font (a centred heading keeps the centre of its place).
    static void expectDesigned(const FixedWindow& w, const design::Window& d) {
        const Scale& s = w.scale();
        EXPECT_EQ(text(w.hwnd()), std::string(d.caption));
        EXPECT_EQ(client(w.hwnd()).right, s(d.width)) << d.name;
        EXPECT_EQ(client(w.hwnd()).bottom, s(d.height)) << d.name;
        for (const design::Control& c : d.controls) {
            const std::string where = std::string(d.name) + " " + std::string(c.name);
            HWND control = GetDlgItem(w.hwnd(), designId(d, c));
            ASSERT_NE(control, nullptr) << where;
            const RECT r = test::placeOf(control);
            EXPECT_EQ(r.top, s(c.rect.y)) << where;
            EXPECT_LE(std::abs((r.left + r.right) - (s(c.rect.x) * 2 + s(c.rect.width))), 2) << where;
            if (c.kind != design::Kind::Label) {
                EXPECT_EQ(r.left, s(c.rect.x)) << where;
            }
            EXPECT_EQ(r.bottom, s(c.rect.y) + s(c.rect.height)) << where;
            std::string expected;
            for (char ch : c.text) expected += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
            EXPECT_EQ(text(control), expected) << where;
            const design::Font& f = c.font ? *c.font : d.font;
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma") << where;
            EXPECT_EQ(font.lfHeight, -s(f.pixels)) << where;
            EXPECT_EQ(font.lfWeight >= FW_BOLD, f.bold) << where;
            if (c.kind == design::Kind::Memo) {
                EXPECT_EQ((GetWindowLongPtrW(control, GWL_STYLE) & ES_READONLY) != 0, c.readOnly) << where;
            }
        }
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
    expectFixed(view.hwnd(), true, "view");
    expectDesigned(view, design::viewWindow());
    const POINT a = centre(view.hwnd()), b = centre(owner.hwnd());
    EXPECT_LE(std::abs(a.x - b.x) + std::abs(a.y - b.y), 2);

    std::vector<std::string> rows;
    for (LRESULT i = 0; i < SendMessageW(view.controls().ListBox1, LB_GETCOUNT, 0, 0); ++i) {
        std::wstring row(static_cast<std::size_t>(SendMessageW(view.controls().ListBox1, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        row.resize(static_cast<std::size_t>(SendMessageW(view.controls().ListBox1, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()))));
        rows.push_back(narrow(row));
    }
    EXPECT_EQ(rows, paths);
    EXPECT_EQ(SendMessageW(later.controls().ListBox1, LB_GETCOUNT, 0, 0), 1);
}

TEST_F(SmallWindows, AboutShowsTheBuiltInDescriptionOnTheHighlightTextColour) {
    TForm5 about(owner.hwnd());
    about.show();
    expectFixed(about.hwnd(), true, "about");
    expectDesigned(about, design::aboutWindow());
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
    expectFixed(buy.hwnd(), false, "purchase");
    expectDesigned(buy, design::purchaseWindow());
    EXPECT_EQ(SendMessageW(buy.controls().Memo1, EM_GETLINECOUNT, 0, 0), 2);

    // Modal: the button is pressed while it runs, then the close box ends it.
    PostMessageW(buy.controls().Button1, BM_CLICK, 0, 0);
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
    SendMessageW(buy.controls().Button1, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(buy.hwnd()));
    escape();
    EXPECT_FALSE(IsWindowVisible(buy.hwnd()));
}

}  // namespace
