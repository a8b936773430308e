#include "media/mci/mci_files.h"

#include <windows.h>

namespace tb {
namespace {

bool startsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

std::wstring extendedPath(const std::wstring& file) {
    if (file.size() < MAX_PATH || startsWith(file, L"\\\\?\\")) return file;
    std::wstring path = file;
    for (auto& c : path) {
        if (c == L'/') c = L'\\';
    }
    if (startsWith(path, L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    return file;
}

std::optional<std::wstring> mciFileName(const std::wstring& file) {
    if (file.size() < MAX_PATH) return file;
    const std::wstring extended = extendedPath(file);
    const DWORD size = ::GetShortPathNameW(extended.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring shortName(size, L'\0');
    const DWORD length = ::GetShortPathNameW(extended.c_str(), shortName.data(), size);
    if (length == 0 || length >= size) return std::nullopt;
    shortName.resize(length);
    // MCI takes a plain path: the prefix comes off again.
    if (startsWith(shortName, L"\\\\?\\UNC\\")) {
        shortName = L"\\\\" + shortName.substr(8);
    } else if (startsWith(shortName, L"\\\\?\\")) {
        shortName = shortName.substr(4);
    }
    if (shortName.size() >= MAX_PATH) return std::nullopt;
    return shortName;
}

std::optional<FileIdentity> mciFileIdentity(const std::wstring& file) {
    if (file.empty()) return std::nullopt;
    return readableFileIdentity(std::filesystem::path(extendedPath(file)));
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
