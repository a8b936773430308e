#pragma once

#include "media/gstreamer/midi_file.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace tb {

// FluidSynth's handles, each deleted with its own function.
struct FluidDeleter {
    void operator()(fluid_settings_t* settings) const;
    void operator()(fluid_synth_t* synth) const;
    void operator()(fluid_player_t* player) const;
};
using FluidSettings = std::unique_ptr<fluid_settings_t, FluidDeleter>;
using FluidSynth = std::unique_ptr<fluid_synth_t, FluidDeleter>;
using FluidPlayer = std::unique_ptr<fluid_player_t, FluidDeleter>;

// The General MIDI soundfont of the system (Debian's default-GM.sf2, TimGM6mb or
// FluidR3), under sounds/sf2 of the system's data folders; empty when none is installed.
std::filesystem::path findSoundfont();

// Renders one MIDI file with FluidSynth's player, as fast as it is asked for: the player
// keeps time by the samples rendered, not by a clock. Used by one streaming thread at a
// time.
class MidiSynth final {
public:
    static constexpr int kRate = 44100;

    struct Made;
    // Loads the soundfont and sets the file up to play from its start.
    static Made make(const MidiFile& file, const std::filesystem::path& soundfont);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // Starts the file again at `ns`; what sounded is cut off.
    bool seek(std::int64_t ns);
    // Renders `frames` stereo frames, interleaved, from where the last call stopped.
    void render(float* interleaved, int frames);

private:
    MidiSynth(MidiFile file, FluidSettings settings, FluidSynth synth);

    const MidiFile file_;
    FluidSettings settings_;
    FluidSynth synth_;
    FluidPlayer player_;
};

struct MidiSynth::Made {
    enum Failure { None, NoSoundfont, NoSynthesizer, Unreadable };
    std::unique_ptr<MidiSynth> synth;
    Failure failure = None;
    std::string why;
};

}  // namespace tb
