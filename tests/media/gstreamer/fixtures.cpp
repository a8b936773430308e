#include "tests/media/gstreamer/fixtures.h"

#include <gst/gst.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace tb::test {
namespace {

void put16(std::string& s, std::uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}
void put32(std::string& s, std::uint32_t v) {
    put16(s, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(s, static_cast<std::uint16_t>(v >> 16));
}
void put32be(std::string& s, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
}
void putVarLen(std::string& s, std::uint32_t v) {
    std::string bytes(1, static_cast<char>(v & 0x7F));
    while ((v >>= 7) != 0) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (v & 0x7F)));
    s += bytes;
}

void save(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write fixture " + file.string());
}

int midiNote(double frequency) { return static_cast<int>(std::lround(69 + 12 * std::log2(frequency / 440.0))); }

std::string midiBytes(const Tones& tones) {
    constexpr int ticksPerQuarter = 480;
    constexpr std::uint32_t microsPerQuarter = 500000;  // 120 bpm: 960 ticks a second
    std::string track;
    putVarLen(track, 0);
    track += "\xFF\x51\x03";
    track += static_cast<char>((microsPerQuarter >> 16) & 0xFF);
    track += static_cast<char>((microsPerQuarter >> 8) & 0xFF);
    track += static_cast<char>(microsPerQuarter & 0xFF);
    putVarLen(track, 0);
    track += "\xC0";
    track += '\0';  // program 0: piano
    long long endMs = 0;
    std::uint32_t tick = 0;
    for (const Tone& tone : tones) {
        const int note = midiNote(tone.frequency);
        endMs += tone.milliseconds;
        // Counted from the start, so that rounding does not add up over the notes.
        const auto endTick = static_cast<std::uint32_t>(endMs * 960 / 1000);
        putVarLen(track, 0);
        track += "\x90";
        track += static_cast<char>(note);
        track += static_cast<char>(100);
        putVarLen(track, endTick - tick);
        track += "\x80";
        track += static_cast<char>(note);
        track += static_cast<char>(64);
        tick = endTick;
    }
    putVarLen(track, 0);
    track += "\xFF\x2F";
    track += '\0';

    std::string smf = "MThd";
    put32be(smf, 6);
    smf += std::string("\0\0\0\1", 4);  // format 0, one track
    smf += static_cast<char>(ticksPerQuarter >> 8);
    smf += static_cast<char>(ticksPerQuarter & 0xFF);
    smf += "MTrk";
    put32be(smf, static_cast<std::uint32_t>(track.size()));
    return smf + track;
}

}  // namespace

void writeWav(const std::filesystem::path& file, const Tones& tones, int rate) {
    std::string data;
    for (const Tone& tone : tones) {
        const auto frames = static_cast<std::uint32_t>(static_cast<long long>(rate) * tone.milliseconds / 1000);
        for (std::uint32_t i = 0; i < frames; ++i) {
            const double v = tone.amplitude * std::sin(2 * M_PI * tone.frequency * i / rate);
            put16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767))));
        }
    }
    std::string wav = "RIFF";
    put32(wav, 36 + static_cast<std::uint32_t>(data.size()));
    wav += "WAVEfmt ";
    put32(wav, 16);
    put16(wav, 1);  // PCM
    put16(wav, 1);  // mono
    put32(wav, static_cast<std::uint32_t>(rate));
    put32(wav, static_cast<std::uint32_t>(rate) * 2);
    put16(wav, 2);
    put16(wav, 16);
    wav += "data";
    put32(wav, static_cast<std::uint32_t>(data.size()));
    save(file, wav + data);
}

void writeMidi(const std::filesystem::path& file, const Tones& tones) { save(file, midiBytes(tones)); }

double midiNoteFrequency(double frequency) { return 440.0 * std::pow(2.0, (midiNote(frequency) - 69) / 12.0); }

void writeRmi(const std::filesystem::path& file, const Tones& tones) {
    const std::string smf = midiBytes(tones);
    std::string rmi = "RIFF";
    put32(rmi, static_cast<std::uint32_t>(4 + 8 + smf.size()));
    rmi += "RMIDdata";
    put32(rmi, static_cast<std::uint32_t>(smf.size()));
    save(file, rmi + smf);
}

void writeEncoded(const std::filesystem::path& file, const Tones& tones, const std::string& encoder) {
    if (!gst_is_initialized()) gst_init(nullptr, nullptr);
    // The samples are those of the WAV fixture, as stereo at 44.1 kHz.
    const std::filesystem::path source = file.string() + ".source.wav";
    writeWav(source, tones);
    const std::string description = "filesrc location=\"" + source.string() +
                                    "\" ! wavparse ! audioconvert ! audio/x-raw,rate=44100,channels=2 ! " + encoder +
                                    " ! filesink location=\"" + file.string() + "\"";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (pipeline == nullptr) {
        std::string message = error != nullptr ? error->message : "unknown";
        if (error != nullptr) g_error_free(error);
        throw std::runtime_error("cannot make fixture: " + message);
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(bus, 60 * GST_SECOND,
                                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = msg != nullptr && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg != nullptr) gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    std::filesystem::remove(source);
    if (!ok) throw std::runtime_error("encoding fixture " + file.string() + " failed");
}

void writeFixture(const std::filesystem::path& file, const Tones& tones) {
    const std::string ext = file.extension().string();
    if (ext == ".wav") return writeWav(file, tones);
    // Like the files of common encoders, with a header that states the length.
    if (ext == ".mp3") return writeEncoded(file, tones, "lamemp3enc target=bitrate cbr=true bitrate=128 ! xingmux");
    if (ext == ".mp2") return writeEncoded(file, tones, "twolamemp2enc");
    if (ext == ".mid" || ext == ".midi") return writeMidi(file, tones);
    if (ext == ".rmi") return writeRmi(file, tones);
    throw std::invalid_argument("no fixture kind for " + file.string());
}

double toneLevel(const short* samples, std::size_t count, int rate, double frequency) {
    if (count == 0) return 0;
    const double w = 2 * M_PI * frequency / rate;
    const double coeff = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double s0 = samples[i] / 32768.0 + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(count);
}

}  // namespace tb::test
