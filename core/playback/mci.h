#pragma once

#include <cstdint>

// The command set the player control speaks to its media layer: the commands, flags,
// items and codes of the Media Control Interface, with their numeric values.
namespace tb::mci {

enum class Command : std::uint16_t {
    Open = 0x0803,
    Close = 0x0804,
    Play = 0x0806,
    Seek = 0x0807,
    Stop = 0x0808,
    Pause = 0x0809,
    GetDevCaps = 0x080B,
    Set = 0x080D,
    Step = 0x080E,
    Record = 0x080F,
    Save = 0x0813,
    Status = 0x0814,
    Window = 0x0841,
    Put = 0x0842,
    Where = 0x0843,
    Resume = 0x0855,
};

// Flags shared by every command.
inline constexpr std::uint32_t NOTIFY = 0x1;
inline constexpr std::uint32_t WAIT = 0x2;
inline constexpr std::uint32_t FROM = 0x4;
inline constexpr std::uint32_t TO = 0x8;
inline constexpr std::uint32_t TRACK = 0x10;

// Command-specific flags.
inline constexpr std::uint32_t OPEN_SHAREABLE = 0x100;
inline constexpr std::uint32_t OPEN_ELEMENT = 0x200;
inline constexpr std::uint32_t OPEN_ALIAS = 0x400;
inline constexpr std::uint32_t OPEN_TYPE = 0x2000;
inline constexpr std::uint32_t SEEK_TO_START = 0x100;
inline constexpr std::uint32_t SEEK_TO_END = 0x200;
inline constexpr std::uint32_t STATUS_ITEM = 0x100;
inline constexpr std::uint32_t STATUS_START = 0x200;
inline constexpr std::uint32_t GETDEVCAPS_ITEM = 0x100;
inline constexpr std::uint32_t SET_DOOR_OPEN = 0x100;
inline constexpr std::uint32_t SET_TIME_FORMAT = 0x400;
inline constexpr std::uint32_t SAVE_FILE = 0x100;
inline constexpr std::uint32_t ANIM_STEP_REVERSE = 0x10000;
inline constexpr std::uint32_t ANIM_STEP_FRAMES = 0x20000;
inline constexpr std::uint32_t ANIM_WHERE_SOURCE = 0x20000;
inline constexpr std::uint32_t ANIM_WHERE_DESTINATION = 0x40000;
inline constexpr std::uint32_t ANIM_WINDOW_HWND = 0x10000;
inline constexpr std::uint32_t ANIM_RECT = 0x10000;

// Status items.
inline constexpr std::uint32_t STATUS_LENGTH = 1;
inline constexpr std::uint32_t STATUS_POSITION = 2;
inline constexpr std::uint32_t STATUS_NUMBER_OF_TRACKS = 3;
inline constexpr std::uint32_t STATUS_MODE = 4;
inline constexpr std::uint32_t STATUS_TIME_FORMAT = 6;

// Capability items.
inline constexpr std::uint32_t GETDEVCAPS_CAN_RECORD = 1;
inline constexpr std::uint32_t GETDEVCAPS_HAS_VIDEO = 3;
inline constexpr std::uint32_t GETDEVCAPS_DEVICE_TYPE = 4;
inline constexpr std::uint32_t GETDEVCAPS_CAN_EJECT = 7;
inline constexpr std::uint32_t GETDEVCAPS_CAN_PLAY = 8;

// Modes answered by the mode status, in the order of the control's modes.
inline constexpr std::uint32_t MODE_NOT_READY = 524;
inline constexpr std::uint32_t MODE_STOP = 525;
inline constexpr std::uint32_t MODE_PLAY = 526;
inline constexpr std::uint32_t MODE_RECORD = 527;
inline constexpr std::uint32_t MODE_SEEK = 528;
inline constexpr std::uint32_t MODE_PAUSE = 529;
inline constexpr std::uint32_t MODE_OPEN = 530;

// Device types answered by the device-type capability.
inline constexpr std::uint32_t DEVTYPE_VCR = 513;
inline constexpr std::uint32_t DEVTYPE_VIDEODISC = 514;
inline constexpr std::uint32_t DEVTYPE_OVERLAY = 515;
inline constexpr std::uint32_t DEVTYPE_CD_AUDIO = 516;
inline constexpr std::uint32_t DEVTYPE_DAT = 517;
inline constexpr std::uint32_t DEVTYPE_SCANNER = 518;
inline constexpr std::uint32_t DEVTYPE_ANIMATION = 519;
inline constexpr std::uint32_t DEVTYPE_DIGITAL_VIDEO = 520;
inline constexpr std::uint32_t DEVTYPE_OTHER = 521;
inline constexpr std::uint32_t DEVTYPE_WAVEFORM_AUDIO = 522;
inline constexpr std::uint32_t DEVTYPE_SEQUENCER = 523;

// Completion notice codes.
inline constexpr std::uint32_t NOTIFY_SUCCESSFUL = 1;
inline constexpr std::uint32_t NOTIFY_SUPERSEDED = 2;
inline constexpr std::uint32_t NOTIFY_ABORTED = 4;
inline constexpr std::uint32_t NOTIFY_FAILURE = 8;

// Time formats.
inline constexpr std::uint32_t FORMAT_MILLISECONDS = 0;
inline constexpr std::uint32_t FORMAT_TMSF = 10;

}  // namespace tb::mci
