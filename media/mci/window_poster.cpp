#include "media/mci/window_poster.h"

#include "core/handler.h"

#include <windows.h>

namespace tb {
namespace {

constexpr UINT kWake = WM_APP + 1;
const wchar_t* const kClassName = L"TollbrookPoster";

}  // namespace

struct WindowPoster::Shared {
    std::mutex mutex;
    std::deque<std::function<void()>> calls;
    bool wakePending = false;
    HWND window = nullptr;
};

namespace {

LRESULT CALLBACK posterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == kWake) {
        auto* poster = reinterpret_cast<WindowPoster*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (poster != nullptr) poster->runQueued();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

WindowPoster::WindowPoster() : shared_(std::make_shared<Shared>()) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = posterProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);  // fails harmlessly when registered before
    shared_->window = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(shared_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WindowPoster::~WindowPoster() {
    std::lock_guard lock(shared_->mutex);
    ::DestroyWindow(shared_->window);
    shared_->window = nullptr;
    shared_->calls.clear();
}

void WindowPoster::post(std::function<void()> call) {
    std::lock_guard lock(shared_->mutex);
    if (shared_->window == nullptr) return;
    shared_->calls.push_back(std::move(call));
    // One wake message at a time, however many calls wait: the queue cannot fill the
    // thread's message queue (10,000 messages at most).
    if (!shared_->wakePending) shared_->wakePending = ::PostMessageW(shared_->window, kWake, 0, 0) != 0;
}

void WindowPoster::runQueued() {
    std::deque<std::function<void()>> calls;
    {
        std::lock_guard lock(shared_->mutex);
        calls.swap(shared_->calls);
        shared_->wakePending = false;
    }
    // Each call is a handler of its own: one that fails is reported and the rest still run,
    // and nothing unwinds through the window procedure.
    for (auto& call : calls) runHandler(call);
}

}  // namespace tb
