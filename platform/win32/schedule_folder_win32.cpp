#include "platform/win32/schedule_folder_win32.h"

#include "core/schedule/program_folder.h"

#include <system_error>

#include <windows.h>
#include <shlobj.h>

namespace tb {

std::filesystem::path recordedInstallFolder(const std::wstring& key) {
    HKEY handle = nullptr;
    // Reading only, which a standard user may; the installer writes the 64-bit view.
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &handle) !=
        ERROR_SUCCESS) {
        return {};
    }
    std::wstring text;
    LSTATUS status = ERROR_MORE_DATA;
    // The value may grow between asking for its size and reading it.
    for (int attempt = 0; attempt < 3 && status == ERROR_MORE_DATA; ++attempt) {
        DWORD bytes = 0;
        status = ::RegGetValueW(handle, nullptr, L"InstallLocation", RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
        if (status != ERROR_SUCCESS) break;
        text.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = ::RegGetValueW(handle, nullptr, L"InstallLocation", RRF_RT_REG_SZ, nullptr, text.data(), &bytes);
    }
    ::RegCloseKey(handle);
    if (status != ERROR_SUCCESS) return {};
    text.resize(text.find(L'\0'));
    return text;
}

std::filesystem::path roamingAppDataFolder() {
    wchar_t* path = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path))) folder = path;
    ::CoTaskMemFree(path);
    return folder;
}

ScheduleLocation programScheduleLocation(const std::wstring& key) {
    const std::filesystem::path appData = roamingAppDataFolder();
    const std::filesystem::path user = appData.empty() ? appData : appData / L"Tollbrook";
    const ScheduleLocation location = scheduleLocation(executablePath(), recordedInstallFolder(key), user);
    std::error_code ignored;
    std::filesystem::create_directories(location.folder, ignored);
    return location;
}

std::filesystem::path programScheduleFolder(const std::wstring& key) { return programScheduleLocation(key).folder; }

}  // namespace tb
