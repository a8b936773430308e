#include "schedule/file_system.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace tb {
namespace {

// The system's text for an errno value, without trailing blanks, breaks and full stops.
std::string reasonFor(int error) {
    std::string text = std::error_code(error, std::generic_category()).message();
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' ||
                             text.back() == '.' || text.back() == '\t')) {
        text.pop_back();
    }
    return text;
}

class Fd final {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int close() { return fd_ >= 0 ? ::close(std::exchange(fd_, -1)) : 0; }

private:
    int fd_;
};

// Writes all of `bytes`; answers 0 or the errno.
int writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

PathKind pathKind(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::NoAccess;
    }
    if (S_ISDIR(st.st_mode)) return PathKind::Folder;
    return S_ISREG(st.st_mode) ? PathKind::Regular : PathKind::Other;
}

std::optional<bool> listedAsNonFolder(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const std::string name = path.filename().string();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return std::nullopt;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (name == entry->d_name) {
            found = entry->d_type != DT_DIR;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

FileBytes readRegularFile(const std::filesystem::path& file, std::uint64_t limit) {
    FileBytes out;
    // Not blocking: opening a FIFO would otherwise wait for a writer for ever.
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        out.failure = reasonFor(errno);
        return out;
    }
    if (S_ISDIR(st.st_mode)) {
        out.failure = reasonFor(EISDIR);
        return out;
    }
    // A FIFO, a device or a socket never ends, or ends when it likes.
    if (!S_ISREG(st.st_mode)) {
        out.failure = "Not a regular file";
        return out;
    }
    if (static_cast<std::uint64_t>(st.st_size) > limit) {
        out.failure = reasonFor(EFBIG);
        return out;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            out.failure = reasonFor(errno);
            return out;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > limit) {  // it grew while being read
            out.failure = reasonFor(EFBIG);
            return out;
        }
    }
    out.bytes = std::move(bytes);
    return out;
}

std::optional<ReplaceFailure> replaceFiles(const std::vector<FileReplacement>& files) {
    static std::atomic<unsigned> counter{0};
    std::vector<std::filesystem::path> temps;
    auto abandon = [&](std::size_t index, int error) {
        for (const auto& t : temps) ::unlink(t.c_str());
        return ReplaceFailure{index, reasonFor(error)};
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::filesystem::path temp = files[i].file;
        temp += ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter++);
        Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0) return abandon(i, errno);
        temps.push_back(temp);
        struct stat old {};
        if (::stat(files[i].file.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
            (void)::fchmod(fd.get(), old.st_mode & 07777);
        }
        if (const int error = writeAll(fd.get(), files[i].bytes)) return abandon(i, error);
        if (::fsync(fd.get()) != 0 || fd.close() != 0) return abandon(i, errno);
    }
    // Every new text is on disk: now the names change over, one quick step each. The old
    // files stay reachable under a second name meanwhile, so that a rename that fails
    // half way can put back the ones done before it.
    std::vector<std::optional<std::filesystem::path>> backups(files.size());
    std::vector<bool> existed(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::filesystem::path backup = temps[i];
        backup += ".old";
        existed[i] = pathKind(files[i].file) != PathKind::Missing;
        if (existed[i] && ::link(files[i].file.c_str(), backup.c_str()) == 0) backups[i] = backup;
    }
    auto dropBackups = [&] {
        for (const auto& b : backups)
            if (b) ::unlink(b->c_str());
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (::rename(temps[i].c_str(), files[i].file.c_str()) != 0) {
            const int error = errno;
            for (std::size_t k = 0; k < i; ++k) {
                if (backups[k]) {
                    ::rename(backups[k]->c_str(), files[k].file.c_str());
                    backups[k].reset();
                } else if (!existed[k]) {
                    ::unlink(files[k].file.c_str());
                }
            }
            for (std::size_t k = i; k < temps.size(); ++k) ::unlink(temps[k].c_str());
            dropBackups();
            return ReplaceFailure{i, reasonFor(error)};
        }
    }
    dropBackups();
    // A rename is durable only once its folder is.
    std::set<std::filesystem::path> folders;
    for (const auto& f : files) folders.insert(f.file.has_parent_path() ? f.file.parent_path() : ".");
    for (const auto& folder : folders) {
        Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() >= 0) (void)::fsync(dir.get());
    }
    return std::nullopt;
}

std::string systemCodePageToUtf8(std::string_view bytes) { return std::string(bytes); }

std::optional<std::string> utf8ToSystemCodePage(std::string_view text) { return std::string(text); }

std::filesystem::path executablePath() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path() / "tollbrook";
    return exe;
}

}  // namespace tb
