#include "schedule/replace_file.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tb {

int replaceFile(const std::filesystem::path& file, std::string_view bytes, mode_t mode) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temp = file;
    temp += ".tmp" + std::to_string(::getpid()) + "." + std::to_string(counter++);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return errno;
    auto abandon = [&](int error) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        return error;
    };
    struct stat old {};
    if (::stat(file.c_str(), &old) == 0 && S_ISREG(old.st_mode)) (void)::fchmod(fd, old.st_mode & 07777);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return abandon(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) return abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return error;
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return error;
    }
    return 0;
}

}  // namespace tb
