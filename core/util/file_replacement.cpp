#include "core/util/file_replacement.h"

#include "core/util/file_system.h"

#include <cctype>
#include <string_view>

namespace tb {
namespace {

constexpr std::string_view kJournalHeader = "tollbrook replacement 1\n";
constexpr std::string_view kJournalEnd = "end\n";
constexpr std::uint64_t kLargestJournal = 1 << 20;

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

std::filesystem::path folderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// One rename the journal records: a temporary file of `size` bytes, and the file it
// goes over; both by their names in the journal's folder.
struct Rename {
    std::uint64_t size = 0;
    std::filesystem::path temp, file;
};

std::string journalText(const std::vector<Rename>& renames) {
    std::string text(kJournalHeader);
    for (const auto& r : renames) {
        text += std::to_string(r.size) + "\t" + utf8(r.temp.filename()) + "\t" + utf8(r.file.filename()) + "\n";
    }
    text += kJournalEnd;
    return text;
}

// The renames of a journal, or nothing when it is not one whole (it was written under
// another name and renamed into place, so a journal found is one whole, unless a file
// system broke that promise).
std::optional<std::vector<Rename>> parseJournal(std::string_view text, const std::filesystem::path& folder) {
    if (!text.starts_with(kJournalHeader) || !text.ends_with(kJournalEnd)) return std::nullopt;
    text = text.substr(kJournalHeader.size(), text.size() - kJournalHeader.size() - kJournalEnd.size());
    std::vector<Rename> renames;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const auto tab1 = line.find('\t');
        const auto tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos || tab1 == 0) return std::nullopt;
        Rename r;
        for (const char c : line.substr(0, tab1)) {
            if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
            r.size = r.size * 10 + static_cast<std::uint64_t>(c - '0');
        }
        const auto name = [](std::string_view s) { return std::filesystem::path(std::u8string(s.begin(), s.end())); };
        r.temp = folder / name(line.substr(tab1 + 1, tab2 - tab1 - 1));
        r.file = folder / name(line.substr(tab2 + 1));
        renames.push_back(std::move(r));
    }
    return renames;
}

// Puts the temporary files of a committed replacement in place, from the first that is
// still there; one already renamed is gone.
std::optional<ReplaceFailure> renameAll(const std::vector<Rename>& renames, FileSteps& steps) {
    for (const auto& r : renames) {
        if (pathKind(r.temp) == PathKind::Missing) continue;
        if (auto failure = steps.renameOver(r.temp, r.file)) return ReplaceFailure{r.file, std::move(*failure)};
    }
    return std::nullopt;
}

bool isDigits(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// Whether `name` is "<base>.tmp<digits>.<digits>", or that with ".old".
bool isTemporaryOf(std::string_view name, std::string_view base) {
    if (name.ends_with(".old")) name.remove_suffix(4);
    if (!name.starts_with(base)) return false;
    name.remove_prefix(base.size());
    if (!name.starts_with(".tmp")) return false;
    name.remove_prefix(4);
    const auto dot = name.find('.');
    return dot != std::string_view::npos && isDigits(name.substr(0, dot)) && isDigits(name.substr(dot + 1));
}

}  // namespace

std::string steps::withoutTrailingStop(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' ||
                             text.back() == '.' || text.back() == '\t')) {
        text.pop_back();
    }
    return text;
}

std::optional<ReplaceFailure> replaceFiles(const std::vector<FileReplacement>& files,
                                           const std::filesystem::path& journal, FileSteps& steps) {
    const bool journaled = !journal.empty();
    // A replacement left committed but unfinished goes first: the files must agree
    // before new texts go over them.
    if (journaled) {
        if (auto failure = finishReplacement(journal, steps)) return failure;
    }
    std::vector<Rename> renames;
    auto abandon = [&](ReplaceFailure failure) {
        for (const auto& r : renames) steps.removeQuietly(r.temp);
        return failure;
    };
    for (const auto& f : files) {
        Rename r{f.bytes.size(), steps.temporaryName(f.file), f.file};
        if (auto failure = steps.writeNewFile(r.temp, f.file, f.bytes)) {
            steps.removeQuietly(r.temp);
            return abandon({f.file, std::move(*failure)});
        }
        renames.push_back(std::move(r));
    }
    // A file that cannot be replaced, found before any name changes, leaves every file
    // as it was.
    for (const auto& f : files) {
        if (auto failure = steps.replaceable(f.file)) return abandon({f.file, std::move(*failure)});
    }
    const std::filesystem::path folder = folderOf(files.empty() ? journal : files.front().file);
    if (journaled) {
        // The commit: from here on the new texts are the files' whatever happens.
        const auto temp = steps.temporaryName(journal);
        auto failure = steps.writeNewFile(temp, {}, journalText(renames));
        if (!failure) failure = steps.renameOver(temp, journal);
        if (failure) {
            steps.removeQuietly(temp);
            return abandon({journal, std::move(*failure)});
        }
        steps.flushFolder(folder);
    }
    if (auto failure = renameAll(renames, steps)) {
        // Committed: the journal stays, and the next load or save finishes the renames.
        if (!journaled) steps.removeQuietly(renames.front().temp);
        return failure;
    }
    steps.flushFolder(folder);
    if (journaled) steps.removeQuietly(journal);
    return std::nullopt;
}

std::optional<ReplaceFailure> finishReplacement(const std::filesystem::path& journal, FileSteps& steps) {
    if (pathKind(journal) == PathKind::Missing) return std::nullopt;
    const FileBytes read = readRegularFile(journal, kLargestJournal);
    if (!read.failure.empty()) return ReplaceFailure{journal, read.failure};
    const std::filesystem::path folder = folderOf(journal);
    // A record that is not whole was never committed: nothing was renamed after it.
    if (const auto renames = parseJournal(read.bytes, folder)) {
        for (const auto& r : *renames) {
            // A temporary file that is not what was committed (a file system that lost
            // part of it) must not go over a good file.
            if (pathKind(r.temp) != PathKind::Regular) continue;
            const auto found = readableFileIdentity(r.temp);
            if (found && static_cast<std::uint64_t>(found->size) != r.size) steps.removeQuietly(r.temp);
        }
        if (auto failure = renameAll(*renames, steps)) return failure;
    }
    steps.flushFolder(folder);
    steps.removeQuietly(journal);
    // Gone for good before any new temporary file can take a name it records.
    steps.flushFolder(folder);
    return std::nullopt;
}

void removeLeftovers(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& names,
                     FileSteps& steps) {
    for (const auto& entry : steps.names(folder)) {
        const std::string name = utf8(entry.filename());
        for (const auto& base : names) {
            if (isTemporaryOf(name, utf8(base))) {
                steps.removeQuietly(folder / entry.filename());
                break;
            }
        }
    }
}

}  // namespace tb
