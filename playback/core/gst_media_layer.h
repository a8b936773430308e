#pragma once

#include "playback/core/media_layer.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

typedef struct _GstElement GstElement;

namespace tb {

// The media layer on GStreamer: each open device is one audio-only playbin to the
// default audio output (or to the sink a test supplies).
class GstMediaLayer final : public MediaLayer, public OutputVolume {
public:
    // Error codes of this layer; errorText gives their texts.
    enum ErrorCode : std::uint32_t {
        kInvalidDevice = 257,
        kUnsupportedCommand,
        kBadStatusItem,
        kNoFileName,
        kFileNotFound,
        kIsFolder,
        kCannotRead,
        kCannotDecode,
        kNoSoundfont,
        kNoAudioOutput,
        kOpenTimedOut,
        kOutOfRange,
        kBadTimeFormat,
        kNotPaused,
        kPlaybackFailed,
        kMediaLayerMissing,
        kUnsupportedDeviceType,
    };

    struct Options {
        // Makes the audio sink of a new device; empty for the default audio output.
        std::function<GstElement*()> makeSink;
        // The General MIDI soundfont for MIDI files; empty to look in the system's folders.
        std::filesystem::path soundfont;
        // How long an open may take to have the file ready to play.
        std::chrono::milliseconds openTimeout{10000};
    };

    explicit GstMediaLayer(Poster& poster);
    GstMediaLayer(Poster& poster, Options options);
    ~GstMediaLayer() override;
    GstMediaLayer(const GstMediaLayer&) = delete;
    GstMediaLayer& operator=(const GstMediaLayer&) = delete;

    std::uint32_t sendCommand(std::uint16_t deviceId, mci::Command command, std::uint32_t flags,
                              MciParams& params) override;
    std::optional<std::string> errorText(std::uint32_t code) override;
    void setVolume(std::uint32_t packed) override;

    std::size_t openDevices() const { return devices_.size(); }
    // The soundfont that MIDI files are played with, or empty when none was found.
    const std::filesystem::path& soundfont() const { return options_.soundfont; }

    class Device;

private:
    std::uint32_t open(std::uint32_t flags, MciParams& params);
    std::uint32_t close(std::uint16_t id, std::uint32_t flags, MciParams& params);
    std::uint16_t nextId();

    Poster& poster_;
    Options options_;
    double volume_ = 1.0;
    std::uint16_t lastId_ = 0;
    std::map<std::uint16_t, std::shared_ptr<Device>> devices_;
};

}  // namespace tb
