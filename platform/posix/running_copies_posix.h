#pragma once

#include "core/desktop/running_copies.h"
#include "core/playback/media_layer.h"

#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace tb {

// The running copies of this user on POSIX, in the user's runtime folder
// ($XDG_RUNTIME_DIR/tollbrook, else a folder of the user's own in /tmp): for each key a
// lock file, held with flock by the running copy (the system lets go of it when that
// copy ends, however it ends, so a killed copy never stops the next start), and a local
// socket beside it, on which the running copy takes "show" from later starts. The lock
// file is never removed: removing it would let a copy lock a new file while another
// still holds the old one.
class PosixRunningCopies final : public RunningCopies {
public:
    // `poster` queues the hand-overs onto the user-interface thread; `folder` empty: the
    // runtime folder as above.
    explicit PosixRunningCopies(Poster& poster, std::filesystem::path folder = {});
    ~PosixRunningCopies() override;
    PosixRunningCopies(const PosixRunningCopies&) = delete;
    PosixRunningCopies& operator=(const PosixRunningCopies&) = delete;

    std::string keyFor(const std::filesystem::path& folder) const override;
    bool claim(const std::string& key) override;
    bool handOver(const std::string& key) override;
    void listen(std::function<void()> bringBack) override;

    // The runtime folder as above; empty when none can be made safely.
    static std::filesystem::path defaultFolder();

private:
    void serve();

    Poster& poster_;
    std::filesystem::path folder_;
    std::filesystem::path socketPath_;
    int lock_ = -1;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::function<void()> bringBack_;
    std::thread server_;
};

}  // namespace tb
