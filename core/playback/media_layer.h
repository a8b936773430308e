#pragma once

#include "core/playback/mci.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// How one bell travels, from the timer's tick to the sound and back:
// 1. tick: the schedule timer (front-ends/qt/ttimer.cpp, front-ends/win32/ttimer.cpp)
//    fires on the UI thread and calls MainWindowPresenter::Timer1Timer
//    (core/presenters/main_window_presenter.cpp) inside the handler wrapper.
// 2. sequencer: BellSequencer::next (core/schedule/trigger.cpp) gives each second once;
//    a due row makes the presenter close the player, name the row's file and Open and
//    Play it. Each tick also asks this layer to prepare() the next bell's file ahead.
// 3. device: MediaPlayerDevice (core/playback/media_player_device.cpp) turns Open and
//    Play into requests to this interface, Play with NOTIFY and itself as receiver.
// 4. layer: GstMediaLayer (media/gstreamer/gst_media_layer.cpp, gst_device.cpp) or
//    MciMediaLayer (media/mci/mci_media_layer.cpp) hands the blocking part to the
//    device's own Worker (core/worker.cpp) and waits for it within a bound.
// 5. worker: opens the file (or adopts the one prepared), plays it; the end of the
//    stream comes on a streaming thread (media/gstreamer/playbin.cpp) or from MCI.
// 6. notice poster: the layer posts the notice through its Poster (front-ends/qt/
//    qt_poster.cpp; media/mci/window_poster.cpp) onto the UI thread, where a notice
//    of an earlier play or a closed device is dropped (its epoch or id is stale).
// 7. back on the UI thread the device's NoticeReceiver sets NotifyValue and calls
//    OnNotify: MainWindowPresenter::MediaPlayer1Notify.
namespace tb {

// Receives the completion notices of the requests that asked for one. Notices arrive
// on the user-interface thread, never inside a request.
class NoticeReceiver {
public:
    virtual ~NoticeReceiver() = default;
    virtual void mciNotify(std::uint32_t code, std::uint16_t deviceId) = 0;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

// The parameter block of one request; each command reads and writes the fields it needs.
struct MciParams {
    // Who receives the completion notice, if the request asks for one. Held weakly: a
    // receiver that is gone by then gets nothing.
    std::weak_ptr<NoticeReceiver> callback;
    std::string deviceType;   // open
    std::string element;      // open: the file; save: the file to write
    std::uint32_t from = 0;   // play, record
    std::uint32_t to = 0;     // play, record, seek
    std::uint32_t frames = 0; // step
    std::uint32_t item = 0;   // status, capability; set: the time format
    std::uint32_t track = 0;  // status with a track
    std::uintptr_t window = 0;  // window
    Rect rect;                // put, where
    std::uint32_t returnValue = 0;  // out: status, capability
    std::uint16_t deviceId = 0;     // out: open
};

// The media layer: one call a request, 0 for success, otherwise an error code whose
// text errorText gives.
class MediaLayer {
public:
    virtual ~MediaLayer() = default;
    virtual std::uint32_t sendCommand(std::uint16_t deviceId, mci::Command command, std::uint32_t flags,
                                      MciParams& params) = 0;
    virtual std::optional<std::string> errorText(std::uint32_t code) = 0;

    // Gets `file` ready to play ahead of its time, so that an open of it soon after
    // starts at once; an empty name lets go of what was got ready. Nothing a user sees
    // comes of it, and a preparation that fails is simply not used.
    virtual void prepare(const std::string& file) { (void)file; }
    // How many seconds before its second a bell's file is worth getting ready: what an
    // open can take on a busy machine. 0 when this layer gets nothing ready.
    virtual int prepareAheadSeconds() const { return 0; }
};

// The process-wide output volume, both channels packed as the waveform output takes
// them: left in the low 16 bits, right in the high 16 bits, 0xFFFF full scale.
class OutputVolume {
public:
    virtual ~OutputVolume() = default;
    virtual void setVolume(std::uint32_t packed) = 0;
};

// The packed volume for a slider position 0 to 255: p * 256 in each channel.
constexpr std::uint32_t volumeForSlider(int position) {
    const auto channel = static_cast<std::uint32_t>(position < 0 ? 0 : position > 255 ? 255 : position) * 256u;
    return channel | (channel << 16);
}

// Queues a call onto the user-interface thread; safe to call from any thread.
class Poster {
public:
    virtual ~Poster() = default;
    virtual void post(std::function<void()> call) = 0;
};

}  // namespace tb
