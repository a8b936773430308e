#include "core/desktop/autostart.h"
#include "platform/win32/autostart_win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include <windows.h>

namespace {

const wchar_t* const kRun = tb::RegistryAutostart::kRunKey;

// What `reg query` says of the value: its output, and whether it found it.
std::pair<bool, std::string> regQuery() {
    std::string out;
    FILE* pipe = ::_popen("reg query \"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\" /v velnorsoftsp", "r");
    if (pipe == nullptr) return {false, "reg did not start"};
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    return {::_pclose(pipe) == 0, out};
}

std::optional<std::pair<DWORD, DWORD>> typeAndSize(const wchar_t* key) {
    HKEY k = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    const LONG r = ::RegQueryValueExW(k, L"velnorsoftsp", nullptr, &type, nullptr, &size);
    ::RegCloseKey(k);
    if (r != ERROR_SUCCESS) return std::nullopt;
    return std::pair{type, size};
}

std::string thrown(const std::function<void()>& f) {
    try {
        f();
    } catch (const tb::AutostartError& e) {
        return e.what();
    }
    return "nothing";
}

// A path with blanks is written as it is, without quotes, as REG_SZ with its zero.
TEST(RegistryAutostart, WriteReadRemoveAsRegSeesIt) {
    tb::RegistryAutostart store;
    store.remove();
    EXPECT_EQ(store.read(), "");
    const std::string path = "C:\\Program Files\\Tollbrook\\tollbrook.exe";
    store.write(path);
    EXPECT_EQ(store.read(), path);
    const auto [found, output] = regQuery();
    EXPECT_TRUE(found) << output;
    EXPECT_NE(output.find("velnorsoftsp"), std::string::npos) << output;
    EXPECT_NE(output.find("REG_SZ"), std::string::npos) << output;
    EXPECT_NE(output.find(path), std::string::npos) << output;
    EXPECT_EQ(output.find("\"" + path), std::string::npos) << output;
    EXPECT_EQ(typeAndSize(kRun), (std::optional<std::pair<DWORD, DWORD>>({REG_SZ, 2 * path.size() + 2})));
    store.remove();
    EXPECT_FALSE(regQuery().first);
    EXPECT_EQ(store.read(), "");
    store.remove();  // a missing value is no error
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
    const std::string read = store.read();
    store.remove();
    EXPECT_EQ(read, (std::filesystem::current_path() / "tollbrook.exe").string());
}

}  // namespace
