#include "core/schedule/file_system.h"
#include "platform/win32/schedule_folder_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <random>

#include <windows.h>

namespace {

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

// An uninstall key of the test's own below HKEY_LOCAL_MACHINE, removed with the object.
class TestUninstallKey final {
public:
    TestUninstallKey() {
        std::random_device seed;
        path_ = std::wstring(tb::kUninstallKey) + L"-test-" + std::to_wstring(seed());
    }
    TestUninstallKey(const TestUninstallKey&) = delete;
    TestUninstallKey& operator=(const TestUninstallKey&) = delete;
    ~TestUninstallKey() { ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), KEY_WOW64_64KEY, 0); }
    const std::wstring& path() const { return path_; }

    void set(DWORD type, const void* data, DWORD bytes) const {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (data != nullptr) {
            EXPECT_EQ(::RegSetValueExW(key, L"InstallLocation", 0, type, static_cast<const BYTE*>(data), bytes),
                      ERROR_SUCCESS);
        }
        ::RegCloseKey(key);
    }
    void setText(DWORD type, const std::wstring& text) const {
        set(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    std::wstring path_;
};

// The folder the installer recorded, as text or as text with variables; anything else
// is no install location.
TEST(RecordedInstallFolder, TheInstallLocationAsTextElseNone) {
    {
        TestUninstallKey key;
        EXPECT_EQ(tb::recordedInstallFolder(key.path()), std::filesystem::path()) << "no key";
        key.set(REG_SZ, nullptr, 0);
        EXPECT_EQ(tb::recordedInstallFolder(key.path()), std::filesystem::path()) << "no value";
        key.setText(REG_SZ, L"C:\\Program Files\\Tollbrook");
        EXPECT_EQ(tb::recordedInstallFolder(key.path()), std::filesystem::path(L"C:\\Program Files\\Tollbrook"));
        key.setText(REG_SZ, L"");
        EXPECT_EQ(tb::recordedInstallFolder(key.path()), std::filesystem::path()) << "empty";
        key.setText(REG_EXPAND_SZ, L"%SystemDrive%\\Bells");
        wchar_t drive[16] = {};
        ::GetEnvironmentVariableW(L"SystemDrive", drive, 16);
        EXPECT_EQ(tb::recordedInstallFolder(key.path()), std::filesystem::path(std::wstring(drive) + L"\\Bells"));
        const DWORD number = 7;
        key.set(REG_DWORD, &number, sizeof number);
        EXPECT_EQ(tb::recordedInstallFolder(key.path()), std::filesystem::path()) << "a number";
    }
    // A folder of the longest name Windows has, and more: read whole.
    TestUninstallKey key;
    const std::wstring longFolder = L"C:\\" + std::wstring(600, L'b');
    key.setText(REG_SZ, longFolder);
    EXPECT_EQ(tb::recordedInstallFolder(key.path()), std::filesystem::path(longFolder));
}

TEST(RoamingAppDataFolder, IsWhereAppDataPoints) {
    const wchar_t* appData = ::_wgetenv(L"APPDATA");
    ASSERT_NE(appData, nullptr);
    const std::filesystem::path folder = tb::roamingAppDataFolder();
    EXPECT_EQ(folder, std::filesystem::path(appData));
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << utf8(folder);
}

// This test program stands for the installed one: its folder recorded under the test's
// key (spelt in capitals, as Windows does not tell case apart) makes it keep its
// schedule in %APPDATA%\Tollbrook, made when missing; recorded elsewhere, it keeps it
// beside itself.
TEST(ProgramScheduleFolder, UsersFolderOnlyWhenRunFromTheRecordedFolder) {
    const std::filesystem::path own = tb::executablePath().parent_path();
    const std::filesystem::path user = tb::roamingAppDataFolder() / L"Tollbrook";
    std::error_code ec;
    std::filesystem::remove(user, ec);  // an empty one an earlier test made
    ASSERT_FALSE(std::filesystem::exists(user)) << utf8(user) << " holds files: not a test prefix";

    TestUninstallKey key;
    EXPECT_EQ(tb::programScheduleFolder(key.path()), own) << "nothing recorded";
    std::wstring capitals = own.wstring();
    std::transform(capitals.begin(), capitals.end(), capitals.begin(), [](wchar_t c) { return std::towupper(c); });
    key.setText(REG_SZ, capitals);
    EXPECT_EQ(tb::programScheduleFolder(key.path()), user) << utf8(capitals);
    EXPECT_TRUE(std::filesystem::is_directory(user)) << utf8(user);
    key.setText(REG_SZ, (own / L"elsewhere").wstring());
    EXPECT_EQ(tb::programScheduleFolder(key.path()), own);

    std::filesystem::remove(user, ec);
}

}  // namespace
