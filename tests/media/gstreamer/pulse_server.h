#pragma once

#include <filesystem>
#include <string>

#include <sys/types.h>

namespace tb::test {

// A PulseAudio server of the test's own with one null sink, which the test can stop
// and start again; clients reach it once `use()` has pointed PULSE_SERVER at it.
class PulseServer final {
public:
    static constexpr const char* kSink = "private_test";

    explicit PulseServer(std::filesystem::path folder);
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Points this process's sound clients at the server, running or not.
    void use() const;
    // Starts it and waits until it answers; false (with the reason in `error`) if not.
    bool start();
    void stop();

    static bool installed();
    const std::string& error() const { return error_; }

private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
    std::string error_;
};

}  // namespace tb::test
