#include "media/gstreamer/midi_synth.h"

#include <fluidsynth.h>
#include <gst/gst.h>

#include <mutex>

GST_DEBUG_CATEGORY_STATIC(tb_fluidsynth_debug);
#define GST_CAT_DEFAULT tb_fluidsynth_debug

namespace tb {

void FluidDeleter::operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
void FluidDeleter::operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
void FluidDeleter::operator()(fluid_player_t* player) const {
    fluid_player_stop(player);
    delete_fluid_player(player);
}

namespace {

// FluidSynth writes its messages to the standard error stream unless told otherwise;
// they go to GStreamer's debug log instead (GST_DEBUG=tollbrook-fluidsynth:5).
void logToGstreamer(int level, const char* message, void*) {
    if (level <= FLUID_ERR) {
        GST_ERROR("%s", message);
    } else if (level == FLUID_WARN) {
        GST_WARNING("%s", message);
    } else {
        GST_DEBUG("%s", message);
    }
}

void routeLogOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        GST_DEBUG_CATEGORY_INIT(tb_fluidsynth_debug, "tollbrook-fluidsynth", 0, "FluidSynth, as Tollbrook uses it");
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
            fluid_set_log_function(level, &logToGstreamer, nullptr);
        }
    });
}

const void* volatile keptOpen = nullptr;  // see keepLibraryOpen

// A synthesizer opens the patch library it loads soundfonts with, and the last one to go
// closes it again; every such round leaves some 2.5 kB of that library's type data
// behind, and a soundfont loaded and played some 9 kB. One small synthesizer that never
// plays (one voice, no effects) keeps the library open for the rest of the process
// from the first MIDI file on, and the bells' synthesizers leave nothing.
void keepLibraryOpen() {
    struct Idle {
        FluidSettings settings{new_fluid_settings()};
        FluidSynth synth;
        Idle() {
            if (!settings) return;
            fluid_settings_setint(settings.get(), "synth.polyphony", 1);
            fluid_settings_setint(settings.get(), "synth.reverb.active", 0);
            fluid_settings_setint(settings.get(), "synth.chorus.active", 0);
            fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
            synth.reset(new_fluid_synth(settings.get()));
        }
    };
    // Never destroyed: a bell's synthesizer on a worker that was let go may still play
    // as the process ends. Held where leak checkers see it kept, not lost.
    static const bool kept = (keptOpen = new Idle, true);
    (void)kept;
}

}  // namespace

std::filesystem::path findSoundfont() {
    std::vector<std::filesystem::path> dirs;
    for (const gchar* const* d = g_get_system_data_dirs(); d != nullptr && *d != nullptr; ++d) dirs.emplace_back(*d);
    dirs.emplace_back("/usr/share");
    for (const auto& dir : dirs) {
        const auto folder = dir / "sounds" / "sf2";
        for (const char* name : {"default-GM.sf2", "TimGM6mb.sf2", "FluidR3_GM.sf2"}) {
            std::error_code ec;
            if (std::filesystem::is_regular_file(folder / name, ec)) return folder / name;
        }
    }
    return {};
}

MidiSynth::Made MidiSynth::make(const MidiFile& file, const std::filesystem::path& soundfont) {
    routeLogOnce();
    keepLibraryOpen();
    const auto failed = [](Made::Failure failure, std::string why) { return Made{nullptr, failure, std::move(why)}; };
    FluidSettings settings(new_fluid_settings());
    if (!settings) return failed(Made::NoSynthesizer, "FluidSynth could not be set up");
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kRate);
    // Time is the samples rendered: the pipeline renders ahead of the sound server.
    fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
    // Pinning the samples in memory is refused without privileges, and a bell needs none.
    fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
    FluidSynth synth(new_fluid_synth(settings.get()));
    if (!synth) return failed(Made::NoSynthesizer, "FluidSynth could not be set up");
    std::error_code ec;
    if (soundfont.empty()) return failed(Made::NoSoundfont, "no soundfont was found under sounds/sf2");
    if (!std::filesystem::is_regular_file(soundfont, ec) ||
        fluid_synth_sfload(synth.get(), soundfont.c_str(), 1) == FLUID_FAILED) {
        return failed(Made::NoSoundfont, "the soundfont " + soundfont.string() + " cannot be loaded");
    }
    std::unique_ptr<MidiSynth> made(new MidiSynth(file, std::move(settings), std::move(synth)));
    if (!made->seek(0)) return failed(Made::Unreadable, "FluidSynth's player does not read the file");
    return Made{std::move(made), Made::None, {}};
}

MidiSynth::MidiSynth(MidiFile file, FluidSettings settings, FluidSynth synth)
    : file_(std::move(file)), settings_(std::move(settings)), synth_(std::move(synth)) {}

// The player goes before the synthesizer it plays on.
MidiSynth::~MidiSynth() { player_.reset(); }

// A new player that skips to the tick: it sets up every channel (programs, controllers,
// tempo) as the file has it there, without its notes. The player's own seek is not used:
// once a player has played to its end it cannot start again.
bool MidiSynth::seek(std::int64_t ns) {
    player_.reset();
    fluid_synth_all_sounds_off(synth_.get(), -1);
    FluidPlayer player(new_fluid_player(synth_.get()));
    if (!player || fluid_player_add_mem(player.get(), file_.smf().data(), file_.smf().size()) != FLUID_OK) {
        return false;
    }
    const std::int64_t tick = file_.tickAt(ns);
    if (tick > 0 && fluid_player_seek(player.get(), static_cast<int>(tick)) != FLUID_OK) return false;
    if (fluid_player_play(player.get()) != FLUID_OK) return false;
    player_ = std::move(player);
    return true;
}

void MidiSynth::render(float* interleaved, int frames) {
    fluid_synth_write_float(synth_.get(), frames, interleaved, 0, 2, interleaved, 1, 2);
}

}  // namespace tb
