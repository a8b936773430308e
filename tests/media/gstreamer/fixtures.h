#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tb::test {

// Small media files of known content, made on the spot.
struct Tone {
    double frequency = 440.0;
    int milliseconds = 1000;
    double amplitude = 0.5;  // of full scale
};

// Tones played one after the other.
using Tones = std::vector<Tone>;

void writeWav(const std::filesystem::path& file, const Tones& tones, int rate = 44100);
// One note per tone on a piano, each held for the tone's length; the frequency picks
// the nearest note.
void writeMidi(const std::filesystem::path& file, const Tones& tones);
// The same MIDI data in a RIFF "RMID" container.
void writeRmi(const std::filesystem::path& file, const Tones& tones);
// Encodes the tones with a GStreamer encoder description ("lamemp3enc", "twolamemp2enc").
void writeEncoded(const std::filesystem::path& file, const Tones& tones, const std::string& encoder);

// Writes the fixture whose kind the file's extension names (.wav .mp3 .mp2 .mid .midi .rmi).
void writeFixture(const std::filesystem::path& file, const Tones& tones);

inline void writeWav(const std::filesystem::path& file, const Tone& tone, int rate = 44100) {
    writeWav(file, Tones{tone}, rate);
}
inline void writeMidi(const std::filesystem::path& file, const Tone& tone) { writeMidi(file, Tones{tone}); }
inline void writeRmi(const std::filesystem::path& file, const Tone& tone) { writeRmi(file, Tones{tone}); }
inline void writeEncoded(const std::filesystem::path& file, const Tone& tone, const std::string& encoder) {
    writeEncoded(file, Tones{tone}, encoder);
}
inline void writeFixture(const std::filesystem::path& file, const Tone& tone) { writeFixture(file, Tones{tone}); }

// The frequency of the piano note that writeMidi plays for `frequency`.
double midiNoteFrequency(double frequency);

// Strength of one frequency in 16-bit mono samples (Goertzel), relative to full scale.
double toneLevel(const short* samples, std::size_t count, int rate, double frequency);

}  // namespace tb::test
