#pragma once

#include "core/schedule/program_folder.h"

#include <filesystem>
#include <string>

namespace tb {

// The installer's entry among the machine's installed programs, below
// HKEY_LOCAL_MACHINE. Its InstallLocation names the folder the program was installed
// to, wherever the administrator chose to put it; a copy of the program elsewhere,
// and any copy once it is uninstalled, is not there.
inline constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tollbrook";

// The InstallLocation under `key` (the 64-bit registry), REG_SZ or REG_EXPAND_SZ;
// empty when there is none.
std::filesystem::path recordedInstallFolder(const std::wstring& key = kUninstallKey);

// The user's roaming application-data folder (%APPDATA%); empty when the system
// names none.
std::filesystem::path roamingAppDataFolder();

// This program's schedule folder: %APPDATA%\Tollbrook when it runs from the folder
// recorded under `key`, else its own folder. A missing folder is made (one that
// cannot be made shows as the first schedule file that cannot be read).
std::filesystem::path programScheduleFolder(const std::wstring& key = kUninstallKey);
// The same, and whether it is the installed program's per-user folder.
ScheduleLocation programScheduleLocation(const std::wstring& key = kUninstallKey);

}  // namespace tb
