#include "platform/posix/autostart_posix.h"

#include "core/util/file_replacement.h"
#include "core/util/file_system.h"
#include "platform/posix/config_folder_posix.h"

#include <sstream>

namespace tb {
namespace {

std::string message(const char* what) { return std::string(what) + " for '" + kAutostartName + "'"; }

// The text of a failure, then what failed with which file, and why.
AutostartError failure(const char* what, const std::string& detail) {
    return AutostartError(message(what) + ". " + detail);
}

std::string quoted(const std::filesystem::path& p) { return "\"" + p.string() + "\""; }

std::string reason(const std::error_code& error) { return error.message(); }

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

// Backslash escapes of desktop-entry string values.
std::string escapeString(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

std::string unescapeString(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        switch (c) {
            case 's': out += ' '; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

std::string execValueFor(const std::string& program) {
    std::string arg;
    const bool quote = program.find_first_of(kReserved) != std::string::npos;
    for (char c : program) {
        if (c == '%') {
            arg += "%%";
        } else if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            arg += '\\';
            arg += c;
        } else {
            arg += c;
        }
    }
    return escapeString(quote ? "\"" + arg + "\"" : arg);
}

std::string programFromExecValue(const std::string& value) {
    const std::string arg = unescapeString(value);
    std::string out;
    const bool quoted = arg.size() >= 2 && arg.front() == '"' && arg.back() == '"';
    const std::string body = quoted ? arg.substr(1, arg.size() - 2) : arg;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (quoted && body[i] == '\\' && i + 1 < body.size()) {
            out += body[++i];
        } else if (body[i] == '%' && i + 1 < body.size() && body[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += body[i];
        }
    }
    return out;
}

bool launchersTakePath(const std::string& program) {
    constexpr std::string_view kPlain = "/._-+,@:= ";
    for (const char c : program) {
        const auto u = static_cast<unsigned char>(c);
        const bool letterOrDigit = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
        if (!letterOrDigit && u < 0x80 && kPlain.find(c) == std::string_view::npos) return false;
    }
    return true;
}

std::filesystem::path XdgAutostart::defaultFolder() {
    const std::filesystem::path config = configFolder();
    return config.empty() ? config : config / "autostart";
}

XdgAutostart::XdgAutostart(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path XdgAutostart::entry() const { return folder_ / (std::string(kAutostartName) + ".desktop"); }

std::filesystem::path XdgAutostart::link() const { return folder_ / (std::string(kAutostartName) + ".program"); }

std::string XdgAutostart::read() {
    if (folder_.empty()) return {};  // no home: nothing can be registered
    const std::filesystem::path file = entry();
    switch (pathKind(file)) {
        case PathKind::Missing: return {};
        case PathKind::Folder: throw failure("Invalid data type", quoted(file) + " is a folder");
        default: break;
    }
    const FileBytes bytes = readRegularFile(file, 1 << 20);
    if (!bytes.failure.empty()) throw failure("Failed to get data", "Cannot read " + quoted(file) + ": " + bytes.failure);
    std::istringstream in(bytes.bytes);
    std::string line;
    bool inEntry = false;
    bool sawEntry = false;
    std::string exec;
    bool hidden = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            sawEntry = sawEntry || inEntry;
            continue;
        }
        if (!inEntry) continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        auto key = line.substr(0, eq);
        while (!key.empty() && key.back() == ' ') key.pop_back();
        std::string value = line.substr(eq + 1);
        while (!value.empty() && value.front() == ' ') value.erase(0, 1);
        if (key == "Exec") exec = value;
        if (key == "Hidden") hidden = value == "true";
    }
    if (!sawEntry) throw failure("Invalid data type", quoted(file) + " is not a desktop entry");
    if (hidden) return {};  // an entry switched off counts as none
    const std::string program = programFromExecValue(exec);
    if (program == link().string()) {
        std::error_code linkError;
        const auto target = std::filesystem::read_symlink(link(), linkError);
        if (!linkError) return target.string();
    }
    return program;
}

void XdgAutostart::write(const std::filesystem::path& executable) {
    // Never "/.config/autostart" in the place of a home that is not known.
    if (folder_.empty()) {
        throw failure("Failed to set data", "No home folder is known to keep the entry in: HOME is not set, and the account names none");
    }
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (ec || !std::filesystem::is_directory(folder_, ec)) {
        const std::error_code why = ec ? ec : std::make_error_code(std::errc::not_a_directory);
        throw failure("Failed to set data", "Cannot create the folder " + quoted(folder_) + ": " + reason(why));
    }
    std::string program = executable.string();
    if (!launchersTakePath(program) && launchersTakePath(link().string())) {
        // A fresh link under a temporary name, renamed over the old one: the entry never
        // names a link that is missing or points elsewhere.
        const auto fresh = folder_ / (std::string(kAutostartName) + ".program.new");
        std::filesystem::remove(fresh, ec);
        std::filesystem::create_symlink(executable, fresh, ec);
        if (!ec) std::filesystem::rename(fresh, link(), ec);
        if (ec) {
            const std::string why = reason(ec);
            std::filesystem::remove(fresh, ec);
            throw failure("Failed to set data", "Cannot create " + quoted(link()) + ": " + why);
        }
        program = link().string();
    }
    const std::string text = "[Desktop Entry]\nType=Application\nName=Tollbrook\nComment=Rings the school bells\n"
                             "Exec=" + execValueFor(program) + "\nTryExec=" + escapeString(program) +
                             "\nIcon=org.tollbrook.Tollbrook\nTerminal=false\n"
                             "X-GNOME-Autostart-enabled=true\n";
    if (const auto failed = replaceFiles({{entry(), text}})) {
        throw failure("Failed to set data", "Cannot create " + quoted(failed->file) + ": " + failed->reason);
    }
    if (program != link().string()) std::filesystem::remove(link(), ec);  // a link left from an earlier path
}

void XdgAutostart::remove() noexcept {
    std::error_code ignored;
    std::filesystem::remove(entry(), ignored);
    std::filesystem::remove(link(), ignored);
}

}  // namespace tb
