#include "core/schedule/file_system.h"
#include "core/schedule/file_steps.h"

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

namespace steps {

std::filesystem::path temporaryName(const std::filesystem::path& file) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temp = file;
    temp += ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter++);
    return temp;
}

std::optional<std::string> writeNewFile(const std::filesystem::path& temp, const std::filesystem::path& like,
                                        std::string_view bytes) {
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) return reasonFor(errno);
    struct stat old {};
    if (::stat(like.c_str(), &old) == 0 && S_ISREG(old.st_mode)) (void)::fchmod(fd.get(), old.st_mode & 07777);
    if (const int error = writeAll(fd.get(), bytes)) return reasonFor(error);
    if (::fsync(fd.get()) != 0 || fd.close() != 0) return reasonFor(errno);
    return std::nullopt;
}

// Nothing holds a file against a rename here.
std::optional<std::string> replaceable(const std::filesystem::path&) { return std::nullopt; }

bool secondName(const std::filesystem::path& file, const std::filesystem::path& name) {
    return ::link(file.c_str(), name.c_str()) == 0;
}

std::optional<std::string> renameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return reasonFor(errno);
    return std::nullopt;
}

void removeQuietly(const std::filesystem::path& file) { ::unlink(file.c_str()); }

// A rename is durable only once its folder is.
void flushFolders(const std::vector<std::filesystem::path>& files) {
    std::set<std::filesystem::path> folders;
    for (const auto& f : files) folders.insert(f.has_parent_path() ? f.parent_path() : ".");
    for (const auto& folder : folders) {
        Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() >= 0) (void)::fsync(dir.get());
    }
}

}  // namespace steps

std::string systemCodePageToUtf8(std::string_view bytes) { return std::string(bytes); }

std::optional<std::string> utf8ToSystemCodePage(std::string_view text) { return std::string(text); }

std::filesystem::path executablePath() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path() / "tollbrook";
    return exe;
}

}  // namespace tb
