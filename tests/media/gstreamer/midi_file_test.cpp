#include "media/gstreamer/midi_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)};
}
std::string le32(std::uint32_t v) {
    return {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}
std::string smf(const std::vector<std::string>& tracks, int division = 480, int format = 1) {
    std::string out = "MThd" + be32(6) + std::string{0, char(format), 0, char(tracks.size()), char(division >> 8),
                                                     char(division & 0xFF)};
    for (const auto& t : tracks) out += "MTrk" + be32(static_cast<std::uint32_t>(t.size())) + t;
    return out;
}
std::string rmid(const std::string& midi) {
    return "RIFF" + le32(static_cast<std::uint32_t>(4 + 8 + midi.size())) + "RMID" + "data" +
           le32(static_cast<std::uint32_t>(midi.size())) + midi;
}
// Events: a delta of one byte (< 128) before each.
std::string tempo(int delta, std::uint32_t us) {
    return {char(delta), '\xFF', '\x51', 3, char(us >> 16), char(us >> 8 & 0xFF), char(us & 0xFF)};
}
std::string note(int delta, int on) { return {char(delta), char(on ? 0x90 : 0x80), 69, 100}; }
std::string running(int delta) { return {char(delta), 69, 0}; }  // note on, velocity 0, running status
const std::string kEnd = {0, '\xFF', '\x2F', 0};
constexpr std::int64_t kMs = 1000000;

struct LengthCase {
    const char* name;
    std::string file;
    std::int64_t lengthMs;
};

// 480 ticks to a quarter; 120 a minute unless told: 960 ticks a second.
TEST(MidiFile, LengthFollowsTheTempoMapAndTheLongestTrack) {
    const std::vector<LengthCase> cases = {
        {"default tempo", smf({note(0, 1) + note(96, 0) + note(0, 1) + note(96, 0) + kEnd}), 200},
        {"tempo doubled after a second",
         smf({tempo(0, 500000) + std::string{char(0x87), 0x40} + tempo(0, 250000).substr(1) +
              std::string{char(0x87), 0x40, '\xFF', '\x2F', 0}}),
         1500},
        {"tempo in the first track, notes in the second",
         smf({tempo(0, 1000000) + kEnd, note(0, 1) + std::string{char(0x87), 0x40, char(0x80), 69, 0} + kEnd}), 2000},
        {"running status", smf({note(0, 1) + running(120) + running(120) + kEnd}), 250},
        {"track cut short ends where its data does", smf({note(0, 1) + note(96, 0)}), 100},
        {"in a RIFF wrapper", rmid(smf({note(0, 1) + note(96, 0) + kEnd})), 100},
    };
    for (const auto& c : cases) {
        std::string why;
        const auto file = tb::MidiFile::parse(bytes(c.file), &why);
        ASSERT_TRUE(file.has_value()) << c.name << ": " << why;
        EXPECT_EQ(file->lengthNs() / kMs, c.lengthMs) << c.name;
        EXPECT_EQ(std::string(file->smf().begin(), file->smf().begin() + 4), "MThd") << c.name;
    }
}

TEST(MidiFile, TicksAndTimeConvertBothWaysAcrossTempoChanges) {
    const auto file = tb::MidiFile::parse(bytes(
        smf({tempo(0, 500000) + std::string{char(0x87), 0x40} + tempo(0, 250000).substr(1) + kEnd})));
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->nsAt(960), 1000 * kMs);
    EXPECT_EQ(file->nsAt(1440), 1250 * kMs);
    EXPECT_EQ(file->tickAt(1250 * kMs), 1440);
    EXPECT_EQ(file->tickAt(500 * kMs), 480);
    for (std::int64_t tick : {0, 1, 959, 960, 961, 5000}) EXPECT_EQ(file->tickAt(file->nsAt(tick)), tick) << tick;
}

TEST(MidiFile, RefusesWhatIsNotATimedMidiFile) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"text", "This is a schedule note, not music."},
        {"header without a track", smf({}).substr(0, 14)},
        {"SMPTE time", smf({note(0, 1) + kEnd}, 0xE728)},
        {"RIFF without MIDI data", "RIFF" + le32(4) + "RMID"},
        {"RIFF WAVE", "RIFF" + le32(36) + "WAVEfmt " + std::string(24, '\0')},
    };
    for (const auto& [name, file] : cases) {
        std::string why;
        EXPECT_FALSE(tb::MidiFile::parse(bytes(file), &why).has_value()) << name;
        EXPECT_FALSE(why.empty()) << name;
    }
}

}  // namespace
