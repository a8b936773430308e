#include "media/mci/wave_volume.h"

#include <windows.h>
#include <mmsystem.h>

namespace tb {

void WaveOutVolume::setVolume(std::uint32_t packed) {
    // Device 0 as a handle: the first waveform output device. The program goes on
    // whatever the answer is.
    lastResult_ = ::waveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(0)), packed);
}

}  // namespace tb
