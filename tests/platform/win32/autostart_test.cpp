#include "core/desktop/autostart.h"
#include "platform/win32/autostart_win32.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include <windows.h>

namespace {

const wchar_t* const kRun = tb::RegistryAutostart::kRunKey;

// The value as stored (its type, and its text with the zero it was stored with), read
// past the store.
std::optional<std::pair<DWORD, std::wstring>> stored() {
    HKEY k = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRun, 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    LONG r = ::RegQueryValueExW(k, L"velnorsoftsp", nullptr, &type, nullptr, &size);
    std::wstring data(size / sizeof(wchar_t), L'?');
    if (r == ERROR_SUCCESS) r = ::RegQueryValueExW(k, L"velnorsoftsp", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    ::RegCloseKey(k);
    if (r != ERROR_SUCCESS) return std::nullopt;
    return std::pair{type, data};
}

void put(const std::wstring& text) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRun, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(::RegSetValueExW(key, L"velnorsoftsp", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

std::string thrown(const std::function<void()>& f) {
    try {
        f();
    } catch (const tb::AutostartError& e) {
        return e.what();
    }
    return "nothing";
}

// Windows reads a Run value as a command line: a path with a blank, unquoted, is tried
// cut at each blank first ("C:\Program.exe"). The path is quoted always, blank or not:
// one rule, and a quoted path means the same to every reader of the key. REG_SZ, its
// size the text with its zero. A program on a share keeps its "\\server\share" path.
TEST(RegistryAutostart, WritesTheQuotedPathAndReadsThePath) {
    for (const std::wstring path : {L"C:\\Program Files\\Tollbrook\\tollbrook.exe", L"C:\\Bells\\tollbrook.exe",
                                    L"C:\\Gl\u00F6cken\\tollbrook.exe", L"\\\\server\\bells\\tollbrook.exe",
                                    L"\\\\?\\C:\\Bells\\tollbrook.exe"}) {
        SCOPED_TRACE(testing::Message() << path);
        tb::RegistryAutostart autostart;
        autostart.remove();
        EXPECT_EQ(autostart.read(), "");
        autostart.write(path);
        const std::wstring quoted = L'"' + path + L'"';
        EXPECT_EQ(stored(), (std::pair<DWORD, std::wstring>{REG_SZ, quoted + L'\0'}));
        EXPECT_EQ(std::filesystem::u8path(autostart.read()), std::filesystem::path(path));
        autostart.remove();
        EXPECT_EQ(stored(), std::nullopt);
        EXPECT_EQ(autostart.read(), "");
        autostart.remove();  // a missing value is no error
    }
}

// What an earlier version wrote (unquoted) and what a hand-made entry may hold read back
// as the executable's path.
TEST(RegistryAutostart, ReadsQuotedAndUnquotedValues) {
    const struct {
        const wchar_t* value;
        const char* path;
    } cases[] = {
        {L"\"C:\\Program Files\\Tollbrook\\tollbrook.exe\"", "C:\\Program Files\\Tollbrook\\tollbrook.exe"},
        {L"C:\\Program Files\\Tollbrook\\tollbrook.exe", "C:\\Program Files\\Tollbrook\\tollbrook.exe"},
        {L"\"C:\\Bells\\tollbrook.exe\"", "C:\\Bells\\tollbrook.exe"},
        {L"C:\\Bells\\tollbrook.exe", "C:\\Bells\\tollbrook.exe"},
        {L"\"C:\\Program Files\\Tollbrook\\tollbrook.exe\" /minimized", "C:\\Program Files\\Tollbrook\\tollbrook.exe"},
        {L"\"C:\\Bells\\tollbrook.exe", "C:\\Bells\\tollbrook.exe"},  // never closed
        {L"\"\"", ""},  // starts nothing: off, and the next click writes a path
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        put(c.value);
        EXPECT_EQ(tb::RegistryAutostart().read(), c.path);
    }
    tb::RegistryAutostart().remove();
}

TEST(RegistryAutostart, ValueOfAnotherTypeIsAnInvalidDataType) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRun, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const DWORD number = 1;
    ::RegSetValueExW(key, L"velnorsoftsp", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    EXPECT_EQ(thrown([] { tb::RegistryAutostart().read(); }), "Invalid data type for 'velnorsoftsp'");
    const wchar_t expand[] = L"%SystemRoot%\\tollbrook.exe";
    ::RegSetValueExW(key, L"velnorsoftsp", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof expand);
    EXPECT_EQ(tb::RegistryAutostart().read(), "%SystemRoot%\\tollbrook.exe");
    ::RegDeleteValueW(key, L"velnorsoftsp");
    ::RegCloseKey(key);
}

// The key is opened, never created: without it nothing is read, the write fails with
// the message and the key is still missing afterwards.
TEST(RegistryAutostart, MissingKeyIsNeverCreated) {
    const std::wstring missing = L"Software\\Tollbrook-missing-" + std::to_wstring(std::random_device()());
    tb::RegistryAutostart store(missing);
    EXPECT_EQ(store.read(), "");
    EXPECT_EQ(thrown([&] { store.write("C:\\tollbrook.exe"); }), "Failed to set data for 'velnorsoftsp'");
    store.remove();
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, missing.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST(RegistryAutostart, RelativePathIsWrittenInFull) {
    tb::RegistryAutostart store;
    store.write("tollbrook.exe");
    const auto value = stored();
    const std::string read = store.read();
    store.remove();
    const std::filesystem::path full = std::filesystem::current_path() / "tollbrook.exe";
    EXPECT_EQ(read, full.string());
    ASSERT_TRUE(value);
    EXPECT_EQ(value->second, L'"' + full.wstring() + L'"' + L'\0');
}

}  // namespace
