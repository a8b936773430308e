#pragma once

#include "core/desktop/autostart.h"

#include <filesystem>
#include <string>

namespace tb {

// The registry value under HKEY_LOCAL_MACHINE's Run key (Windows). The key is opened
// anew with full access for every operation and never created; `key` is a path below
// HKEY_LOCAL_MACHINE. The value is the executable's path in quotes; read() gives the
// path without them, and takes an unquoted one (as earlier versions wrote it) as well.
class RegistryAutostart final : public AutostartStore {
public:
    static constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    explicit RegistryAutostart(std::wstring key = kRunKey);

    std::string read() override;
    void write(const std::filesystem::path& executable) override;
    void remove() noexcept override;

private:
    std::wstring key_;
};

}  // namespace tb
