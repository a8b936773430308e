#pragma once

#include "core/playback/media_layer.h"
#include "media/mci/wave_volume.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace tb {

class Worker;

// The media layer on Windows' Media Control Interface. The requests are MCI's own, so
// they go to mciSendCommandW as they are, each device's on a worker thread of its own:
// an open of a file on a hung share holds up that worker, never the caller, who waits
// at most `waitLimit` and never for a close. Completion notices come to a message-only
// window on the layer's notice thread and are handed to the user-interface thread
// through the poster.
class MciMediaLayer final : public MediaLayer, public OutputVolume {
public:
    // Error codes of this layer beside MCI's own; errorText gives their texts.
    enum ErrorCode : std::uint32_t {
        kTimedOut = 0x10000,  // the device did not answer in time
        kNoMidiOutput,        // a MIDI file, and no MIDI output device to play it on
    };

    struct Options {
        std::chrono::milliseconds waitLimit{2000};
    };

    explicit MciMediaLayer(Poster& poster);
    MciMediaLayer(Poster& poster, Options options);
    ~MciMediaLayer() override;
    MciMediaLayer(const MciMediaLayer&) = delete;
    MciMediaLayer& operator=(const MciMediaLayer&) = delete;

    std::uint32_t sendCommand(std::uint16_t deviceId, mci::Command command, std::uint32_t flags,
                              MciParams& params) override;
    std::optional<std::string> errorText(std::uint32_t code) override;
    void setVolume(std::uint32_t packed) override;

    std::size_t openDevices() const { return devices_.size(); }
    std::uint32_t lastVolumeResult() const { return volume_.lastResult(); }

    struct Notices;

private:
    struct Device {
        std::shared_ptr<Worker> worker;
        std::string file;
    };
    std::uint32_t open(std::uint32_t flags, MciParams& params);
    std::uint32_t close(std::uint16_t id);
    std::uint32_t failed(std::uint32_t code, const std::string& file);

    std::shared_ptr<Notices> notices_;
    std::thread noticeThread_;
    Options options_;
    WaveOutVolume volume_;
    std::map<std::uint16_t, Device> devices_;
    std::map<std::uint32_t, std::string> failedFiles_;
    std::uint64_t lastAlias_ = 0;
};

}  // namespace tb
