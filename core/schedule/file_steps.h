#pragma once

// The steps that replacing several files together is made of, one implementation per
// platform (file_system_posix.cpp, file_system_win32.cpp); replaceFiles in
// file_system.cpp puts them together the same way everywhere. Each step that can fail
// answers the system's reason in words, or nothing.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb::steps {

// The system's words for an error as a reason: without trailing blanks, line breaks and
// full stops (the error box adds its own full stop).
std::string withoutTrailingStop(std::string text);

// A name beside `file` that no other writer uses: `file` + ".tmp<process>.<n>".
std::filesystem::path temporaryName(const std::filesystem::path& file);
// Writes a new file (that must not exist yet) and flushes it to disk; it takes the
// permissions of `like` where that is a file.
std::optional<std::string> writeNewFile(const std::filesystem::path& temp, const std::filesystem::path& like,
                                        std::string_view bytes);
// Whether `file` could be replaced now (another program may hold it without sharing).
std::optional<std::string> replaceable(const std::filesystem::path& file);
// A second name for an existing file; false where the volume has none.
bool secondName(const std::filesystem::path& file, const std::filesystem::path& name);
// Renames `from` over `to` in one step.
std::optional<std::string> renameOver(const std::filesystem::path& from, const std::filesystem::path& to);
void removeQuietly(const std::filesystem::path& file);
// Makes the renames in these files' folders durable.
void flushFolders(const std::vector<std::filesystem::path>& files);

}  // namespace tb::steps
