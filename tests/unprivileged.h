#pragma once

#include <functional>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace tb::test {

// Runs `body` where permission bits are obeyed: in a child process that has dropped to
// the "nobody" user when the tests run as root (root reads and writes anything), in
// this process otherwise. Returns what `body` returned.
inline std::string withoutPrivileges(const std::function<std::string()>& body) {
    if (::geteuid() != 0) return body();
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string out = (::setgid(65534) == 0 && ::setuid(65534) == 0) ? body() : "setuid failed";
        (void)!::write(fds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}

}  // namespace tb::test
