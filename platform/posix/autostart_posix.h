#pragma once

#include "core/desktop/autostart.h"

#include <filesystem>
#include <string>

namespace tb {

// An XDG autostart entry, <name>.desktop in the user's autostart folder, whose Exec is
// the executable's full path. Its TryExec names the same file (a plain string value,
// not a command line), so that once the program is removed the launchers skip the
// entry instead of trying to start a program that is gone.
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

// The Exec value for a program path: as it is unless the desktop-entry format needs
// it quoted (blanks and other reserved characters), with its escapes; and back.
std::string execValueFor(const std::string& program);
std::string programFromExecValue(const std::string& value);

// Whether every launcher starts the program from an Exec holding this path.
bool launchersTakePath(const std::string& program);

}  // namespace tb
