#pragma once

#include "core/playback/media_layer.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace tb {

// The poster of a Windows user-interface thread: calls queue under a lock, and one wake
// message to a message-only window of that thread runs all that queued, in order,
// from its message loop. Made and destroyed on the thread whose loop runs the calls.
class WindowPoster final : public Poster {
public:
    WindowPoster();
    ~WindowPoster() override;
    WindowPoster(const WindowPoster&) = delete;
    WindowPoster& operator=(const WindowPoster&) = delete;

    void post(std::function<void()> call) override;

    // Runs what is queued now (the window does this when its wake message comes).
    void runQueued();

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace tb
