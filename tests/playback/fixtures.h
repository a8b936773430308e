#pragma once

#include <filesystem>
#include <string>

namespace tb::test {

// Small media files of known content, made on the spot.
struct Tone {
    double frequency = 440.0;
    int milliseconds = 1000;
    double amplitude = 0.5;  // of full scale
};

void writeWav(const std::filesystem::path& file, const Tone& tone, int rate = 44100);
// One note held for the tone's length on a piano; the frequency picks the nearest note.
void writeMidi(const std::filesystem::path& file, const Tone& tone);
// The same MIDI data in a RIFF "RMID" container.
void writeRmi(const std::filesystem::path& file, const Tone& tone);
// Encodes a tone with a GStreamer encoder element ("lamemp3enc", "twolamemp2enc").
void writeEncoded(const std::filesystem::path& file, const Tone& tone, const std::string& encoder);

// Writes the fixture whose kind the file's extension names (.wav .mp3 .mp2 .mid .midi .rmi).
void writeFixture(const std::filesystem::path& file, const Tone& tone);

// Strength of one frequency in 16-bit mono samples (Goertzel), relative to full scale.
double toneLevel(const short* samples, std::size_t count, int rate, double frequency);

}  // namespace tb::test
