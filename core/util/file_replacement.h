#pragma once

#include "core/util/file_steps.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tb {

struct FileReplacement {
    std::filesystem::path file;
    std::string bytes;
};
struct ReplaceFailure {
    std::filesystem::path file;  // the file that failed
    std::string reason;          // the system's reason in words
};

// Replaces files together, so that whenever the process is cut off (killed, the power
// gone) the files are found all old or all new once finishReplacement has run:
// 1. every new text goes to a temporary file beside its file and is flushed to disk;
// 2. every old file is checked to be replaceable;
// 3. the commit: a record of the renames to come, `journal`, is written under a
//    temporary name and renamed into place, and the folder flushed;
// 4. each temporary file is renamed over its file, the folder flushed, the record
//    removed.
// A failure (or a cut) before the commit leaves every old file as it was; the temporary
// files of a failure are removed at once, those of a cut by removeLeftovers. After the
// commit the replacement is finished whatever comes: a rename that fails leaves the
// record, and finishReplacement completes it, at the next load or replacement.
// The files must share one folder, the journal's. Without a journal the files are
// renamed one after another, which only one file can do safely (a rename is one step). A new file gets mode 0666 less the umask (POSIX); an old file
// keeps its permissions.
std::optional<ReplaceFailure> replaceFiles(const std::vector<FileReplacement>& files,
                                           const std::filesystem::path& journal = {},
                                           FileSteps& steps = platformFileSteps());

// Finishes the replacement that `journal` records, if one is left (it was cut off after
// its commit), and removes the record. Fails, naming the file, when a file cannot be put
// in place; the record then stays for the next try.
std::optional<ReplaceFailure> finishReplacement(const std::filesystem::path& journal,
                                                FileSteps& steps = platformFileSteps());

// Removes what replacements of the files `names` in `folder` that were cut off before
// their commit left: "<name>.tmp<process>.<n>" (with ".old" too, as older versions of
// the program left them) and the journal's own temporary files. Call it after
// finishReplacement, with no replacement under way.
void removeLeftovers(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& names,
                     FileSteps& steps = platformFileSteps());

}  // namespace tb
