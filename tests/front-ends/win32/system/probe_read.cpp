#include "tests/front-ends/win32/system/probe_read.h"

#include "tests/front-ends/win32/system/probe_json.h"
#include "tests/front-ends/win32/system/probe_protocol.h"

#include <commctrl.h>

#include <vector>

namespace tb::probe {

RemoteBuffer::RemoteBuffer(HWND window, SIZE_T size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ != nullptr) memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
    if (memory_ != nullptr) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
}

bool RemoteBuffer::write(SIZE_T offset, const void* data, SIZE_T size) const {
    return ok() && WriteProcessMemory(process_, static_cast<char*>(memory_) + offset, data, size, nullptr);
}

bool RemoteBuffer::read(SIZE_T offset, void* data, SIZE_T size) const {
    return ok() && ReadProcessMemory(process_, static_cast<char*>(memory_) + offset, data, size, nullptr);
}

std::wstring RemoteBuffer::text(SIZE_T offset, SIZE_T maxChars) const {
    std::wstring out(maxChars, L'\0');
    if (!read(offset, out.data(), maxChars * sizeof(wchar_t))) return {};
    out.resize(wcsnlen(out.c_str(), maxChars));
    return out;
}

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, 5000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

std::wstring className(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::wstring windowText(HWND window) {
    const auto length = send(window, WM_GETTEXTLENGTH);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

namespace {

bool classIs(HWND window, const wchar_t* name) { return lstrcmpiW(className(window).c_str(), name) == 0; }

void listBox(HWND box, Object& o) {
    std::vector<std::string> rows;
    const auto count = send(box, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring row(static_cast<std::size_t>(send(box, LB_GETTEXTLEN, i)) + 1, L'\0');
        const auto n = send(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()));
        row.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        rows.push_back(str(row));
    }
    o.add("rows", array(rows))
        .add("selected", num(send(box, LB_GETCURSEL)))
        .add("topRow", num(send(box, LB_GETTOPINDEX)))
        .add("rowHeight", num(send(box, LB_GETITEMHEIGHT)));
}

void statusBar(HWND bar, Object& o) {
    const RemoteBuffer remote(bar);
    if (!remote.ok()) return;
    std::vector<std::string> panels;
    const auto parts = send(bar, SB_GETPARTS);
    for (LRESULT i = 0; i < parts && i < 64; ++i) {
        send(bar, SB_GETTEXTW, i, remote.at());
        panels.push_back(str(remote.text(0, 1024)));
    }
    o.add("panels", array(panels));
}

void datePicker(HWND picker, Object& o) {
    const RemoteBuffer remote(picker);
    if (!remote.ok()) return;
    SYSTEMTIME time{};
    if (send(picker, DTM_GETSYSTEMTIME, 0, remote.at()) == GDT_VALID && remote.read(0, &time, sizeof time)) {
        wchar_t text[16];
        wsprintfW(text, L"%02u:%02u:%02u", time.wHour, time.wMinute, time.wSecond);
        o.add("time", str(text));
    }
}

// The caption buttons' middles, found by asking the window what lies under points of
// its caption row (its frame and theme decide where they are).
void captionButtons(HWND window, Object& o) {
    RECT outer{};
    GetWindowRect(window, &outer);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & WS_CAPTION) != WS_CAPTION) return;
    const int y = outer.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    const auto find = [&](LRESULT part) -> std::string {
        int right = -1;
        for (int x = outer.right - 1; x > outer.left; --x) {
            const bool hit = send(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == part;
            if (hit && right < 0) right = x;
            if (!hit && right >= 0) return "[" + num((x + 1 + right) / 2) + "," + num(y) + "]";
        }
        return "null";
    };
    o.add("closeButton", find(HTCLOSE));
    if (style & WS_MINIMIZEBOX) o.add("minimizeButton", find(HTMINBUTTON));
}

// The control with the keyboard focus in the window's thread (GetFocus answers only
// for the caller's own).
HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

BOOL CALLBACK collectChild(HWND child, LPARAM into) {
    auto& controls = *reinterpret_cast<std::vector<std::string>*>(into);
    RECT place{};
    GetWindowRect(child, &place);
    Object o;
    o.add("handle", handle(child))
        .add("class", str(className(child)))
        .add("id", num(GetDlgCtrlID(child)))
        .add("parent", handle(GetParent(child)))
        .add("text", str(windowText(child)))
        .add("visible", boolean(IsWindowVisible(child)))
        .add("enabled", boolean(IsWindowEnabled(child)))
        .add("focused", boolean(focusOf(child) == child))
        .add("style", num(GetWindowLongW(child, GWL_STYLE)))
        .add("rect", rect(place));
    if (classIs(child, L"ListBox")) listBox(child, o);
    else if (classIs(child, STATUSCLASSNAMEW)) statusBar(child, o);
    else if (classIs(child, DATETIMEPICK_CLASSW)) datePicker(child, o);
    else if (classIs(child, TRACKBAR_CLASSW))
        o.add("position", num(send(child, TBM_GETPOS)))
            .add("min", num(send(child, TBM_GETRANGEMIN)))
            .add("max", num(send(child, TBM_GETRANGEMAX)));
    else if (classIs(child, L"Button"))
        o.add("checked", boolean(send(child, BM_GETCHECK) == BST_CHECKED));
    controls.push_back(o.str());
    return TRUE;
}

}  // namespace

