#pragma once

#include <cstdint>
#include <string>
#include <optional>

namespace tb {

// The playing time of an MPEG audio file (layer 1, 2 or 3) counted from its frame
// headers: what a decoder will give, where a header that states the length is missing
// and the bitrate of the first frames says little (variable bitrate). Empty when the
// file does not start with MPEG audio frames, after an optional ID3v2 tag.
std::optional<std::int64_t> mpegAudioLengthMs(const std::string& file);

}  // namespace tb
