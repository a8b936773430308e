#pragma once

#include <filesystem>
#include <string_view>

#include <sys/types.h>

namespace tb {

// Replaces `file` as a whole with `bytes`: they go to a temporary file in the same
// folder, which is flushed to disk and renamed over the old one (keeping its
// permissions; a new file gets `mode` less the umask). Answers 0, or the errno of the
// step that failed; then the old file is as it was and no temporary file is left.
int replaceFile(const std::filesystem::path& file, std::string_view bytes, mode_t mode = 0666);

}  // namespace tb
