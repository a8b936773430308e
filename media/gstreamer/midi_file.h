#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tb {

// What a standard MIDI file says about time: its division, its tempo changes and where
// its last track ends. A RIFF "RMID" file is the same data in a wrapper; `smf` is the
// standard MIDI file without it, as the synthesizer's player reads it.
class MidiFile final {
public:
    // Empty when `bytes` is not a standard MIDI file (or one in a RIFF wrapper) that can
    // be timed: no header, no track, or SMPTE time, which the player does not keep.
    static std::optional<MidiFile> parse(const std::vector<std::uint8_t>& bytes, std::string* why = nullptr);

    const std::vector<std::uint8_t>& smf() const { return smf_; }
    int division() const { return division_; }  // ticks per quarter note
    std::int64_t endTick() const { return endTick_; }
    // Time from the start to the end of the last track.
    std::int64_t lengthNs() const { return nsAt(endTick_); }

    std::int64_t nsAt(std::int64_t tick) const;
    // The tick at or just before `ns`.
    std::int64_t tickAt(std::int64_t ns) const;

private:
    struct Tempo {
        std::int64_t tick;
        std::int64_t nsAtTick;     // time at which this tempo starts
        std::uint32_t usPerQuarter;
    };

    std::vector<std::uint8_t> smf_;
    int division_ = 480;
    std::int64_t endTick_ = 0;
    std::vector<Tempo> tempi_;  // by tick; the first at tick 0
};

}  // namespace tb
