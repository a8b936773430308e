#pragma once

#include "core/playback/media_layer.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

typedef struct _GstElement GstElement;

namespace tb {

// A failure that comes while a file plays (the sound output went away, the file turned
// out to be damaged); thrown from the posted call that reports it, so that it reaches
// the error box like any other failure.
class MediaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The media layer on GStreamer: each open device is one audio-only playbin to the
// default audio output (or to the sink a test supplies), driven from a worker thread
// of its own. The calling thread waits for a device at most `waitLimit` and never for
// a close.
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
        kNotRegularFile,
        kTimedOut,
    };

    struct Options {
        // Makes the audio sink of a new device; empty for the default audio output.
        std::function<GstElement*()> makeSink;
        // The General MIDI soundfont for MIDI files; empty to look in the system's folders.
        std::filesystem::path soundfont;
        // How long the caller waits for a device to open or to start playing.
        std::chrono::milliseconds waitLimit{2000};
        // How long a device's worker tries to make a file ready before it gives up.
        std::chrono::milliseconds prerollLimit{10000};
    };

    explicit GstMediaLayer(Poster& poster);
    GstMediaLayer(Poster& poster, Options options);
    ~GstMediaLayer() override;
    GstMediaLayer(const GstMediaLayer&) = delete;
    GstMediaLayer& operator=(const GstMediaLayer&) = delete;

    std::uint32_t sendCommand(std::uint16_t deviceId, mci::Command command, std::uint32_t flags,
                              MciParams& params) override;
    std::optional<std::string> errorText(std::uint32_t code) override;
    void prepare(const std::string& file) override;
    // A pipeline prerolls within tens of milliseconds, a MIDI file's soundfont included.
    int prepareAheadSeconds() const override { return 2; }
    void setVolume(std::uint32_t packed) override;

    std::size_t openDevices() const { return devices_.size(); }
    // The soundfont that MIDI files are played with, or empty when none was found.
    const std::filesystem::path& soundfont() const { return options_.soundfont; }

    class Device;
    class PostGate;
    struct Prepared;

private:
    // A pipeline for `file`, with its worker; its events go to whatever device the
    // link names.
    Prepared makePipeline(const std::string& file);
    void releasePrepared();
    std::uint32_t open(std::uint32_t flags, MciParams& params);
    std::uint32_t close(std::uint16_t id, std::uint32_t flags, MciParams& params);
    std::uint16_t nextId();
    std::uint32_t failed(std::uint32_t code, const std::string& file);

    std::shared_ptr<PostGate> gate_;
    Options options_;
    double volume_ = 1.0;
    std::uint16_t lastId_ = 0;
    std::map<std::uint16_t, std::shared_ptr<Device>> devices_;
    std::unique_ptr<Prepared> prepared_;  // the next bell's file, made ready ahead
    // The file of the latest failure of each code, which its text names.
    std::map<std::uint32_t, std::string> failedFiles_;
};

}  // namespace tb
