#include "platform/win32/autostart_win32.h"

#include "core/util/file_system.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <windows.h>

namespace tb {
namespace {

const wchar_t* const kValueName = L"velnorsoftsp";

std::string message(const char* what) { return std::string(what) + " for '" + kAutostartName + "'"; }

// The key, opened for every access with full access and closed again; never created.
class RunKey final {
public:
    explicit RunKey(const std::wstring& path) {
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    RunKey(const RunKey&) = delete;
    RunKey& operator=(const RunKey&) = delete;
    ~RunKey() {
        if (key_ != nullptr) ::RegCloseKey(key_);
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::string utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

// The executable a Run value starts: the quoted path of a command line, or the whole
// text as an earlier version wrote it, unquoted.
std::wstring executableOf(const std::wstring& command) {
    if (command.empty() || command.front() != L'"') return command;
    const auto close = command.find(L'"', 1);
    return command.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
}

}  // namespace

RegistryAutostart::RegistryAutostart(std::wstring key) : key_(std::move(key)) {}

std::string RegistryAutostart::read() {
    const RunKey key(key_);
    // No key, no value or an empty one: nothing is registered.
    DWORD size = 0;
    if (key.get() == nullptr || ::RegQueryValueExW(key.get(), kValueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0) {
        return {};
    }
    std::vector<BYTE> data(size + sizeof(wchar_t));
    DWORD type = 0;
    DWORD got = size;
    if (::RegQueryValueExW(key.get(), kValueName, nullptr, &type, data.data(), &got) != ERROR_SUCCESS) {
        throw AutostartError(message("Failed to get data"));
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw AutostartError(message("Invalid data type"));
    // The text up to its first zero character (the data need not end in one).
    std::wstring text(got / sizeof(wchar_t), L'\0');
    std::copy_n(data.data(), text.size() * sizeof(wchar_t), reinterpret_cast<BYTE*>(text.data()));
    if (const auto zero = text.find(L'\0'); zero != std::wstring::npos) text.resize(zero);
    return utf8(executableOf(text));
}

void RegistryAutostart::write(const std::filesystem::path& executable) {
    // Always quoted: Windows reads the value as a command line, and an unquoted path with
    // a blank ("C:\Program Files\...") would make it try "C:\Program.exe" first.
    const std::wstring command = L'"' + fullPath(executable).wstring() + L'"';
    const RunKey key(key_);
    // The text with its terminating zero: twice the length plus 2 bytes.
    const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    if (key.get() == nullptr ||
        ::RegSetValueExW(key.get(), kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()), bytes) !=
            ERROR_SUCCESS) {
        throw AutostartError(message("Failed to set data"));
    }
}

void RegistryAutostart::remove() noexcept {
    const RunKey key(key_);
    if (key.get() != nullptr) ::RegDeleteValueW(key.get(), kValueName);
}

}  // namespace tb
