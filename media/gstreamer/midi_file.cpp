#include "media/gstreamer/midi_file.h"

#include <algorithm>
#include <cstring>

namespace tb {
namespace {

constexpr std::uint32_t kDefaultUsPerQuarter = 500000;  // 120 beats a minute

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

// The standard MIDI file inside a RIFF "RMID" wrapper: its "data" chunk.
std::optional<std::vector<std::uint8_t>> unwrapRiff(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 12 || std::memcmp(bytes.data() + 8, "RMID", 4) != 0) return std::nullopt;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::size_t size = le32(&bytes[at + 4]);
        if (std::memcmp(&bytes[at], "data", 4) == 0) {
            const std::size_t end = std::min(bytes.size(), at + 8 + size);
            return std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(at + 8),
                                             bytes.begin() + static_cast<std::ptrdiff_t>(end));
        }
        at += 8 + size + (size & 1);  // chunks are padded to even sizes
    }
    return std::nullopt;
}

struct TempoChange {
    std::int64_t tick;
    std::uint32_t usPerQuarter;
};

// Walks one track's events from `p` to `end`: collects its tempo changes and answers
// the tick where it ends. A track cut short ends where its data does.
std::int64_t readTrack(const std::uint8_t* p, const std::uint8_t* end, std::vector<TempoChange>& tempi) {
    std::int64_t tick = 0;
    std::uint8_t status = 0;
    const auto varLen = [&](std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4 && p < end; ++i) {
            const std::uint8_t b = *p++;
            value = value << 7 | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    };
    while (p < end) {
        std::uint32_t delta = 0;
        if (!varLen(delta)) break;
        tick += delta;
        if (p >= end) break;
        if (*p & 0x80) status = *p++;
        if (status == 0xFF) {
            if (p >= end) break;
            const std::uint8_t type = *p++;
            std::uint32_t length = 0;
            if (!varLen(length) || length > static_cast<std::size_t>(end - p)) break;
            if (type == 0x51 && length == 3) tempi.push_back({tick, std::uint32_t(p[0]) << 16 | p[1] << 8 | p[2]});
            if (type == 0x2F) return tick;
            p += length;
            status = 0;  // no running status across meta events
        } else if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length = 0;
            if (!varLen(length) || length > static_cast<std::size_t>(end - p)) break;
            p += length;
            status = 0;
        } else if (status >= 0x80) {
            const int data = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            if (end - p < data) break;
            p += data;
        } else {
            break;  // data without a status: the rest cannot be read
        }
    }
    return tick;
}

}  // namespace

std::optional<MidiFile> MidiFile::parse(const std::vector<std::uint8_t>& bytes, std::string* why) {
    const auto refuse = [&](const char* reason) {
        if (why != nullptr) *why = reason;
        return std::nullopt;
    };
    MidiFile file;
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "RIFF", 4) == 0) {
        auto inner = unwrapRiff(bytes);
        if (!inner) return refuse("a RIFF file without MIDI data");
        file.smf_ = std::move(*inner);
    } else {
        file.smf_ = bytes;
    }
    const auto& smf = file.smf_;
    if (smf.size() < 14 || std::memcmp(smf.data(), "MThd", 4) != 0 || be32(&smf[4]) < 6) {
        return refuse("no MIDI header");
    }
    const int tracks = smf[10] << 8 | smf[11];
    const int division = smf[12] << 8 | smf[13];
    if (division & 0x8000) return refuse("SMPTE time, which is not supported");
    if (division == 0) return refuse("no division");
    file.division_ = division;

    std::vector<TempoChange> tempi;
    int found = 0;
    for (std::size_t at = 8 + be32(&smf[4]); at + 8 <= smf.size() && found < tracks;) {
        const std::size_t size = std::min<std::size_t>(be32(&smf[at + 4]), smf.size() - at - 8);
        if (std::memcmp(&smf[at], "MTrk", 4) == 0) {
            const std::uint8_t* begin = smf.data() + at + 8;
            file.endTick_ = std::max(file.endTick_, readTrack(begin, begin + size, tempi));
            ++found;
        }
        at += 8 + size;
    }
    if (found == 0) return refuse("no track");

    // Changes at the same tick: the last one read holds.
    std::stable_sort(tempi.begin(), tempi.end(), [](const auto& a, const auto& b) { return a.tick < b.tick; });
    file.tempi_.push_back({0, 0, kDefaultUsPerQuarter});
    for (const auto& change : tempi) {
        if (change.usPerQuarter == 0) continue;
        if (change.tick == file.tempi_.back().tick) {
            file.tempi_.back().usPerQuarter = change.usPerQuarter;
        } else {
            file.tempi_.push_back({change.tick, file.nsAt(change.tick), change.usPerQuarter});
        }
    }
    return file;
}

// Rounded up, so that the tick at a tick's time is that tick.
std::int64_t MidiFile::nsAt(std::int64_t tick) const {
    const auto ceilDiv = [](std::int64_t a, std::int64_t b) { return (a + b - 1) / b; };
    if (tempi_.empty()) return ceilDiv(tick * kDefaultUsPerQuarter * 1000, division_);
    const auto after = std::upper_bound(tempi_.begin(), tempi_.end(), tick,
                                        [](std::int64_t t, const Tempo& tempo) { return t < tempo.tick; });
    const Tempo& tempo = *(after - 1);
    return tempo.nsAtTick + ceilDiv((tick - tempo.tick) * tempo.usPerQuarter * 1000, division_);
}

std::int64_t MidiFile::tickAt(std::int64_t ns) const {
    const auto after = std::upper_bound(tempi_.begin(), tempi_.end(), ns,
                                        [](std::int64_t t, const Tempo& tempo) { return t < tempo.nsAtTick; });
    const Tempo& tempo = after == tempi_.begin() ? tempi_.front() : *(after - 1);
    return tempo.tick + (ns - tempo.nsAtTick) * division_ / (std::int64_t(tempo.usPerQuarter) * 1000);
}

}  // namespace tb
