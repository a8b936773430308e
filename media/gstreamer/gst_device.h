#pragma once

// One open device of the GStreamer media layer, as the user-interface thread sees it.
// Internal to the layer.

#include "media/gstreamer/gst_media_layer.h"
#include "media/gstreamer/playbin.h"
#include "core/worker.h"

#include <chrono>
#include <mutex>
#include <optional>

namespace tb {

// Hands calls from other threads to the poster while the layer exists; closed when
// the layer goes, so a worker or streaming thread that outlives it posts nowhere.
class GstMediaLayer::PostGate final {
public:
    explicit PostGate(Poster& poster) : poster_(&poster) {}
    void post(std::function<void()> call) {
        std::lock_guard lock(mutex_);
        if (poster_ != nullptr) poster_->post(std::move(call));
    }
    void close() {
        std::lock_guard lock(mutex_);
        poster_ = nullptr;
    }

private:
    std::mutex mutex_;
    Poster* poster_;
};

// Which device the events of a pipeline belong to; read on the user-interface thread
// only, so a pipeline can be made before its device exists.
struct DeviceLink {
    std::weak_ptr<GstMediaLayer::Device> device;
};

// The device's state is what the user-interface thread last decided or was told: a
// status request never waits for the pipeline. The position while playing is counted
// from the moment the pipeline was told to play, which is when the sound starts.
class GstMediaLayer::Device final : public std::enable_shared_from_this<Device> {
public:
    using SteadyClock = std::chrono::steady_clock;

    struct Parts {
        std::shared_ptr<Worker> worker;
        std::shared_ptr<Playbin> playbin;
        std::shared_ptr<DeviceLink> link;
        Playbin::Setup setup;
        Playbin::Opened opened;
        bool madeReadyAhead = false;
    };

    Device(std::uint16_t id, std::uint32_t deviceType, Parts parts, std::shared_ptr<PostGate> gate,
           const Options& options);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    std::uint32_t command(mci::Command command, std::uint32_t flags, MciParams& params);
    // Ends the device without waiting: an outstanding play notice is aborted and the
    // pipeline is released on the worker.
    void close();
    void setVolume(double volume);
    const std::string& file() const { return setup_.file; }

    // Called on the user-interface thread with what the pipeline reported.
    void onEvent(const StreamEvent& event);
    void onEnded(std::uint64_t epoch, std::optional<std::int64_t> lengthMs);

private:
    enum class Mode { Stopped, Playing, Paused };

    void notice(const std::weak_ptr<NoticeReceiver>& to, std::uint32_t code);
    void endPendingPlay(std::uint32_t code);
    std::int64_t position() const;
    std::int64_t endOfPlay() const { return playTo_.value_or(length_); }
    void hold(Mode mode);
    std::uint32_t play(std::uint32_t flags, MciParams& params);
    std::uint32_t status(std::uint32_t flags, MciParams& params) const;
    std::uint32_t capability(MciParams& params) const;

    const std::uint16_t id_;
    const std::uint32_t deviceType_;
    const Options& options_;
    std::shared_ptr<PostGate> gate_;
    std::shared_ptr<Worker> worker_;
    std::shared_ptr<Playbin> playbin_;
    std::shared_ptr<DeviceLink> link_;
    Playbin::Setup setup_;
    FileIdentity identity_;

    Mode mode_ = Mode::Stopped;
    std::uint64_t epoch_ = 0;
    std::int64_t length_ = 0;
    std::int64_t held_ = 0;               // position while not playing
    bool pipelineAtHeld_ = true;          // the pipeline stands where held_ says, never played from
    SteadyClock::time_point playedAt_{};  // when the current play started, at held_
    std::optional<std::int64_t> playTo_;  // where the current play stops, when not at the end
    bool broken_ = false;                 // the pipeline failed; the next play builds it anew
    bool released_ = false;               // played to its end and let go; the next play builds it anew
    bool mayRetry_ = false;               // made ready ahead and not yet heard: may be rebuilt once
    bool pending_ = false;
    std::weak_ptr<NoticeReceiver> pendingTo_;
};

// A pipeline made ready ahead for the next bell's file, until an open adopts it.
struct GstMediaLayer::Prepared {
    std::string file;
    Device::Parts parts;
    // What the preparation came to; written and read on the worker only.
    std::shared_ptr<std::optional<Playbin::Opened>> ready;
};

// Text of a code without the file it concerns.
std::string mediaErrorText(std::uint32_t code);

}  // namespace tb
