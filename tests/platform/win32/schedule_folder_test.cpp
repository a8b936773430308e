#include "core/util/file_system.h"
#include "platform/win32/schedule_folder_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <random>

#include <windows.h>

namespace {

using std::filesystem::path;

// An uninstall key of the test's own below HKEY_LOCAL_MACHINE, removed with the object.
class TestUninstallKey final {
public:
    TestUninstallKey() : path_(std::wstring(tb::kUninstallKey) + L"-test-" + std::to_wstring(std::random_device()())) {}
    TestUninstallKey(const TestUninstallKey&) = delete;
    TestUninstallKey& operator=(const TestUninstallKey&) = delete;
    ~TestUninstallKey() { ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), KEY_WOW64_64KEY, 0); }
    const std::wstring& path() const { return path_; }

    void set(const wchar_t* name, DWORD type, const void* data, DWORD bytes) const {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, path_.c_str(), name, type, data, bytes), ERROR_SUCCESS);
    }
    void setLocation(DWORD type, const std::wstring& text) const {
        set(L"InstallLocation", type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    std::wstring path_;
};

// The folder the installer recorded, as text or as text with variables; anything else
// is no install location.
TEST(RecordedInstallFolder, TheInstallLocationAsTextElseNone) {
    TestUninstallKey key;
    EXPECT_EQ(tb::recordedInstallFolder(key.path()), path()) << "no key";
    key.set(L"DisplayName", REG_SZ, L"Tollbrook", 20);
    EXPECT_EQ(tb::recordedInstallFolder(key.path()), path()) << "no value";
    const DWORD number = 7;
    key.set(L"InstallLocation", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(tb::recordedInstallFolder(key.path()), path()) << "a number";

    wchar_t drive[8] = {};
    ::GetEnvironmentVariableW(L"SystemDrive", drive, 8);
    const struct {
        DWORD type;
        std::wstring text;
        path expected;
    } cases[] = {
        {REG_SZ, L"C:\\Program Files\\Tollbrook", L"C:\\Program Files\\Tollbrook"},
        {REG_SZ, L"", L""},
        {REG_EXPAND_SZ, L"%SystemDrive%\\Bells", std::wstring(drive) + L"\\Bells"},
        {REG_SZ, L"C:\\" + std::wstring(600, L'b'), L"C:\\" + std::wstring(600, L'b')},  // beyond MAX_PATH
    };
    for (const auto& c : cases) {
        key.setLocation(c.type, c.text);
        EXPECT_EQ(tb::recordedInstallFolder(key.path()), c.expected) << c.expected.string();
    }
}

TEST(RoamingAppDataFolder, IsWhereAppDataPoints) {
    wchar_t appData[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
    const path folder = tb::roamingAppDataFolder();
    EXPECT_EQ(folder, path(appData));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

// This test program stands for the installed one: its folder recorded under the test's
// key (spelt in capitals, as Windows does not tell case apart) makes it keep its
// schedule in %APPDATA%\Tollbrook, made when missing; recorded elsewhere, it keeps it
// beside itself.
TEST(ProgramScheduleFolder, UsersFolderOnlyWhenRunFromTheRecordedFolder) {
    const path own = tb::executablePath().parent_path();
    const path user = tb::roamingAppDataFolder() / L"Tollbrook";
    std::error_code ec;
    std::filesystem::remove(user, ec);  // an empty one an earlier test made
    ASSERT_FALSE(std::filesystem::exists(user)) << user.string() << " holds files: not a test prefix";

    TestUninstallKey key;
    EXPECT_EQ(tb::programScheduleFolder(key.path()), own) << "nothing recorded";
    std::wstring capitals = own.wstring();
    std::transform(capitals.begin(), capitals.end(), capitals.begin(), [](wchar_t c) { return std::towupper(c); });
    key.setLocation(REG_SZ, capitals);
    EXPECT_EQ(tb::programScheduleFolder(key.path()), user);
    EXPECT_TRUE(std::filesystem::is_directory(user));
    key.setLocation(REG_SZ, (own / L"elsewhere").wstring());
    EXPECT_EQ(tb::programScheduleFolder(key.path()), own);
    std::filesystem::remove(user, ec);
}

}  // namespace
