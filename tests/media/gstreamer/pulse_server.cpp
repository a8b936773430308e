#include "tests/media/gstreamer/pulse_server.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tb::test {
namespace {

bool answers(const std::filesystem::path& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

PulseServer::PulseServer(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
}

PulseServer::~PulseServer() { stop(); }

bool PulseServer::installed() { return std::system("command -v pulseaudio >/dev/null 2>&1") == 0; }

void PulseServer::use() const {
    ::setenv("PULSE_RUNTIME_PATH", folder_.c_str(), 1);
    ::setenv("PULSE_SERVER", ("unix:" + (folder_ / "native").string()).c_str(), 1);
}

bool PulseServer::start() {
    stop();
    use();
    const std::string sink = std::string("--load=module-null-sink sink_name=") + kSink + " norewinds=1";
    const std::string native = "--load=module-native-protocol-unix socket=" + (folder_ / "native").string();
    const std::string log = "--log-target=file:" + (folder_ / "server.log").string();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::setenv("PULSE_RUNTIME_PATH", folder_.c_str(), 1);
        ::execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                 sink.c_str(), native.c_str(), log.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 100; ++i) {
        if (answers(folder_ / "native")) {
            // The default sink decides where new streams go.
            return std::system(("pactl set-default-sink " + std::string(kSink) + " >/dev/null 2>&1").c_str()) == 0;
        }
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ostringstream why;
    why << "the private sound server did not start: " << std::ifstream(folder_ / "server.log").rdbuf();
    error_ = why.str();
    return false;
}

void PulseServer::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    std::error_code ec;
    std::filesystem::remove(folder_ / "native", ec);
}

}  // namespace tb::test
