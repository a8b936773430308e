#pragma once

// The steps that replacing files together is made of, one implementation per platform
// (file_system_posix.cpp, file_system_win32.cpp); file_replacement.cpp puts them
// together the same way everywhere. Each step that can fail answers the system's
// reason in words, or nothing. Tests put a double in their place that cuts a
// replacement off after any step, as a power cut would.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

class FileSteps {
public:
    virtual ~FileSteps() = default;
    // A name beside `file` that no other writer uses: `file` + ".tmp<process>.<n>".
    virtual std::filesystem::path temporaryName(const std::filesystem::path& file) = 0;
    // Writes a new file (that must not exist yet) and flushes it to disk; it takes the
    // permissions of `like` where that is a file.
    virtual std::optional<std::string> writeNewFile(const std::filesystem::path& temp,
                                                    const std::filesystem::path& like, std::string_view bytes) = 0;
    // Whether `file` could be replaced now: not a folder, not read-only where that
    // forbids it, not held by another program without sharing.
    virtual std::optional<std::string> replaceable(const std::filesystem::path& file) = 0;
    // Renames `from` over `to` in one step.
    virtual std::optional<std::string> renameOver(const std::filesystem::path& from,
                                                  const std::filesystem::path& to) = 0;
    virtual void removeQuietly(const std::filesystem::path& file) = 0;
    // Makes the names created, renamed and removed in `folder` durable.
    virtual void flushFolder(const std::filesystem::path& folder) = 0;
    // The names of what `folder` holds, or none when it cannot be listed.
    virtual std::vector<std::filesystem::path> names(const std::filesystem::path& folder) = 0;
};

// This platform's steps.
FileSteps& platformFileSteps();

namespace steps {
// The system's words for an error as a reason: without trailing blanks, line breaks and
// full stops (the error box adds its own full stop).
std::string withoutTrailingStop(std::string text);
}  // namespace steps

}  // namespace tb
