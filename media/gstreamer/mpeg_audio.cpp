#include "media/gstreamer/mpeg_audio.h"

#include <array>
#include <fstream>

namespace tb {
namespace {

struct Frame {
    int version = 0;  // 1: MPEG-1, 2: MPEG-2, 25: MPEG-2.5
    int layer = 0;
    int rate = 0;
    int samples = 0;  // per frame
    int bytes = 0;
};

// Bitrates in kbit/s by bitrate index (1-14), for MPEG-1 layers 1-3 and for MPEG-2
// and 2.5 layer 1 and layers 2-3.
constexpr int kBitrates[5][14] = {
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr int kRates[3] = {44100, 48000, 32000};

std::optional<Frame> parseHeader(const std::array<unsigned char, 4>& h) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return std::nullopt;
    const int versionBits = (h[1] >> 3) & 3, layerBits = (h[1] >> 1) & 3;
    const int bitrateIndex = h[2] >> 4, rateIndex = (h[2] >> 2) & 3, padding = (h[2] >> 1) & 1;
    // Reserved values, and the free format, whose frames cannot be measured from here.
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return std::nullopt;
    }
    Frame f;
    f.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    f.layer = 4 - layerBits;
    f.rate = kRates[rateIndex] / (f.version == 1 ? 1 : f.version == 2 ? 2 : 4);
    const int table = f.version == 1 ? f.layer - 1 : f.layer == 1 ? 3 : 4;
    const int bitrate = kBitrates[table][bitrateIndex - 1] * 1000;
    if (f.layer == 1) {
        f.samples = 384;
        f.bytes = (12 * bitrate / f.rate + padding) * 4;
    } else {
        f.samples = f.layer == 3 && f.version != 1 ? 576 : 1152;
        f.bytes = f.samples / 8 * bitrate / f.rate + padding;
    }
    return f;
}

}  // namespace

std::optional<std::int64_t> mpegAudioLengthMs(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::array<unsigned char, 10> id3{};
    std::streamoff at = 0;
    if (in.read(reinterpret_cast<char*>(id3.data()), id3.size()) && id3[0] == 'I' && id3[1] == 'D' && id3[2] == '3') {
        // The tag's size is stored in 7 bits a byte; a footer adds 10 bytes.
        at = 10 + ((id3[6] & 0x7F) << 21 | (id3[7] & 0x7F) << 14 | (id3[8] & 0x7F) << 7 | (id3[9] & 0x7F));
        if (id3[5] & 0x10) at += 10;
    }
    in.clear();

    std::optional<Frame> first;
    std::int64_t samples = 0;
    int frames = 0;
    for (;;) {
        std::array<unsigned char, 4> header{};
        in.seekg(at);
        if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) break;
        const auto frame = parseHeader(header);
        // A trailing tag, or anything that is not the same stream, ends it.
        if (!frame || (first && (frame->version != first->version || frame->layer != first->layer ||
                                 frame->rate != first->rate))) {
            break;
        }
        if (!first) first = frame;
        samples += frame->samples;
        ++frames;
        at += frame->bytes;
    }
    // A few frames in a row before it counts as MPEG audio at all.
    if (frames < 3) return std::nullopt;
    return samples * 1000 / first->rate;
}

}  // namespace tb
