#include "core/playback/media_player_device.h"

namespace tb {

using namespace mci;

// Hands completion notices to the control while it exists; the media layer holds it
// weakly, so a notice for a destroyed control is dropped.
class MediaPlayerDevice::Receiver final : public NoticeReceiver {
public:
    explicit Receiver(MediaPlayerDevice* device) : owner(device) {}
    void mciNotify(std::uint32_t code, std::uint16_t) override {
        if (owner != nullptr) owner->MMNotify(code);
    }
    MediaPlayerDevice* owner;
};

namespace {

const char* deviceTypeName(TMPDeviceTypes t) {
    static constexpr const char* names[] = {"",      "AVIVideo",  "CDAudio", "DAT",     "DigitalVideo",
                                            "MMMovie", "Other",   "Overlay", "Scanner", "Sequencer",
                                            "VCR",   "Videodisc", "WaveAudio"};
    return names[t];
}

bool trueAnswer(std::uint32_t value) { return (value & 0xFF) != 0; }

}  // namespace

MediaPlayerDevice::MediaPlayerDevice(MediaLayer& layer)
    : layer_(layer), receiver_(std::make_shared<Receiver>(this)) {}

MediaPlayerDevice::~MediaPlayerDevice() {
    receiver_->owner = nullptr;
    if (FDeviceID != 0) {
        MciParams p;
        layer_.sendCommand(FDeviceID, Command::Close, WAIT, p);
    }
}

void MediaPlayerDevice::checkOpen() const {
    if (!MCIOpened) throw EMCIDeviceError("No MCI device open");
}

void MediaPlayerDevice::waitStyle() {
    FFlags = 0;
    if (!FUseWait || FWait) FFlags |= WAIT;
    if (FUseNotify && FNotify) FFlags |= NOTIFY;
    FUseWait = false;
    FUseNotify = false;
}

void MediaPlayerDevice::notifyStyle(bool consumeMarks) {
    FFlags = 0;
    if (!FUseNotify || FNotify) FFlags |= NOTIFY;
    if (FUseWait && FWait) FFlags |= WAIT;
    if (consumeMarks) {
        FUseWait = false;
        FUseNotify = false;
    }
}

std::uint32_t MediaPlayerDevice::send(Command command, std::uint32_t flags, MciParams& params) {
    params.callback = receiver_;
    return layer_.sendCommand(FDeviceID, command, flags, params);
}

std::uint32_t MediaPlayerDevice::status(std::uint32_t item, std::uint32_t extraFlags, std::uint32_t track,
                                        bool record) {
    MciParams p;
    p.item = item;
    p.track = track;
    const std::uint32_t result = send(Command::Status, STATUS_ITEM | WAIT | extraFlags, p);
    if (record) FError = result;
    return result == 0 ? p.returnValue : 0;
}

void MediaPlayerDevice::setWait(bool v) {
    FWait = v;
    FUseWait = true;
}

void MediaPlayerDevice::setNotify(bool v) {
    FNotify = v;
    FUseNotify = true;
}

void MediaPlayerDevice::setStartPos(std::int32_t v) {
    FFrom = v;
    FUseFrom = true;
}

void MediaPlayerDevice::setEndPos(std::int32_t v) {
    FTo = v;
    FUseTo = true;
}

TMPModes MediaPlayerDevice::Mode() {
    MciParams p;
    p.item = STATUS_MODE;
    FError = send(Command::Status, STATUS_ITEM | WAIT, p);
    if (FError != 0) return mpNotReady;
    const auto mode = static_cast<std::uint8_t>(p.returnValue - MODE_NOT_READY);
    return mode <= mpOpen ? static_cast<TMPModes>(mode) : mpNotReady;
}

std::int32_t MediaPlayerDevice::Position() { return static_cast<std::int32_t>(status(STATUS_POSITION)); }

void MediaPlayerDevice::setPosition(std::int32_t value) {
    checkOpen();
    waitStyle();
    MciParams p;
    p.to = static_cast<std::uint32_t>(value);
    FError = send(Command::Seek, FFlags | TO, p);
}

std::int32_t MediaPlayerDevice::Length() {
    checkOpen();
    return static_cast<std::int32_t>(status(STATUS_LENGTH));
}

std::int32_t MediaPlayerDevice::Start() {
    checkOpen();
    return static_cast<std::int32_t>(status(STATUS_POSITION, STATUS_START));
}

std::int32_t MediaPlayerDevice::Tracks() {
    checkOpen();
    return static_cast<std::int32_t>(status(STATUS_NUMBER_OF_TRACKS));
}

TMPTimeFormats MediaPlayerDevice::TimeFormat() {
    checkOpen();
    return static_cast<TMPTimeFormats>(status(STATUS_TIME_FORMAT) & 0xFF);
}

void MediaPlayerDevice::setTimeFormat(TMPTimeFormats format) {
    // Asks for a notice without naming anyone to receive it.
    MciParams p;
    p.item = static_cast<std::uint32_t>(format);
    FError = layer_.sendCommand(FDeviceID, Command::Set, NOTIFY | SET_TIME_FORMAT, p);
}

std::string MediaPlayerDevice::ErrorMessage() {
    return layer_.errorText(FError).value_or("Unknown error code");
}

void MediaPlayerDevice::setDisplay(std::uintptr_t window) {
    FDisplay = window;
    if (MCIOpened && FHasVideo) {
        MciParams p;
        p.window = window;
        send(Command::Window, WAIT | ANIM_WINDOW_HWND, p);
    }
}

Rect MediaPlayerDevice::DisplayRect() {
    if (!MCIOpened || !FHasVideo) return {};
    MciParams p;
    send(Command::Where, WAIT | ANIM_WHERE_DESTINATION, p);
    return p.rect;
}

void MediaPlayerDevice::setDisplayRect(const Rect& r) {
    if (!MCIOpened || !FHasVideo) return;
    MciParams p;
    p.rect = r;
    send(Command::Put, WAIT | ANIM_RECT, p);
}

void MediaPlayerDevice::queryCapabilities() {
    auto ask = [&](std::uint32_t item) {
        MciParams p;
        p.item = item;
        send(Command::GetDevCaps, GETDEVCAPS_ITEM | WAIT, p);
        return p.returnValue;
    };
    FCapabilities = {};
    FCanPlay = trueAnswer(ask(GETDEVCAPS_CAN_PLAY));
    if (FCanPlay) FCapabilities.include(mpCanPlay);
    FCanRecord = trueAnswer(ask(GETDEVCAPS_CAN_RECORD));
    if (FCanRecord) FCapabilities.include(mpCanRecord);
    FCanEject = trueAnswer(ask(GETDEVCAPS_CAN_EJECT));
    if (FCanEject) FCapabilities.include(mpCanEject);
    FHasVideo = trueAnswer(ask(GETDEVCAPS_HAS_VIDEO));
    if (FHasVideo) FCapabilities.include(mpUsesWindow);
    const std::uint32_t type = ask(GETDEVCAPS_DEVICE_TYPE);
    FCanStep = type == DEVTYPE_VCR || type == DEVTYPE_OVERLAY || type == DEVTYPE_ANIMATION ||
               type == DEVTYPE_DIGITAL_VIDEO;
    if (FCanStep) FCapabilities.include(mpCanStep);

    MciParams where;
    FError = send(Command::Where, WAIT | ANIM_WHERE_SOURCE, where);
    FDWidth = where.rect.right - where.rect.left;
    FDHeight = where.rect.bottom - where.rect.top;
}

void MediaPlayerDevice::Open() {
    if (MCIOpened) Close();

    MciParams p;
    p.deviceType = deviceTypeName(FDeviceType);
    p.element = FElementName;
    waitStyle();
    FFlags |= FDeviceType != dtAutoSelect ? OPEN_TYPE : OPEN_ELEMENT;
    if (!FElementName.empty()) FFlags |= OPEN_ELEMENT;
    if (FShareable) FFlags |= OPEN_SHAREABLE;

    p.callback = receiver_;
    FError = layer_.sendCommand(0, Command::Open, FFlags, p);
    if (FError != 0) throw EMCIDeviceError(ErrorMessage());

    MCIOpened = true;
    FDeviceID = p.deviceId;
    FFrames = Length() / 10;
    queryCapabilities();
    if (FHasVideo) {
        setDisplay(FDisplay);
        const Rect r = DisplayRect();
        FDWidth = r.right - r.left;
        FDHeight = r.bottom - r.top;
    }
    if (FDeviceType == dtCDAudio || FDeviceType == dtVideodisc) setTimeFormat(tfTMSF);

    FAutoButtons = {btNext, btPrev};
    if (FCanStep) FAutoButtons.include(btStep).include(btBack);
    if (FCanPlay) FAutoButtons.include(btPlay);
    if (FCanRecord) FAutoButtons.include(btRecord);
    if (FCanEject) FAutoButtons.include(btEject);
    if (Mode() == mpPlaying) AdjustAutoButtons(btPlay);
    RefreshAutoButtons();
}

void MediaPlayerDevice::Close() {
    if (FDeviceID == 0) return;
    MciParams p;
    waitStyle();
    FError = send(Command::Close, FFlags, p);
    if (FError != 0) return;
    MCIOpened = false;
    FDeviceID = 0;
    FAutoButtons = {};
    RefreshAutoButtons();
}

void MediaPlayerDevice::Play() {
    checkOpen();
    if (FAutoRewind && Position() == Length() && !FUseFrom && !FUseTo) Rewind();
    sendPlayOrRecord(Command::Play);
}

void MediaPlayerDevice::StartRecording() {
    checkOpen();
    sendPlayOrRecord(Command::Record);
}

void MediaPlayerDevice::sendPlayOrRecord(Command command) {
    MciParams p;
    notifyStyle(true);
    if (FUseFrom) {
        FFlags |= FROM;
        p.from = static_cast<std::uint32_t>(FFrom);
    }
    if (FUseTo) {
        FFlags |= TO;
        p.to = static_cast<std::uint32_t>(FTo);
    }
    FUseFrom = false;
    FUseTo = false;
    FError = send(command, FFlags, p);
}

void MediaPlayerDevice::Stop() {
    checkOpen();
    waitStyle();
    MciParams p;
    FError = send(Command::Stop, FFlags, p);
}

void MediaPlayerDevice::PauseOnly() {
    checkOpen();
    waitStyle();
    MciParams p;
    FError = send(Command::Pause, FFlags, p);
}

void MediaPlayerDevice::Pause() {
    checkOpen();
    const TMPModes mode = Mode();
    if (mode == mpPlaying) {
        PauseOnly();
    } else if (mode == mpPaused) {
        Resume();
    }
}

void MediaPlayerDevice::Resume() {
    checkOpen();
    notifyStyle(false);
    MciParams p;
    FError = send(Command::Resume, FFlags, p);
    if (FError == 0) {
        FUseWait = false;
        FUseNotify = false;
    } else {
        Play();  // a device that cannot resume continues from where it is
    }
}

std::int32_t MediaPlayerDevice::trackStart(std::uint32_t track) {
    return static_cast<std::int32_t>(status(STATUS_POSITION, TRACK, track, false));
}

// Plays on from the start of the track when playing, else seeks there.
void MediaPlayerDevice::goToTrackStart(std::uint32_t track) {
    const auto start = static_cast<std::uint32_t>(trackStart(track));
    if (Mode() == mpPlaying) {
        setStartPos(static_cast<std::int32_t>(start));
        Play();
        playRestartedByTrackJump();
        return;
    }
    MciParams p;
    p.to = start;
    FError = send(Command::Seek, FFlags | TO, p);
}

void MediaPlayerDevice::Next() {
    checkOpen();
    waitStyle();
    if (TimeFormat() != tfTMSF) {
        MciParams p;
        FError = send(Command::Seek, FFlags | SEEK_TO_END, p);
        return;
    }
    const auto track = static_cast<std::uint32_t>(Position()) & 0xFF;
    const std::uint32_t target = track == static_cast<std::uint32_t>(Tracks()) ? track : track + 1;
    goToTrackStart(target);
}

void MediaPlayerDevice::Previous() {
    checkOpen();
    waitStyle();
    if (TimeFormat() != tfTMSF) {
        MciParams p;
        FError = send(Command::Seek, FFlags | SEEK_TO_START, p);
        return;
    }
    const auto position = static_cast<std::uint32_t>(Position());
    const std::uint32_t track = position & 0xFF;
    const auto startOfThis = static_cast<std::uint32_t>(trackStart(track));
    const bool firstSecond = ((position >> 8) & 0xFFFF) == ((startOfThis >> 8) & 0xFFFF);
    const std::uint32_t target = track != 1 && firstSecond ? track - 1 : track;
    goToTrackStart(target);
}

void MediaPlayerDevice::Step() {
    checkOpen();
    if (!FHasVideo) return;
    if (FAutoRewind && Position() == Length()) Rewind();
    waitStyle();
    MciParams p;
    p.frames = static_cast<std::uint32_t>(FFrames);
    FError = send(Command::Step, FFlags | ANIM_STEP_FRAMES, p);
}

void MediaPlayerDevice::Back() {
    checkOpen();
    if (!FHasVideo) return;
    waitStyle();
    MciParams p;
    p.frames = static_cast<std::uint32_t>(FFrames);
    FError = send(Command::Step, FFlags | ANIM_STEP_FRAMES | ANIM_STEP_REVERSE, p);
}

void MediaPlayerDevice::Eject() {
    checkOpen();
    if (!FCanEject) return;
    waitStyle();
    MciParams p;
    FError = send(Command::Set, FFlags | SET_DOOR_OPEN, p);
}

void MediaPlayerDevice::Save() {
    checkOpen();
    if (FElementName.empty()) return;
    waitStyle();
    MciParams p;
    p.element = FElementName;
    FError = send(Command::Save, FFlags | SAVE_FILE, p);
}

void MediaPlayerDevice::Rewind() {
    checkOpen();
    MciParams p;
    send(Command::Seek, SEEK_TO_START | WAIT, p);
}

void MediaPlayerDevice::AdjustAutoButtons(TMPBtnType button) {
    auto enablePlayRecord = [&] {
        if (FCanPlay) FAutoButtons.include(btPlay);
        if (FCanRecord) FAutoButtons.include(btRecord);
    };
    switch (button) {
        case btPlay:
        case btRecord:
            FAutoButtons.exclude(btPlay).exclude(btRecord).include(btPause).include(btStop);
            break;
        case btPause:
            enablePlayRecord();
            break;
        default:
            enablePlayRecord();
            FAutoButtons.exclude(btPause).exclude(btStop);
            break;
    }
}

void MediaPlayerDevice::Loaded() {
    if (FAutoOpen) Open();
}

void MediaPlayerDevice::MMNotify(std::uint32_t code) {
    if (FAutoEnable && Mode() == mpStopped) {
        if (FCanPlay) FAutoButtons.include(btPlay);
        if (FCanRecord) FAutoButtons.include(btRecord);
        FAutoButtons.exclude(btPause).exclude(btStop);
        RefreshAutoButtons();
    }
    switch (code) {
        case NOTIFY_SUCCESSFUL: FNotifyValue = nvSuccessful; break;
        case NOTIFY_SUPERSEDED: FNotifyValue = nvSuperseded; break;
        case NOTIFY_ABORTED: FNotifyValue = nvAborted; break;
        case NOTIFY_FAILURE: FNotifyValue = nvFailure; break;
        default: break;
    }
    if (OnNotify) OnNotify(*this);
}

}  // namespace tb
