#pragma once

#include "core/playback/media_layer.h"
#include "core/playback/player_types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tb {

// The device side of the media player control: at most one open device of the media
// layer, the one-shot request settings, capabilities, the auto-enabled buttons and the
// completion notices. The button bar builds on it.
class MediaPlayerDevice {
public:
    explicit MediaPlayerDevice(MediaLayer& layer);
    virtual ~MediaPlayerDevice();
    MediaPlayerDevice(const MediaPlayerDevice&) = delete;
    MediaPlayerDevice& operator=(const MediaPlayerDevice&) = delete;

    // Stored properties.
    const std::string& FileName() const { return FElementName; }
    void setFileName(std::string name) { FElementName = std::move(name); }
    TMPDeviceTypes DeviceType() const { return FDeviceType; }
    void setDeviceType(TMPDeviceTypes t) { FDeviceType = t; }
    bool Shareable() const { return FShareable; }
    void setShareable(bool v) { FShareable = v; }
    bool AutoOpen() const { return FAutoOpen; }
    void setAutoOpen(bool v) { FAutoOpen = v; }
    bool AutoRewind() const { return FAutoRewind; }
    void setAutoRewind(bool v) { FAutoRewind = v; }
    std::uintptr_t Display() const { return FDisplay; }
    void setDisplay(std::uintptr_t window);

    // Run-time properties; those that need an open device raise "No MCI device open".
    TMPModes Mode();
    std::int32_t Position();
    void setPosition(std::int32_t value);
    std::int32_t Length();
    std::int32_t Start();
    std::int32_t Tracks();
    TMPTimeFormats TimeFormat();
    void setTimeFormat(TMPTimeFormats format);
    std::int32_t Error() const { return static_cast<std::int32_t>(FError); }
    std::string ErrorMessage();
    TMPDevCapsSet Capabilities() const { return FCapabilities; }
    std::uint16_t DeviceID() const { return FDeviceID; }
    std::int32_t Frames() const { return FFrames; }
    void setFrames(std::int32_t frames) { FFrames = frames; }
    bool Wait() const { return FWait; }
    void setWait(bool v);
    bool Notify() const { return FNotify; }
    void setNotify(bool v);
    TMPNotifyValues NotifyValue() const { return FNotifyValue; }
    std::int32_t StartPos() const { return FFrom; }
    void setStartPos(std::int32_t v);
    std::int32_t EndPos() const { return FTo; }
    void setEndPos(std::int32_t v);
    Rect DisplayRect();
    void setDisplayRect(const Rect& r);
    bool AutoEnable() const { return FAutoEnable; }

    // Operations.
    void Open();
    void Close();
    void Play();
    void Stop();
    void Pause();
    void PauseOnly();
    void Resume();
    void Next();
    void Previous();
    void Step();
    void Back();
    void StartRecording();
    void Eject();
    void Save();
    void Rewind();

    // The change of the auto-enabled buttons after a button's action.
    void AdjustAutoButtons(TMPBtnType button);
    // Called after every change of FAutoButtons; the bar shows the new state.
    virtual void RefreshAutoButtons() {}

    // The holder has finished loading: opens when AutoOpen is set.
    void Loaded();

    // A completion notice from the media layer.
    void MMNotify(std::uint32_t code);
    std::function<void(MediaPlayerDevice& sender)> OnNotify;

    TButtonSet FAutoButtons;

protected:
    // Next or Previous on a playing device in track format restarts play there; the bar
    // then takes Play as its current button.
    virtual void playRestartedByTrackJump() {}

    bool FAutoEnable = true;

    bool MCIOpened = false;
    TMPDevCapsSet FCapabilities;
    bool FCanPlay = false, FCanStep = false, FCanEject = false, FCanRecord = false, FHasVideo = false;
    std::uint32_t FFlags = 0;
    bool FWait = false, FNotify = false;
    bool FUseWait = false, FUseNotify = false, FUseFrom = false, FUseTo = false;
    std::uint16_t FDeviceID = 0;
    TMPDeviceTypes FDeviceType = dtAutoSelect;
    std::int32_t FTo = 0, FFrom = 0;
    std::int32_t FFrames = 0;
    std::uint32_t FError = 0;
    TMPNotifyValues FNotifyValue = nvSuccessful;
    std::uintptr_t FDisplay = 0;
    std::int32_t FDWidth = 0, FDHeight = 0;
    std::string FElementName;
    bool FAutoOpen = false, FAutoRewind = true, FShareable = false;

private:
    class Receiver;

    void checkOpen() const;
    void waitStyle();
    void notifyStyle(bool consumeMarks);
    std::uint32_t send(mci::Command command, std::uint32_t flags, MciParams& params);
    std::uint32_t status(std::uint32_t item, std::uint32_t extraFlags = 0, std::uint32_t track = 0,
                         bool record = true);
    void queryCapabilities();
    void sendPlayOrRecord(mci::Command command);
    void goToTrackStart(std::uint32_t track);
    std::int32_t trackStart(std::uint32_t track);

    MediaLayer& layer_;
    std::shared_ptr<Receiver> receiver_;
};

}  // namespace tb
