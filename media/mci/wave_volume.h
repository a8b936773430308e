#pragma once

#include "core/playback/media_layer.h"

#include <cstdint>

namespace tb {

// The output volume of waveform output device 0 (waveOutSetVolume).
class WaveOutVolume final : public OutputVolume {
public:
    void setVolume(std::uint32_t packed) override;
    // What the system answered to the last setting (MMSYSERR_NOERROR is 0).
    std::uint32_t lastResult() const { return lastResult_; }

private:
    std::uint32_t lastResult_ = 0;
};

}  // namespace tb
