#include "core/util/file_system.h"
#include "core/util/file_steps.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace tb {
namespace {

// The system's text for an errno value, without trailing blanks, breaks and full stops.
std::string reasonFor(int error) {
    return steps::withoutTrailingStop(std::error_code(error, std::generic_category()).message());
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

std::optional<FileIdentity> readableFileIdentity(const std::filesystem::path& file) {
    struct stat st {};
    if (::access(file.c_str(), R_OK) != 0 || ::stat(file.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                        static_cast<std::int64_t>(st.st_size),
                        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
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

namespace {

class PosixFileSteps final : public FileSteps {
public:
    std::filesystem::path temporaryName(const std::filesystem::path& file) override {
        std::filesystem::path temp = file;
        temp += ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter_++);
        return temp;
    }

    std::optional<std::string> writeNewFile(const std::filesystem::path& temp, const std::filesystem::path& like,
                                            std::string_view bytes) override {
        Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0) return reasonFor(errno);
        struct stat old {};
        if (!like.empty() && ::stat(like.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
            (void)::fchmod(fd.get(), old.st_mode & 07777);
        }
        if (const int error = writeAll(fd.get(), bytes)) return reasonFor(error);
        if (::fsync(fd.get()) != 0 || fd.close() != 0) return reasonFor(errno);
        return std::nullopt;
    }

    // A read-only file in a folder that may be written is replaced, keeping its mode; a
    // folder cannot be.
    std::optional<std::string> replaceable(const std::filesystem::path& file) override {
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return reasonFor(EISDIR);
        return std::nullopt;
    }

    std::optional<std::string> renameOver(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) return reasonFor(errno);
        return std::nullopt;
    }

    void removeQuietly(const std::filesystem::path& file) override { ::unlink(file.c_str()); }

    // A rename is durable only once its folder is.
    void flushFolder(const std::filesystem::path& folder) override {
        Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() >= 0) (void)::fsync(dir.get());
    }

    std::vector<std::filesystem::path> names(const std::filesystem::path& folder) override {
        std::vector<std::filesystem::path> out;
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) return out;
        while (const dirent* entry = ::readdir(dir)) out.emplace_back(entry->d_name);
        ::closedir(dir);
        return out;
    }

private:
    std::atomic<unsigned> counter_{0};
};

}  // namespace

// Never destroyed: a worker let go on a hung share may still use it as the process ends.
FileSteps& platformFileSteps() {
    static auto* const steps = new PosixFileSteps;
    return *steps;
}

std::string systemCodePageToUtf8(std::string_view bytes) { return std::string(bytes); }

std::optional<std::string> utf8ToSystemCodePage(std::string_view text) { return std::string(text); }

bool isFullPath(std::string_view path) { return path.starts_with('/'); }

std::filesystem::path fullPath(const std::filesystem::path& path) {
    std::error_code ec;
    auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full;
}

std::filesystem::path executablePath() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path() / "tollbrook";
    return exe;
}

}  // namespace tb
