#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tb {

// The name the program is registered under to start at logon.
inline constexpr const char* kAutostartName = "velnorsoftsp";

class AutostartError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the start-at-logon registration lives.
class AutostartStore {
public:
    virtual ~AutostartStore() = default;
    // The registered command (the executable's path), empty when none is registered.
    // Throws AutostartError "Invalid data type for '...'" or "Failed to get data for '...'".
    virtual std::string read() = 0;
    // Registers the executable. Throws AutostartError "Failed to set data for '...'".
    virtual void write(const std::filesystem::path& executable) = 0;
    // Removes the registration; a missing one is no error, and nothing is reported.
    virtual void remove() noexcept = 0;
};

// An XDG autostart entry, <name>.desktop in the user's autostart folder, whose Exec is
// the executable's full path.
//
// The launchers that read these entries (GLib's, systemd's autostart generator, dex)
// each get some characters wrong whatever the quoting: GLib and systemd look for the
// executable without undoing "%%", systemd copies a "%" into its unit where it becomes
// a specifier and refuses an executable whose name holds a quote or a backslash, dex
// never undoes "%%" nor the escapes inside quotes. A path that holds any character
// beyond letters, digits, blanks and "/._-+,@:=" is therefore registered through a
// symbolic link <name>.program beside the entry; the entry's Exec names the link, and
// reading the entry gives the link's target. Where the autostart folder's own path is
// not plain either, the entry names the executable, quoted as the format says.
class XdgAutostart final : public AutostartStore {
public:
    // $XDG_CONFIG_HOME/autostart, by default ~/.config/autostart.
    static std::filesystem::path defaultFolder();
    explicit XdgAutostart(std::filesystem::path folder = defaultFolder());

    std::string read() override;
    void write(const std::filesystem::path& executable) override;
    void remove() noexcept override;

    std::filesystem::path entry() const;
    // The link that stands for an executable whose path the launchers cannot take.
    std::filesystem::path link() const;

private:
    std::filesystem::path folder_;
};

// The registry value under HKEY_LOCAL_MACHINE's Run key (Windows). The key is opened
// anew with full access for every operation and never created; `key` is a path below
// HKEY_LOCAL_MACHINE.
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

// The Exec value for a program path: as it is unless the desktop-entry format needs
// it quoted (blanks and other reserved characters), with its escapes; and back.
std::string execValueFor(const std::string& program);
std::string programFromExecValue(const std::string& value);

// Whether every launcher starts the program from an Exec holding this path.
bool launchersTakePath(const std::string& program);

}  // namespace tb
