#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the schedule needs of the platform's files, one implementation per platform
// (file_system_posix.cpp, file_system_win32.cpp). Paths are std::filesystem paths; a
// UTF-8 text becomes one through std::filesystem::u8path only.
namespace tb {

// What a path names, found without opening it (opening a FIFO or a device can block).
enum class PathKind { Missing, Regular, Folder, Other, NoAccess };
PathKind pathKind(const std::filesystem::path& path);

// Where the system cannot say what a path is (access denied on the way): what the
// listing of its folder says, or nothing when the folder cannot be listed either.
// True when the name is listed and is not a folder.
std::optional<bool> listedAsNonFolder(const std::filesystem::path& path);

// What tells a file's contents from those of a file that has replaced or rewritten it
// since: where it lives, its size and the time of its last change.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of a file this process may read; nothing when it cannot be read or
// looked at. Reads nothing of the file; call it for a regular file only (pathKind), as
// opening a FIFO or a device can wait for ever.
std::optional<FileIdentity> readableFileIdentity(const std::filesystem::path& file);

// The bytes of a regular file, at most `limit` of them. On failure `failure` holds the
// system's reason in words (without a final full stop) and `bytes` is empty.
struct FileBytes {
    std::string bytes;
    std::string failure;
};
FileBytes readRegularFile(const std::filesystem::path& file, std::uint64_t limit);

// Schedule text without a byte-order mark is in the system's code page; the program
// works in UTF-8. On Linux the code page is UTF-8 and both are the text unchanged.
std::string systemCodePageToUtf8(std::string_view bytes);
// Nothing when the text holds a character the code page cannot represent.
std::optional<std::string> utf8ToSystemCodePage(std::string_view text);

// Whether a path of the schedule names its file wherever the program runs: "/..." on
// POSIX; on Windows "X:\...", "\\server\share\..." and "\\?\..." (either slash).
bool isFullPath(std::string_view path);

// The path made full as the platform does it. On Windows that is GetFullPathNameW's:
// std::filesystem::absolute (libstdc++) takes "\\server\share\..." and "\\?\..." for
// relative and puts the current drive before them.
std::filesystem::path fullPath(const std::filesystem::path& path);

// The running executable's full path.
std::filesystem::path executablePath();

}  // namespace tb
