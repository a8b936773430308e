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
class MciAnswers;

// The media layer on Windows' Media Control Interface. The requests are MCI's own, so
// they go to mciSendCommandW as they are, each device's on a worker thread of its own:
// an open of a file on a hung share holds up that worker, never the caller, who waits
// at most `waitLimit` and never for a close. Completion notices come to a message-only
// window on the layer's notice thread and are handed to the user-interface thread
// through the poster.
//
// The next bell's file is opened ahead on a device of its own (prepare), and the open
// of that file at its second takes that device over: the open ahead has had the
// seconds until then, and the open at the second waits for it only as long as for any
// other request.
class MciMediaLayer final : public MediaLayer, public OutputVolume {
public:
    // Error codes of this layer beside MCI's own; errorText gives their texts.
    enum ErrorCode : std::uint32_t {
        kTimedOut = 0x10000,  // the device did not answer in time
        kNoMidiOutput,        // a MIDI file, and no MIDI output device to play it on
        kPathTooLong,         // a path too long for MCI, and no short form of it
    };

    // Opening an MP3, MP2 or MIDI file on MPEGVideo took up to 0.35 s under Wine on a
    // quiet two-core machine and up to 3.8 s under load (scripts/bench-windows.sh); a
    // virus scan of the file or a slow share adds to it. Opened this far ahead, such a
    // file is ready at its second, and its bell is lost only after 7 s.
    static constexpr int kPrepareAheadSeconds = 5;

    struct Options {
        std::chrono::milliseconds waitLimit{2000};
        // For tests: each open first waits this long on its worker, as on a slow share.
        std::chrono::milliseconds openDelay{0};
    };

    explicit MciMediaLayer(Poster& poster);
    MciMediaLayer(Poster& poster, Options options);
    ~MciMediaLayer() override;
    MciMediaLayer(const MciMediaLayer&) = delete;
    MciMediaLayer& operator=(const MciMediaLayer&) = delete;

    std::uint32_t sendCommand(std::uint16_t deviceId, mci::Command command, std::uint32_t flags,
                              MciParams& params) override;
    std::optional<std::string> errorText(std::uint32_t code) override;
    void prepare(const std::string& file) override;
    int prepareAheadSeconds() const override { return kPrepareAheadSeconds; }
    void setVolume(std::uint32_t packed) override;

    std::size_t openDevices() const { return devices_.size(); }
    std::uint32_t lastVolumeResult() const { return volume_.lastResult(); }

    struct Notices;
    struct Opening;

private:
    struct Device {
        std::shared_ptr<Worker> worker;
        std::string file;
        bool sequencer = false;
        // Its answers right after its open, until it is told to do anything.
        std::shared_ptr<const MciAnswers> answers;
    };
    // The next bell's file, opened ahead on a worker of its own.
    struct Prepared {
        std::string file;
        bool sequencer = false;
        std::shared_ptr<Worker> worker;
        std::shared_ptr<Opening> opening;
    };
    std::uint32_t open(std::uint32_t flags, MciParams& params);
    std::uint32_t close(std::uint16_t id);
    std::uint32_t failed(std::uint32_t code, const std::string& file);
    bool adoptable(std::uint32_t flags, const MciParams& params) const;
    void releasePrepared();
    bool sequencerOpen() const;
    std::shared_ptr<Worker> workerFor(bool sequencer);
    void letGo(std::shared_ptr<Worker> worker, bool sequencer);
    std::wstring nextAlias();

    std::shared_ptr<Notices> notices_;
    std::thread noticeThread_;
    Options options_;
    WaveOutVolume volume_;
    std::map<std::uint16_t, Device> devices_;
    std::unique_ptr<Prepared> prepared_;
    // The sequencer is one device: the worker that closes the last MIDI device stays
    // on, and the next MIDI file is opened on it, after that close.
    std::shared_ptr<Worker> sequencerQueue_;
    std::map<std::uint32_t, std::string> failedFiles_;
    std::uint64_t lastAlias_ = 0;
};

}  // namespace tb
