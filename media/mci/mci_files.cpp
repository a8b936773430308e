#include "media/mci/mci_files.h"

#include "platform/win32/long_path_win32.h"

#include <windows.h>

namespace tb {

std::optional<std::wstring> mciFileName(const std::wstring& file) {
    // MCI parses the name itself and knows no "\\?\" form.
    const std::wstring plain = plainForm(file);
    if (plain.size() < MAX_PATH) return plain;
    const std::wstring full = longForm(plain);
    const DWORD size = ::GetShortPathNameW(full.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring shortName(size, L'\0');
    const DWORD length = ::GetShortPathNameW(full.c_str(), shortName.data(), size);
    if (length == 0 || length >= size) return std::nullopt;
    shortName.resize(length);
    shortName = plainForm(shortName);
    if (shortName.size() >= MAX_PATH) return std::nullopt;
    return shortName;
}

std::optional<FileIdentity> mciFileIdentity(const std::wstring& file) {
    if (file.empty()) return std::nullopt;
    return readableFileIdentity(std::filesystem::path(file));
}

bool playsOnSequencer(const std::wstring& file) {
    const auto dot = file.find_last_of(L".\\/:");
    if (dot == std::wstring::npos || file[dot] != L'.' || dot + 1 == file.size()) return false;
    const std::wstring extension = file.substr(dot + 1);
    wchar_t device[64] = {};
    DWORD bytes = sizeof device;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions",
                       extension.c_str(), RRF_RT_REG_SZ, nullptr, device, &bytes) != ERROR_SUCCESS) {
        return false;
    }
    return ::CompareStringOrdinal(device, -1, L"sequencer", -1, TRUE) == CSTR_EQUAL;
}

}  // namespace tb
