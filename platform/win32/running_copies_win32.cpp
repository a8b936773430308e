#include "platform/win32/running_copies_win32.h"

#include "core/handler.h"

#include <vector>

namespace tb {
namespace {

constexpr const wchar_t* kWindowClass = L"TollbrookRunningCopy";
constexpr UINT kAnswerMs = 2000;

std::wstring wideOf(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::string utf8Of(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring normalFolderName(const std::filesystem::path& folder) {
    std::wstring name;
    // The folder as the file system names it: links followed, short names made long.
    const HANDLE handle = CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        std::vector<wchar_t> buffer(1024);
        DWORD n = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
        if (n >= buffer.size()) {
            buffer.resize(n + 1);
            n = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
        }
        if (n > 0 && n < buffer.size()) name.assign(buffer.data(), n);
        CloseHandle(handle);
    }
    if (name.empty()) {
        const DWORD n = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
        name.resize(n);
        name.resize(GetFullPathNameW(folder.c_str(), n, name.data(), nullptr));
    }
    while (name.size() > 3 && (name.back() == L'\\' || name.back() == L'/')) name.pop_back();
    // Windows' names are case-insensitive: the upper-case form as the file system compares.
    if (!name.empty()) {
        std::wstring upper(name.size(), L'\0');
        const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.data(), static_cast<int>(name.size()),
                                    upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
        if (n > 0) name.assign(upper.data(), static_cast<std::size_t>(n));
    }
    return name;
}

Win32RunningCopies::~Win32RunningCopies() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (mutex_ != nullptr) {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
}

std::string Win32RunningCopies::keyFor(const std::filesystem::path& folder) const {
    return runningCopyKey(utf8Of(normalFolderName(folder)));
}

bool Win32RunningCopies::claim(const std::string& key) {
    // The session's namespace: one user's logon and the copies that user starts.
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, (L"Local\\" + wideOf(key)).c_str());
    if (mutex == nullptr) return true;  // nothing to share: every start runs
    const DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return false;
    }
    mutex_ = mutex;
    key_ = wideOf(key);
    return true;
}

bool Win32RunningCopies::handOver(const std::string& key) {
    const HWND window = FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, wideOf(key).c_str());
    if (window == nullptr) return false;
    // The running copy may then take the foreground, which Windows gives only to the
    // program the user started last.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, kShowMessage, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &answer) != 0 &&
           answer == static_cast<DWORD_PTR>(kTaken);
}

void Win32RunningCopies::listen(std::function<void()> bringBack) {
    if (mutex_ == nullptr || window_ != nullptr) return;
    bringBack_ = std::move(bringBack);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32RunningCopies::procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, kWindowClass, key_.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // A copy started with raised rights (the setup's "Run Tollbrook") still hears a
    // start without them.
    ChangeWindowMessageFilterEx(window_, kShowMessage, MSGFLT_ALLOW, nullptr);
}

LRESULT CALLBACK Win32RunningCopies::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message != kShowMessage) return DefWindowProcW(window, message, wParam, lParam);
    auto* self = reinterpret_cast<Win32RunningCopies*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || !self->bringBack_) return 0;
    // Answered first, so that the later start is not held while the window comes back.
    ReplyMessage(kTaken);
    runHandler(self->bringBack_);
    return kTaken;
}

}  // namespace tb
