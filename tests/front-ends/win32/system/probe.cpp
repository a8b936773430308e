// tb_win32_probe: what the system tests see and do inside Wine, from outside the
// program under test. Prints JSON.
//   tb_win32_probe [--desktop NAME] COMMAND ...
//     windows [TITLE]          top-level windows; with TITLE, those with exactly that
//                              title, with their controls and menu bar
//     menus                    the popup menus open now, with their items
//     tray                     the icons in the shell's notification area
//     taskbar-created          broadcasts "TaskbarCreated" as a restarted shell does
//     tray-callbacks TITLE SECONDS
//                              the notification area's callbacks that reach the thread
//                              of the window TITLE meanwhile: the icons' windows and ids
//     tray-delete WINDOW ID    takes an icon out of the notification area, as a
//                              restarted shell has lost it
//     locale                   the user's regional settings and ANSI code page
//     run EXE                  starts EXE (on the desktop), prints its process id and,
//                              when it has ended, its exit code
//     kill PID                 ends a process
//     hold                     stays on the desktop until it is ended: Wine closes a
//                              desktop when the last process on it has ended
// --desktop: the Wine desktop (`wine explorer /desktop=NAME,...`) to act on.
#include "tests/front-ends/win32/system/probe_json.h"
#include "tests/front-ends/win32/system/probe_protocol.h"
#include "tests/front-ends/win32/system/probe_read.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

using namespace tb::probe;

namespace {

BOOL CALLBACK collectWindow(HWND window, LPARAM into) {
    reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
    return TRUE;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string windows(const wchar_t* title) {
    std::vector<std::string> out;
    for (const HWND window : topLevelWindows()) {
        const std::wstring text = windowText(window);
        if (title == nullptr ? !text.empty() : text == title)
            out.push_back(title == nullptr ? summarizeWindow(window) : describeWindow(window));
    }
    return array(out);
}

std::string openMenus() {
    std::vector<std::string> out;
    for (const HWND window : topLevelWindows()) {
        if (className(window) != L"#32768" || !IsWindowVisible(window)) continue;
        const auto menu = reinterpret_cast<HMENU>(send(window, MN_GETHMENU));
        RECT place{};
        GetWindowRect(window, &place);
        Object o;
        o.add("handle", handle(window)).add("rect", rect(place)).add("items", menuOf(window, menu));
        out.push_back(o.str());
    }
    return array(out);
}

// What a restarted shell sends every top-level window of its desktop.
std::string taskbarCreated() {
    DWORD_PTR ignored = 0;
    const bool sent = SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                                          SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
    return Object().add("sent", boolean(sent)).str();
}

// The notification area's callbacks that reach the thread of a window during `seconds`
// (while the test works the mouse over the icon). Prints a line when it listens.
std::string trayCallbacks(const wchar_t* title, DWORD seconds) {
    HWND window = nullptr;
    for (const HWND candidate : topLevelWindows())
        if (windowText(candidate) == title) window = candidate;
    if (window == nullptr) return "null";
    const HANDLE mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Callbacks), kCallbacksMapping);
    auto* log = static_cast<Callbacks*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Callbacks)));
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const Hook posted = hookLibrary("probePostedCallbackHook");
    const Hook sent = hookLibrary("probeSentCallbackHook");
    if (log == nullptr || posted.procedure == nullptr || sent.procedure == nullptr) return "null";
    const HHOOK hooks[] = {SetWindowsHookExW(WH_GETMESSAGE, posted.procedure, posted.module, thread),
                           SetWindowsHookExW(WH_CALLWNDPROC, sent.procedure, sent.module, thread)};
    std::printf("%s\n", Object().add("listening", boolean(hooks[0] != nullptr && hooks[1] != nullptr)).str().c_str());
    std::fflush(stdout);
    Sleep(seconds * 1000);
    for (const HHOOK hook : hooks)
        if (hook != nullptr) UnhookWindowsHookEx(hook);
    std::vector<std::string> calls;
    for (LONG i = 0; i < log->count && i < 64; ++i) {
        const Callback& call = log->calls[i];
        Object o;
        o.add("window", num(static_cast<long long>(call.window)))
            .add("message", num(call.message))
            .add("wParam", num(static_cast<long long>(call.wParam)))
            .add("lParam", num(call.lParam));
        calls.push_back(o.str());
    }
    UnmapViewOfFile(log);
    CloseHandle(mapping);
    return array(calls);
}

