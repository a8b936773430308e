#include "front-ends/win32/dialog_service.h"

#include "front-ends/win32/error_box.h"
#include "front-ends/win32/text.h"

#include <windows.h>
#include <commdlg.h>

namespace tb {
namespace {

// A box without an owner leaves none of the program's windows active when it is
// answered, and the keys typed next would reach nothing: the window that was active
// before gets them again.
int box(const std::string& text, const std::string& caption, UINT style) {
    HWND before = GetActiveWindow();
    const int answer = MessageBoxW(nullptr, wide(text).c_str(), wide(caption).c_str(), style);
    if (before != nullptr && IsWindow(before) && IsWindowVisible(before) && IsWindowEnabled(before) &&
        GetActiveWindow() != before) {
        SetForegroundWindow(before);
        SetActiveWindow(before);
    }
    return answer;
}

}  // namespace

std::wstring fileDialogFilter(const std::vector<FileFilter>& filters) {
    std::wstring list;
    for (const auto& filter : filters) {
        list += wide(filter.description);
        list += L'\0';
        list += wide(filter.pattern);
        list += L'\0';
    }
    list += L'\0';
    return list;
}

void Win32DialogService::errorBox(OpenErrorBox& open, const std::string& caption) {
    ErrorBoxWindow window(open, caption);
    window.run();
}

// Without an owner window: the program's windows stay usable while it is open.
bool Win32DialogService::askYesNo(const std::string& text, const std::string& caption) {
    return box(text, caption, MB_ICONQUESTION | MB_YESNO) == IDYES;
}

void Win32DialogService::askOk(const std::string& text, const std::string& caption) {
    box(text, caption, MB_ICONQUESTION | MB_OK);
}

// Task-modal: every window of the program waits for the answer.
void Win32DialogService::message(const std::string& text, const std::string& caption) {
    box(text, caption, MB_OK | MB_TASKMODAL);
}

bool Win32DialogService::confirm(const std::string& text, const std::string& caption) {
    return box(text, caption, MB_ICONQUESTION | MB_YESNO | MB_TASKMODAL) == IDYES;
}

std::optional<std::string> Win32DialogService::openFile(const TOpenDialog& dialog) {
    const std::wstring filter = fileDialogFilter(dialog.filters);
    std::wstring file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = dialog.filters.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    // Whatever name is typed comes back as it is; a file that cannot be played says so
    // when it is opened.
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;
    file.resize(wcslen(file.c_str()));
    return narrow(file);
}

}  // namespace tb