Hook hookLibrary(const char* procedure) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring library = path;
    library = library.substr(0, library.find_last_of(L"\\/") + 1) + L"tb_win32_probe_hook.dll";
    Hook hook;
    hook.module = LoadLibraryW(library.c_str());
    if (hook.module != nullptr)
        hook.procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hook.module, procedure)));
    return hook;
}

std::string menuOf(HWND window, HMENU menu) {
    const Hook hook = hookLibrary("probeMenuHook");
    if (hook.procedure == nullptr) return "null";

    wchar_t name[64];
    menuMapping(name, GetCurrentProcessId());
    const HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMenuMappingSize, name);
    std::string answer = "null";
    if (const HHOOK installed = SetWindowsHookExW(WH_CALLWNDPROC, hook.procedure, hook.module, GetWindowThreadProcessId(window, nullptr))) {
        send(window, RegisterWindowMessageW(kMenuMessage), GetCurrentProcessId(), reinterpret_cast<LPARAM>(menu));
        UnhookWindowsHookEx(installed);
        if (const auto* in = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kMenuMappingSize))) {
            if (*in != '\0') answer = in;
            UnmapViewOfFile(in);
        }
    }
    CloseHandle(mapping);
    return answer;
}

std::string summarizeWindow(HWND window) {
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    Object o;
    o.add("handle", handle(window))
        .add("title", str(windowText(window)))
        .add("class", str(className(window)))
        .add("pid", num(pid))
        .add("owner", handle(GetWindow(window, GW_OWNER)))
        .add("visible", boolean(IsWindowVisible(window)))
        .add("minimized", boolean(IsIconic(window)))
        .add("enabled", boolean(IsWindowEnabled(window)))
        .add("foreground", boolean(GetForegroundWindow() == window))
        .add("rect", rect(outer))
        .add("client", rect(client));
    return o.str();
}

std::string describeWindow(HWND window) {
    std::string summary = summarizeWindow(window);
    Object o;
    if (IsWindowVisible(window)) captionButtons(window, o);
    if (GetMenu(window) != nullptr) o.add("menu", menuOf(window, nullptr));
    std::vector<std::string> controls;
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&controls));
    o.add("controls", array(controls));
    // The summary's members, then these.
    summary.pop_back();
    return summary + "," + o.str().substr(1);
}

namespace {

BOOL CALLBACK collectTooltips(HWND window, LPARAM into) {
    auto& found = *reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(into);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == found.first && classIs(window, TOOLTIPS_CLASSW)) found.second.push_back(window);
    return TRUE;
}

}  // namespace

std::string trayIcons() {
    const HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (tray == nullptr) return "null";
    // The shell gives every icon a tooltip tool over the icon's place; the tools are
    // what tells icons apart from outside.
    std::pair<DWORD, std::vector<HWND>> tooltips;
    GetWindowThreadProcessId(tray, &tooltips.first);
    EnumWindows(collectTooltips, reinterpret_cast<LPARAM>(&tooltips));
    std::vector<std::string> icons;
    for (const HWND tooltip : tooltips.second) {
        const RemoteBuffer remote(tooltip);
        if (!remote.ok()) continue;
        const auto count = send(tooltip, TTM_GETTOOLCOUNT);
        for (LRESULT i = 0; i < count; ++i) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.lpszText = reinterpret_cast<LPWSTR>(remote.at(1024));
            remote.write(0, &tool, sizeof tool);
            if (!send(tooltip, TTM_ENUMTOOLSW, i, remote.at()) || !remote.read(0, &tool, sizeof tool)) continue;
            RECT place = tool.rect;
            MapWindowPoints(tool.hwnd, nullptr, reinterpret_cast<POINT*>(&place), 2);
            Object o;
            o.add("tip", str(remote.text(1024, 1024)))
                .add("shown", boolean(tool.rect.right > tool.rect.left && tool.rect.bottom > tool.rect.top))
                .add("rect", rect(place));
            icons.push_back(o.str());
        }
    }
    // The taskbar's buttons: one per window with a taskbar entry, and the Start button.
    // Their texts are drawn, not kept: only their number tells.
    int buttons = 0;
    for (HWND button = FindWindowExW(tray, nullptr, L"Button", nullptr); button != nullptr;
         button = FindWindowExW(tray, button, L"Button", nullptr))
        buttons += IsWindowVisible(button) ? 1 : 0;
    Object o;
    o.add("trayWindow", handle(tray))
        .add("visible", boolean(IsWindowVisible(tray)))
        .add("icons", array(icons))
        .add("taskbarButtons", num(buttons));
    return o.str();
}

}  // namespace tb::probe
