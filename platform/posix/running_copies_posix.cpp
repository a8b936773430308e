#include "platform/posix/running_copies_posix.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tb {
namespace {

constexpr char kShow[] = "show\n";
constexpr char kTaken = 'k';
constexpr int kAnswerMs = 2000;

// A folder of this user's own, made if missing: not a link, owned by the user, closed
// to others.
bool ownFolder(const std::filesystem::path& folder) {
    ::mkdir(folder.c_str(), 0700);
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

bool socketAddress(const std::filesystem::path& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    if (text.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return true;
}

// Waits up to `ms` for `fd` to be readable.
bool readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    int n;
    while ((n = ::poll(&p, 1, ms)) < 0 && errno == EINTR) {
    }
    return n > 0;
}

}  // namespace

std::filesystem::path PosixRunningCopies::defaultFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::filesystem::path folder;
    if (runtime != nullptr && std::filesystem::path(runtime).is_absolute()) {
        folder = std::filesystem::path(runtime) / "tollbrook";
    } else {
        folder = "/tmp/tollbrook-" + std::to_string(::getuid());
    }
    return ownFolder(folder) ? folder : std::filesystem::path();
}

PosixRunningCopies::PosixRunningCopies(Poster& poster, std::filesystem::path folder)
    : poster_(poster), folder_(folder.empty() ? defaultFolder() : std::move(folder)) {}

PosixRunningCopies::~PosixRunningCopies() {
    if (server_.joinable()) {
        const char stop = 0;
        [[maybe_unused]] const auto n = ::write(wake_[1], &stop, 1);
        server_.join();
    }
    for (int fd : {wake_[0], wake_[1], listener_}) {
        if (fd >= 0) ::close(fd);
    }
    // Still holding the lock: the socket is this copy's to remove.
    if (listener_ >= 0) ::unlink(socketPath_.c_str());
    if (lock_ >= 0) ::close(lock_);
}

std::string PosixRunningCopies::keyFor(const std::filesystem::path& folder) const {
    std::error_code ec;
    std::filesystem::path normal = std::filesystem::weakly_canonical(std::filesystem::absolute(folder, ec), ec);
    if (ec) normal = folder.lexically_normal();
    return runningCopyKey(normal.string());
}

bool PosixRunningCopies::claim(const std::string& key) {
    // Without a runtime folder of the user's own nothing can be shared safely: every
    // start runs, as before there was a rule.
    if (folder_.empty()) return true;
    const std::filesystem::path lockPath = folder_ / (key + ".lock");
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lock_ = fd;
    // A socket left by a copy that was killed is taken over.
    socketPath_ = folder_ / (key + ".socket");
    sockaddr_un address{};
    if (!socketAddress(socketPath_, address)) return true;
    ::unlink(socketPath_.c_str());
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ >= 0 && (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                           ::listen(listener_, 8) != 0)) {
        ::close(listener_);
        listener_ = -1;
    }
    return true;
}

bool PosixRunningCopies::handOver(const std::string& key) {
    sockaddr_un address{};
    if (folder_.empty() || !socketAddress(folder_ / (key + ".socket"), address)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool taken = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, kShow, sizeof kShow - 1, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof kShow - 1) &&
        readable(fd, kAnswerMs)) {
        char answer = 0;
        taken = ::recv(fd, &answer, 1, 0) == 1 && answer == kTaken;
    }
    ::close(fd);
    return taken;
}

void PosixRunningCopies::listen(std::function<void()> bringBack) {
    if (listener_ < 0 || server_.joinable() || ::pipe2(wake_, O_CLOEXEC) != 0) return;
    bringBack_ = std::move(bringBack);
    server_ = std::thread([this] { serve(); });
}

// Takes one request at a time: a later start says "show", hears that it was taken, and
// ends; the window comes back on the user-interface thread.
void PosixRunningCopies::serve() {
    for (;;) {
        pollfd p[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents != 0) return;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        char request[sizeof kShow - 1] = {};
        std::size_t got = 0;
        while (got < sizeof request && readable(client, kAnswerMs)) {
            const ssize_t n = ::recv(client, request + got, sizeof request - got, 0);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        if (got == sizeof request && std::memcmp(request, kShow, got) == 0) {
            poster_.post(bringBack_);
            ::send(client, &kTaken, 1, MSG_NOSIGNAL);
        }
        ::close(client);
    }
}

}  // namespace tb
