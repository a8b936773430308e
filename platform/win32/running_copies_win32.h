#pragma once

#include "core/desktop/running_copies.h"

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

namespace tb {

// The running copies on Windows: for each key a named mutex in the session's namespace,
// owned by the running copy for its whole run (the system lets go of it when the copy
// ends, however it ends: a killed copy leaves it abandoned, and the next start takes
// it), and a message-only window named by the key, to which a later start sends its
// request and lets the running copy take the foreground.
class Win32RunningCopies final : public RunningCopies {
public:
    // Hand-over requests arrive as this message on the running copy's window.
    static constexpr UINT kShowMessage = WM_APP + 0x5B1;
    static constexpr LRESULT kTaken = 0x7B;

    Win32RunningCopies() = default;
    ~Win32RunningCopies() override;
    Win32RunningCopies(const Win32RunningCopies&) = delete;
    Win32RunningCopies& operator=(const Win32RunningCopies&) = delete;

    std::string keyFor(const std::filesystem::path& folder) const override;
    bool claim(const std::string& key) override;
    bool handOver(const std::string& key) override;
    // Made on the user-interface thread: the requests come through its message loop.
    void listen(std::function<void()> bringBack) override;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HANDLE mutex_ = nullptr;
    HWND window_ = nullptr;
    std::wstring key_;
    std::function<void()> bringBack_;
};

// A folder's full path as one spelling: long names, links followed, upper case.
std::wstring normalFolderName(const std::filesystem::path& folder);

}  // namespace tb
