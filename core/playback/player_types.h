#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>

namespace tb {

// Ordinal values are part of the interface: callers compare them as numbers.
enum TMPModes { mpNotReady = 0, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };
enum TMPNotifyValues { nvSuccessful = 0, nvSuperseded, nvAborted, nvFailure };
enum TMPDevCaps { mpCanStep = 0, mpCanEject, mpCanPlay, mpCanRecord, mpUsesWindow };
enum TMPTimeFormats {
    tfMilliseconds = 0, tfHMS, tfMSF, tfFrames, tfSMPTE24, tfSMPTE25, tfSMPTE30, tfSMPTE30Drop,
    tfBytes, tfSamples, tfTMSF
};
enum TMPDeviceTypes {
    dtAutoSelect = 0, dtAVIVideo, dtCDAudio, dtDAT, dtDigitalVideo, dtMMMovie, dtOther, dtOverlay,
    dtScanner, dtSequencer, dtVCR, dtVideodisc, dtWaveAudio
};
enum TMPBtnType { btPlay = 0, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };

// A small set over an enumeration, bit n for the value of ordinal n.
template <class E, class Bits>
class SmallSet {
public:
    constexpr SmallSet() = default;
    constexpr SmallSet(std::initializer_list<E> members) {
        for (E e : members) include(e);
    }
    static constexpr SmallSet fromBits(Bits bits) {
        SmallSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr Bits bits() const { return bits_; }
    constexpr bool contains(E e) const { return (bits_ >> static_cast<int>(e)) & 1u; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr SmallSet& include(E e) {
        bits_ = static_cast<Bits>(bits_ | (Bits{1} << static_cast<int>(e)));
        return *this;
    }
    constexpr SmallSet& exclude(E e) {
        bits_ = static_cast<Bits>(bits_ & ~(Bits{1} << static_cast<int>(e)));
        return *this;
    }
    constexpr bool operator==(const SmallSet&) const = default;

private:
    Bits bits_ = 0;
};

using TButtonSet = SmallSet<TMPBtnType, std::uint16_t>;
using TMPDevCapsSet = SmallSet<TMPDevCaps, std::uint8_t>;

inline constexpr TButtonSet kAllButtons = TButtonSet::fromBits(0x1FF);

// The player control's error: a refused open, or an operation without an open device.
class EMCIDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tb
