// The probe's hands inside another process (a library that Windows loads there for a
// hook). Menus live in the process that made them and cannot be read from outside;
// the notification area's callbacks are posted to the program alone. Nothing here may
// throw into the hooked thread's window procedure.
#include "tests/front-ends/win32/system/probe_json.h"
#include "tests/front-ends/win32/system/probe_protocol.h"

#include <windows.h>

#include <cstring>

using namespace tb::probe;

namespace {

std::string menuJson(HMENU menu, HWND window, int depth) {
    std::vector<std::string> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        Object item;
        item.add("text", str(text))
            .add("id", num(info.wID))
            .add("checked", boolean((info.fState & MFS_CHECKED) != 0))
            .add("grayed", boolean((info.fState & MFS_GRAYED) != 0))
            .add("separator", boolean((info.fType & MFT_SEPARATOR) != 0));
        RECT place{};
        if (GetMenuItemRect(window, menu, static_cast<UINT>(i), &place) && place.right > place.left)
            item.add("rect", rect(place));
        if (info.hSubMenu != nullptr && depth < 4) item.add("items", menuJson(info.hSubMenu, nullptr, depth + 1));
        items.push_back(item.str());
    }
    return array(items);
}

void answerMenu(const CWPSTRUCT& call) {
    wchar_t name[64];
    menuMapping(name, static_cast<DWORD>(call.wParam));
    const HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (mapping == nullptr) return;
    if (auto* out = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kMenuMappingSize))) {
        const auto menu = reinterpret_cast<HMENU>(call.lParam);
        const std::string json = menu != nullptr ? menuJson(menu, nullptr, 0) : menuJson(GetMenu(call.hwnd), call.hwnd, 0);
        const std::size_t n = json.size() < kMenuMappingSize - 1 ? json.size() : kMenuMappingSize - 1;
        std::memcpy(out, json.data(), n);
        out[n] = '\0';
        UnmapViewOfFile(out);
    }
    CloseHandle(mapping);
}

// A message that looks like a notification-area callback: a message of the program's
// own range whose lParam is a mouse message.
void recordCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_USER || lParam < WM_MOUSEFIRST || lParam > WM_MOUSELAST) return;
    const HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, kCallbacksMapping);
    if (mapping == nullptr) return;
    if (auto* log = static_cast<Callbacks*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(Callbacks)))) {
        const LONG slot = InterlockedIncrement(&log->count) - 1;
        if (slot < 64)
            log->calls[slot] = {reinterpret_cast<UINT_PTR>(window), message, static_cast<UINT64>(wParam),
                                static_cast<INT64>(lParam)};
        UnmapViewOfFile(log);
    }
    CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK probeMenuHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    static const UINT request = RegisterWindowMessageW(kMenuMessage);
    if (code == HC_ACTION) {
        const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call.message == request) {
            try {
                answerMenu(call);
            } catch (...) {
                // The probe then reads an empty answer; the program goes on untouched.
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Shells post the callbacks or send them (Wine's sends them): both hooks record.
extern "C" __declspec(dllexport) LRESULT CALLBACK probePostedCallbackHook(int code, WPARAM wParam,
                                                                          LPARAM lParam) noexcept {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const auto& m = *reinterpret_cast<const MSG*>(lParam);
        recordCallback(m.hwnd, m.message, m.wParam, m.lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK probeSentCallbackHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION) {
        const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        recordCallback(call.hwnd, call.message, call.wParam, call.lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
