// The MIDI decoder as a GStreamer plugin module (libgsttollbrookmidi.so). The program
// itself registers the decoder in-process and does not load this.
#include "media/gstreamer/midi_decoder.h"

#include <gst/gst.h>

namespace {

gboolean init(GstPlugin* plugin) { return tb::registerMidiDecoder(plugin) ? TRUE : FALSE; }

}  // namespace

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, tollbrookmidi, "MIDI through FluidSynth", init, "1.01",
                  "MIT/X11", "tollbrook", "Tollbrook")
