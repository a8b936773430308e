#include "core/schedule/file_system.h"

#include "core/schedule/file_steps.h"

namespace tb {

std::string steps::withoutTrailingStop(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' ||
                             text.back() == '.' || text.back() == '\t')) {
        text.pop_back();
    }
    return text;
}

std::optional<ReplaceFailure> replaceFiles(const std::vector<FileReplacement>& files) {
    std::vector<std::filesystem::path> temps;
    auto abandon = [&](std::size_t index, std::string reason) {
        for (const auto& t : temps) steps::removeQuietly(t);
        return ReplaceFailure{index, std::move(reason)};
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto temp = steps::temporaryName(files[i].file);
        if (auto failure = steps::writeNewFile(temp, files[i].file, files[i].bytes)) {
            steps::removeQuietly(temp);
            return abandon(i, std::move(*failure));
        }
        temps.push_back(temp);
    }
    // A file that cannot be replaced, found before any name changes, leaves every file
    // as it was.
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (auto failure = steps::replaceable(files[i].file)) return abandon(i, std::move(*failure));
    }
    // Every new text is on disk: now the names change over, one quick step each. The old
    // files stay reachable under a second name meanwhile (where the volume has them), so
    // that a rename that fails half way can put back the ones done before it.
    std::vector<std::optional<std::filesystem::path>> backups(files.size());
    std::vector<bool> existed(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::filesystem::path backup = temps[i];
        backup += ".old";
        existed[i] = pathKind(files[i].file) != PathKind::Missing;
        if (existed[i] && steps::secondName(files[i].file, backup)) backups[i] = backup;
    }
    auto dropBackups = [&] {
        for (const auto& b : backups)
            if (b) steps::removeQuietly(*b);
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (auto failure = steps::renameOver(temps[i], files[i].file)) {
            for (std::size_t k = 0; k < i; ++k) {
                if (backups[k]) {
                    steps::renameOver(*backups[k], files[k].file);
                    backups[k].reset();
                } else if (!existed[k]) {
                    steps::removeQuietly(files[k].file);
                }
            }
            for (std::size_t k = i; k < temps.size(); ++k) steps::removeQuietly(temps[k]);
            dropBackups();
            return ReplaceFailure{i, std::move(*failure)};
        }
    }
    dropBackups();
    std::vector<std::filesystem::path> replaced;
    for (const auto& f : files) replaced.push_back(f.file);
    steps::flushFolders(replaced);
    return std::nullopt;
}

}  // namespace tb
