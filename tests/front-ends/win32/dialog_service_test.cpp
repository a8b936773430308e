// The dialogs as Windows shows them, answered from inside their own message loops.
#include "core/application.h"
#include "core/handler.h"
#include "front-ends/win32/dialog_service.h"
#include "front-ends/win32/error_box.h"
#include "front-ends/win32/text.h"
#include "tests/front-ends/win32/win32_test.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace tb;
using namespace tb::test;
using namespace std::chrono_literals;

namespace {

// The static control of a message box that holds its text.
std::wstring messageText(HWND box) {
    for (HWND s : children(box, L"Static")) {
        if (!windowText(s).empty()) return windowText(s);
    }
    return {};
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        app.setTitle("Tollbrook");
        setErrorBoxApplication(&app);
        previous = setDialogs(&service);
        // A window of the program that a modal box must disable and an ownerless one not.
        other = CreateWindowExW(0, L"STATIC", L"Other window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(other);
        setDialogs(previous);
        setErrorBoxApplication(nullptr);
        setErrorBoxClock({});
    }

    TApplication app;
    Win32DialogService service;
    DialogService* previous = nullptr;
    HWND other = nullptr;
};

struct BoxCase {
    const char* name;
    std::function<int(DialogService&)> ask;  // what it answered: 1 yes, 0 no, -1 nothing
    const wchar_t* caption;
    std::wstring text;
    bool question;  // the question icon
    int press;      // the button pressed
    int answer;
    bool ownsTheProgram;  // the program's other windows wait for it
};

// The exit questions and the editor's boxes: their texts, icons, buttons, answers,
// and which of them leave the program's windows usable.
TEST_F(Dialogs, MessageBoxesShowTheirTextsAndGiveTheAnswer) {
    const std::vector<BoxCase> cases = {
        {"exit, Yes", [](DialogService& d) { return d.askYesNo("Do you really want to exit\uFF1F", "Exit system\uFF1F") ? 1 : 0; },
         L"Exit system\uFF1F", L"Do you really want to exit\uFF1F", true, IDYES, 1, false},
        {"exit, No", [](DialogService& d) { return d.askYesNo("Are you sure you want to quit?", "exit\uFF1F") ? 1 : 0; },
         L"exit\uFF1F", L"Are you sure you want to quit?", true, IDNO, 0, false},
        {"no repertoire", [](DialogService& d) { d.askOk("You have no choice of repertoire!", "Close"); return -1; },
         L"Close", L"You have no choice of repertoire!", true, IDOK, -1, false},
        {"message", [](DialogService& d) { d.message("Update success!", "Tollbrook"); return -1; },
         L"Tollbrook", L"Update success!", false, IDOK, -1, true},
        {"confirm, Yes", [](DialogService& d) { return d.confirm("Do you have the changes you made before you quit?", "Confirm") ? 1 : 0; },
         L"Confirm", L"Do you have the changes you made before you quit?", true, IDYES, 1, true},
        {"confirm, No", [](DialogService& d) { return d.confirm("Quit?", "Confirm") ? 1 : 0; },
         L"Confirm", L"Quit?", true, IDNO, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetForegroundWindow(other);
        SetActiveWindow(other);
        bool seen = false;
        WhenShown answer([&] { return shownWindow(L"#32770", c.caption); },
                         [&](HWND box) {
                             seen = true;
                             EXPECT_EQ(messageText(box), c.text);
                             EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
                             EXPECT_EQ(IsWindowEnabled(other) == FALSE, c.ownsTheProgram);
                             const auto statics = children(box, L"Static");
                             const bool questionIcon = std::any_of(statics.begin(), statics.end(), [](HWND s) {
                                 return reinterpret_cast<HICON>(SendMessageW(s, STM_GETICON, 0, 0)) ==
                                        LoadIconW(nullptr, IDI_QUESTION);
                             });
                             EXPECT_EQ(questionIcon, c.question);
                             if (c.press == IDYES) {
                                 EXPECT_EQ(windowText(GetDlgItem(box, IDYES)), L"&Yes");
                                 EXPECT_EQ(windowText(GetDlgItem(box, IDNO)), L"&No");
                             }
                             EXPECT_NE(GetDlgItem(box, c.press), nullptr);
                             SendMessageW(box, WM_COMMAND, MAKEWPARAM(c.press, BN_CLICKED),
                                          reinterpret_cast<LPARAM>(GetDlgItem(box, c.press)));
                         });
        EXPECT_EQ(c.ask(service), c.answer);
        EXPECT_TRUE(seen);
        EXPECT_TRUE(IsWindowEnabled(other));
        EXPECT_EQ(GetActiveWindow(), other) << "the keys go back to the window that was active";
    }
}

// A failure that repeats while its box is open is counted in it: the text changes and
// the box grows to hold it. The box keeps every other window of the program waiting.
TEST_F(Dialogs, ErrorBoxTextFollowsARepeatedFailureAndTheBoxFitsIt) {
    setErrorBoxClock([] { return std::string("8:00:00"); });
    const std::wstring first = L"The file cannot be found: C:\\Bells\\\u94C3\u58F0.wav.";
    bool seen = false;
    WhenShown answer([] { return shownWindow(L"TollbrookErrorBox"); },
                     [&](HWND box) {
                         seen = true;
                         HWND text = GetDlgItem(box, ErrorBoxWindow::kTextId);
                         EXPECT_EQ(windowText(box), L"Tollbrook");
                         EXPECT_EQ(windowText(text), first);
                         EXPECT_FALSE(IsWindowEnabled(other));
                         EXPECT_EQ(GetForegroundWindow(), box);
                         RECT before{}, textBefore{};
                         GetWindowRect(box, &before);
                         GetClientRect(text, &textBefore);

                         for (int i = 0; i < 2; ++i) {
                             runHandler([] { throw std::runtime_error("The file cannot be found: C:\\Bells\\\xE9\x93\x83\xE5\xA3\xB0.wav"); });
                         }
                         EXPECT_EQ(openErrorBoxes(), 1u) << "a repeat opened another box";
                         EXPECT_EQ(windowText(text), first + L"\n\n(3 times since 8:00:00)");
                         RECT after{}, textAfter{};
                         GetWindowRect(box, &after);
                         GetClientRect(text, &textAfter);
                         EXPECT_GT(textAfter.bottom, textBefore.bottom * 2) << "the text's lines do not fit";
                         EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
                         // It grew about its centre.
                         EXPECT_NEAR((after.top + after.bottom) / 2, (before.top + before.bottom) / 2, 2);
                         // Its OK button stays below the text.
                         RECT ok{};
                         GetWindowRect(GetDlgItem(box, IDOK), &ok);
                         MapWindowPoints(text, nullptr, reinterpret_cast<POINT*>(&textAfter), 2);
                         EXPECT_GE(ok.top, textAfter.bottom);
                         EXPECT_LE(ok.bottom, after.bottom);
                         SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                     });
    runHandler([] { throw std::runtime_error("The file cannot be found: C:\\Bells\\\xE9\x93\x83\xE5\xA3\xB0.wav"); });
    EXPECT_TRUE(seen);
    EXPECT_EQ(openErrorBoxes(), 0u);
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(shownWindow(L"TollbrookErrorBox"), nullptr);
}

TEST_F(Dialogs, ErrorBoxAnswersToEscapeAndClose) {
    for (const UINT how : {0u, 1u}) {
        WhenShown answer([] { return shownWindow(L"TollbrookErrorBox"); },
                         [&](HWND box) {
                             if (how == 0) SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
                             else SendMessageW(box, WM_CLOSE, 0, 0);
                         });
        runHandler([] { throw std::runtime_error("No MCI device open"); });
        EXPECT_TRUE(answer.done());
    }
}

// The application ends while the box is open (the main window's close box): the box
// goes, and the end reaches the loop outside it.
TEST_F(Dialogs, ErrorBoxEndsWithTheApplication) {
    WhenShown end([] { return shownWindow(L"TollbrookErrorBox"); }, [](HWND) { PostQuitMessage(0); });
    runHandler([] { throw std::runtime_error("Gone"); });
    EXPECT_TRUE(end.done());
    MSG msg{};
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the end did not reach the outer loop";
}

struct FileCase {
    const char* name;
    std::string file;  // UTF-8, in the test's folder
    bool exists;
};

// The open dialog lists the music filters in order with the first selected, can be
// resized, shows no read-only box, and gives back the typed path as UTF-8, whether the
// file exists or not; the current folder stays where it was.
TEST_F(Dialogs, OpenDialogShowsTheFiltersAndGivesTheChosenPath) {
    TempDir dir;
    const std::vector<FileCase> cases = {
        {"existing", "\xE9\x93\x83 morning bell.wav", true},
        {"typed, missing", "later.mp3", false},
    };
    const std::filesystem::path before = std::filesystem::current_path();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path path = dir.path() / std::filesystem::u8path(c.file);
        if (c.exists) std::ofstream(path) << "RIFF";
        std::vector<std::wstring> filters;
        LRESULT selected = -1;
        LONG_PTR style = 0;
        bool readOnlyShown = true;
        WhenShown choose([] { return shownWindow(L"#32770"); },
                         [&](HWND dialog) {
                             HWND types = GetDlgItem(dialog, cmb1);
                             const auto n = SendMessageW(types, CB_GETCOUNT, 0, 0);
                             for (LRESULT i = 0; i < n; ++i) {
                                 std::wstring item(static_cast<std::size_t>(SendMessageW(types, CB_GETLBTEXTLEN, i, 0)), L'\0');
                                 SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
                                 filters.push_back(item);
                             }
                             selected = SendMessageW(types, CB_GETCURSEL, 0, 0);
                             style = GetWindowLongPtrW(dialog, GWL_STYLE);
                             HWND readOnly = GetDlgItem(dialog, chx1);
                             readOnlyShown = readOnly != nullptr && IsWindowVisible(readOnly);
                             HWND name = GetDlgItem(dialog, edt1);
                             if (name == nullptr) name = GetDlgItem(dialog, cmb13);
                             SetWindowTextW(name, path.wstring().c_str());
                             PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                         });
        const auto chosen = service.openFile({musicFileFilters()});
        ASSERT_TRUE(choose.done());
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(std::filesystem::u8path(*chosen), path);
        EXPECT_EQ(filters, (std::vector<std::wstring>{L"mp3\u591A\u5A92\u4F53\u6587\u4EF6", L"mid\u591A\u5A92\u4F53\u6587\u4EF6",
                                                      L"midi\u591A\u5A92\u4F53\u6587\u4EF6", L"rmi\u591A\u5A92\u4F53\u6587\u4EF6",
                                                      L"wav\u591A\u5A92\u4F53\u6587\u4EF6", L"mp2\u591A\u5A92\u4F53\u6587\u4EF6",
                                                      L"\u6240\u6709\u6587\u4EF6"}));
        EXPECT_EQ(selected, 0);
        EXPECT_TRUE(style & WS_THICKFRAME) << "not resizable";
        EXPECT_FALSE(readOnlyShown);
        EXPECT_EQ(std::filesystem::current_path(), before);
    }
}

TEST_F(Dialogs, OpenDialogCancelledGivesNothing) {
    WhenShown cancel([] { return shownWindow(L"#32770"); },
                     [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(service.openFile({musicFileFilters()}).has_value());
    EXPECT_TRUE(cancel.done());
}

}  // namespace
