#pragma once

typedef struct _GstPlugin GstPlugin;

namespace tb {

// The project's own MIDI decoder: a GStreamer element that takes a whole MIDI or RMI
// file and plays it through FluidSynth into raw audio, seekable in time. Decodebin (and
// so playbin) picks it for MIDI files ahead of any other decoder. Its "soundfont"
// property names the General MIDI soundfont; unset, it looks under sounds/sf2 of the
// system's data folders, and without one it fails with an error that says so.
inline constexpr const char* kMidiDecoderName = "tollbrookmididec";

// Makes the decoder known to GStreamer in this process; once is enough, more is harmless.
void registerMidiDecoder();
// Registers the decoder into `plugin` (the plugin module's entry).
bool registerMidiDecoder(GstPlugin* plugin);

}  // namespace tb