std::string trayDelete(const wchar_t* window, const wchar_t* id) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(window, nullptr, 0)));
    icon.uID = static_cast<UINT>(std::wcstoul(id, nullptr, 0));
    return Object().add("deleted", boolean(Shell_NotifyIconW(NIM_DELETE, &icon))).str();
}

std::string locale() {
    const auto info = [](LCTYPE type) {
        wchar_t text[128] = {};
        return GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, 128) > 0 ? str(text) : std::string("null");
    };
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    Object o;
    o.add("name", str(name))
        .add("iTime", info(LOCALE_ITIME))
        .add("iTLZero", info(LOCALE_ITLZERO))
        .add("iTimeMarkPosn", info(LOCALE_ITIMEMARKPOSN))
        .add("s1159", info(LOCALE_S1159))
        .add("s2359", info(LOCALE_S2359))
        .add("sTime", info(LOCALE_STIME))
        .add("ansiCodePage", num(GetACP()));
    return o.str();
}

int run(wchar_t* desktop, const wchar_t* program) {
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.lpDesktop = desktop;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\"";
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process)) {
        std::printf("%s\n", Object().add("error", num(GetLastError())).str().c_str());
        return 1;
    }
    std::printf("%s\n", Object().add("pid", num(process.dwProcessId)).str().c_str());
    std::fflush(stdout);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("%s\n", Object().add("exit", num(code)).str().c_str());
    return 0;
}

int usage() {
    std::fprintf(stderr, "usage: tb_win32_probe [--desktop NAME] windows [TITLE] | menus | tray | "
                         "taskbar-created | tray-callbacks TITLE SECONDS | tray-delete WINDOW ID | locale | run EXE | kill PID\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int next = 1;
    wchar_t* desktopName = nullptr;
    if (argc > 2 && std::wcscmp(argv[1], L"--desktop") == 0) {
        desktopName = argv[2];
        next = 3;
        // Windows, the shell and broadcasts of that desktop only reach a thread on it.
        const HDESK desktop = OpenDesktopW(desktopName, 0, FALSE, GENERIC_ALL);
        if (desktop == nullptr || !SetThreadDesktop(desktop)) {
            std::fprintf(stderr, "no desktop %ls\n", desktopName);
            return 1;
        }
    }
    if (next >= argc) return usage();
    const std::wstring command = argv[next];
    const wchar_t* argument = next + 1 < argc ? argv[next + 1] : nullptr;
    std::string out;
    if (command == L"windows") out = windows(argument);
    else if (command == L"menus") out = openMenus();
    else if (command == L"tray") out = trayIcons();
    else if (command == L"taskbar-created") out = taskbarCreated();
    else if (command == L"tray-callbacks" && next + 2 < argc) out = trayCallbacks(argument, std::wcstoul(argv[next + 2], nullptr, 10));
    else if (command == L"tray-delete" && next + 2 < argc) out = trayDelete(argument, argv[next + 2]);
    else if (command == L"locale") out = locale();
    else if (command == L"run" && argument != nullptr) return run(desktopName, argument);
    else if (command == L"hold") {
        std::printf("%s\n", Object().add("holding", boolean(true)).str().c_str());
        std::fflush(stdout);
        Sleep(INFINITE);
    }
    else if (command == L"kill" && argument != nullptr) {
        const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, std::wcstoul(argument, nullptr, 10));
        out = Object().add("killed", boolean(process != nullptr && TerminateProcess(process, 1))).str();
        if (process != nullptr) CloseHandle(process);
    } else return usage();
    std::printf("%s\n", out.c_str());
    return 0;
}
