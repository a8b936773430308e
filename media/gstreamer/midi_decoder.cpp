#include "media/gstreamer/midi_decoder.h"

#include "media/gstreamer/midi_file.h"
#include "media/gstreamer/midi_synth.h"

#include <gst/gst.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace {

using tb::MidiFile;
using tb::MidiSynth;

constexpr std::size_t kMostBytes = 32 << 20;  // far beyond any real MIDI file
constexpr std::int64_t kBlockFrames = 1024;   // some 23 ms a buffer

// What the element does, apart from GObject's part. The sink's streaming thread fills
// `bytes` until the file's end; from then on the source pad's task renders. A seek takes
// the source pad's stream lock, so it never runs beside a round of the task; queries take
// only the mutex, which is never held while a buffer is pushed.
struct State {
    std::mutex mutex;
    std::vector<std::uint8_t> bytes;
    std::optional<MidiFile> file;
    std::unique_ptr<MidiSynth> synth;
    GstSegment segment;
    std::int64_t frame = 0;  // the next frame to render
    bool needSegment = true;
    bool discont = true;  // the next buffer follows a seek
    bool capsSent = false;

    State() { reset(); }
    void reset() {
        bytes.clear();
        file.reset();
        synth.reset();
        gst_segment_init(&segment, GST_FORMAT_TIME);
        frame = 0;
        needSegment = true;
        discont = true;
        capsSent = false;
    }
};

std::int64_t framesAt(std::int64_t ns) { return gst_util_uint64_scale_int(ns, MidiSynth::kRate, GST_SECOND); }
std::int64_t nsAt(std::int64_t frames) { return gst_util_uint64_scale_int(frames, GST_SECOND, MidiSynth::kRate); }

}  // namespace

struct TbMidiDec {
    GstElement parent;
    GstPad* sinkpad;
    GstPad* srcpad;
    gchar* soundfont;  // under the object lock
    State* state;
};
struct TbMidiDecClass {
    GstElementClass parent_class;
};

// GLib's type macro casts the init functions to its function types C's way.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
G_DEFINE_TYPE(TbMidiDec, tb_midi_dec, GST_TYPE_ELEMENT)
#pragma GCC diagnostic pop

namespace {

enum { PROP_0, PROP_SOUNDFONT };

GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("audio/midi; audio/riff-midi"));
GstStaticPadTemplate srcTemplate = GST_STATIC_PAD_TEMPLATE(
    "src", GST_PAD_SRC, GST_PAD_ALWAYS,
    GST_STATIC_CAPS("audio/x-raw, format=(string)F32LE, layout=(string)interleaved, rate=(int)44100, channels=(int)2"));

TbMidiDec* self(GstObject* parent) { return reinterpret_cast<TbMidiDec*>(parent); }

std::filesystem::path soundfontOf(TbMidiDec* dec) {
    GST_OBJECT_LOCK(dec);
    const std::optional<std::filesystem::path> set =
        dec->soundfont != nullptr ? std::optional<std::filesystem::path>(dec->soundfont) : std::nullopt;
    GST_OBJECT_UNLOCK(dec);
    return set ? *set : tb::findSoundfont();
}

// The first events of the source pad's stream: its start (when upstream gave none), caps.
void addStartEvents(TbMidiDec* dec, std::vector<GstEvent*>& events) {
    if (GstEvent* start = gst_pad_get_sticky_event(dec->srcpad, GST_EVENT_STREAM_START, 0)) {
        gst_event_unref(start);
    } else {
        gchar* id = gst_pad_create_stream_id(dec->srcpad, GST_ELEMENT(dec), nullptr);
        events.push_back(gst_event_new_stream_start(id));
        g_free(id);
    }
    GstCaps* caps = gst_pad_get_pad_template_caps(dec->srcpad);
    events.push_back(gst_event_new_caps(caps));
    gst_caps_unref(caps);
}

// The next block of sound up to `end`, from where the state stands.
GstBuffer* renderBlock(State& s, std::int64_t end) {
    const std::int64_t frames = std::min(kBlockFrames, end - s.frame);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, frames * 2 * sizeof(float), nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    s.synth->render(reinterpret_cast<float*>(map.data), static_cast<int>(frames));
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = nsAt(s.frame);
    GST_BUFFER_DURATION(buffer) = nsAt(s.frame + frames) - nsAt(s.frame);
    GST_BUFFER_OFFSET(buffer) = s.frame;
    GST_BUFFER_OFFSET_END(buffer) = s.frame + frames;
    if (std::exchange(s.discont, false)) GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DISCONT);
    s.frame += frames;
    s.segment.position = nsAt(s.frame);
    return buffer;
}

// One round of the source pad's task: the next block of sound, or the end. The
// synthesizer (and its soundfont) is made in the first round, so that a file that
// cannot play fails while it is made ready.
void renderLoop(gpointer data) {
    auto* dec = static_cast<TbMidiDec*>(data);
    State& s = *dec->state;
    std::vector<GstEvent*> events;
    GstBuffer* buffer = nullptr;
    MidiSynth::Made failed;
    {
        std::lock_guard lock(s.mutex);
        if (!s.file) return;
        if (!s.synth) {
            MidiSynth::Made made = MidiSynth::make(*s.file, soundfontOf(dec));
            if (made.synth && s.frame > 0 && !made.synth->seek(nsAt(s.frame))) {
                made = {nullptr, MidiSynth::Made::Unreadable, "FluidSynth's player cannot start there"};
            }
            if (made.synth) s.synth = std::move(made.synth);
            else failed = std::move(made);
        }
        if (s.synth) {
            if (!std::exchange(s.capsSent, true)) addStartEvents(dec, events);
            if (std::exchange(s.needSegment, false)) events.push_back(gst_event_new_segment(&s.segment));
            std::int64_t end = framesAt(s.file->lengthNs());
            if (GST_CLOCK_TIME_IS_VALID(s.segment.stop)) end = std::min(end, framesAt(s.segment.stop));
            if (s.frame < end) buffer = renderBlock(s, end);
        }
    }
    if (failed.failure != MidiSynth::Made::None) {
        if (failed.failure == MidiSynth::Made::NoSoundfont) {
            GST_ELEMENT_ERROR(dec, RESOURCE, NOT_FOUND,
                              ("MIDI files cannot be played: no General MIDI soundfont is installed"),
                              ("%s", failed.why.c_str()));
        } else {
            GST_ELEMENT_ERROR(dec, STREAM, DECODE, (nullptr), ("%s", failed.why.c_str()));
        }
        gst_pad_pause_task(dec->srcpad);
        return;
    }
    for (GstEvent* event : events) gst_pad_push_event(dec->srcpad, event);
    if (buffer == nullptr) {
        // Played to the end of the file or of the segment, or failed.
        gst_pad_push_event(dec->srcpad, gst_event_new_eos());
        gst_pad_pause_task(dec->srcpad);
        return;
    }
    const GstFlowReturn flow = gst_pad_push(dec->srcpad, buffer);
    if (flow == GST_FLOW_OK) return;
    gst_pad_pause_task(dec->srcpad);
    if (flow == GST_FLOW_EOS) {
        gst_pad_push_event(dec->srcpad, gst_event_new_eos());
    } else if (flow == GST_FLOW_NOT_LINKED || flow < GST_FLOW_EOS) {
        GST_ELEMENT_FLOW_ERROR(dec, flow);
        gst_pad_push_event(dec->srcpad, gst_event_new_eos());
    }
}

GstFlowReturn sinkChain(GstPad*, GstObject* parent, GstBuffer* buffer) {
    TbMidiDec* dec = self(parent);
    State& s = *dec->state;
    GstFlowReturn flow = GST_FLOW_OK;
    {
        std::lock_guard lock(s.mutex);
        if (s.file) {
            flow = GST_FLOW_EOS;  // the whole file is here already
        } else if (s.bytes.size() + gst_buffer_get_size(buffer) > kMostBytes) {
            flow = GST_FLOW_ERROR;
        } else {
            const std::size_t at = s.bytes.size();
            s.bytes.resize(at + gst_buffer_get_size(buffer));
            gst_buffer_extract(buffer, 0, s.bytes.data() + at, s.bytes.size() - at);
        }
    }
    gst_buffer_unref(buffer);
    if (flow == GST_FLOW_ERROR) GST_ELEMENT_ERROR(dec, STREAM, DECODE, (nullptr), ("too large for a MIDI file"));
    return flow;
}

// The file is read whole before anything plays: the source pad makes its own stream,
// so the sink's segment, caps and tags stay here.
gboolean sinkEvent(GstPad*, GstObject* parent, GstEvent* event) {
    TbMidiDec* dec = self(parent);
    State& s = *dec->state;
    switch (GST_EVENT_TYPE(event)) {
        case GST_EVENT_STREAM_START:
            return gst_pad_push_event(dec->srcpad, event);
        case GST_EVENT_FLUSH_STOP: {
            std::lock_guard lock(s.mutex);
            if (!s.file) s.bytes.clear();
            break;
        }
        case GST_EVENT_EOS: {
            std::string why;
            bool ready = false;
            {
                std::lock_guard lock(s.mutex);
                if (!s.file) {
                    s.file = MidiFile::parse(s.bytes, &why);
                    s.bytes = {};
                    if (s.file) s.segment.duration = s.file->lengthNs();
                }
                ready = s.file.has_value();
            }
            gst_event_unref(event);
            if (!ready) {
                GST_ELEMENT_ERROR(dec, STREAM, DECODE, (nullptr), ("not a MIDI file: %s", why.c_str()));
                return FALSE;
            }
            return gst_pad_start_task(dec->srcpad, renderLoop, dec, nullptr);
        }
        default:
            break;
    }
    gst_event_unref(event);
    return TRUE;
}

gboolean handleSeek(TbMidiDec* dec, GstEvent* event) {
    State& s = *dec->state;
    gdouble rate = 1.0;
    GstFormat format = GST_FORMAT_UNDEFINED;
    GstSeekFlags flags = GST_SEEK_FLAG_NONE;
    GstSeekType startType, stopType;
    gint64 start = 0, stop = 0;
    gst_event_parse_seek(event, &rate, &format, &flags, &startType, &start, &stopType, &stop);
    gst_event_unref(event);
    if (format != GST_FORMAT_TIME || rate != 1.0) return FALSE;
    const bool flush = flags & GST_SEEK_FLAG_FLUSH;
    if (flush) {
        gst_pad_push_event(dec->srcpad, gst_event_new_flush_start());
    } else {
        gst_pad_pause_task(dec->srcpad);
    }
    GST_PAD_STREAM_LOCK(dec->srcpad);
    bool done = false, ready = false;
    {
        std::lock_guard lock(s.mutex);
        GstSegment seeked = s.segment;
        if (gst_segment_do_seek(&seeked, rate, format, flags, startType, start, stopType, stop, nullptr) &&
            (!s.synth || s.synth->seek(seeked.start))) {
            s.segment = seeked;
            s.segment.position = s.segment.start;
            s.frame = framesAt(s.segment.start);
            s.needSegment = true;
            s.discont = true;
            done = true;
        }
        ready = s.file.has_value();
    }
    if (flush) gst_pad_push_event(dec->srcpad, gst_event_new_flush_stop(TRUE));
    if (ready) gst_pad_start_task(dec->srcpad, renderLoop, dec, nullptr);
    GST_PAD_STREAM_UNLOCK(dec->srcpad);
    return done;
}

gboolean srcEvent(GstPad* pad, GstObject* parent, GstEvent* event) {
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEEK) return handleSeek(self(parent), event);
    return gst_pad_event_default(pad, parent, event);
}

gboolean srcQuery(GstPad* pad, GstObject* parent, GstQuery* query) {
    State& s = *self(parent)->state;
    GstFormat format = GST_FORMAT_UNDEFINED;
    switch (GST_QUERY_TYPE(query)) {
        case GST_QUERY_DURATION: {
            gst_query_parse_duration(query, &format, nullptr);
            std::lock_guard lock(s.mutex);
            if (format != GST_FORMAT_TIME || !s.file) return FALSE;
            gst_query_set_duration(query, GST_FORMAT_TIME, s.file->lengthNs());
            return TRUE;
        }
        case GST_QUERY_POSITION: {
            gst_query_parse_position(query, &format, nullptr);
            std::lock_guard lock(s.mutex);
            if (format != GST_FORMAT_TIME || !s.file) return FALSE;
            gst_query_set_position(query, GST_FORMAT_TIME, s.segment.position);
            return TRUE;
        }
        case GST_QUERY_SEEKING: {
            gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
            std::lock_guard lock(s.mutex);
            if (format != GST_FORMAT_TIME) return FALSE;
            gst_query_set_seeking(query, GST_FORMAT_TIME, s.file.has_value(), 0,
                                  s.file ? s.file->lengthNs() : gint64(-1));
            return TRUE;
        }
        default:
            return gst_pad_query_default(pad, parent, query);
    }
}

gboolean srcActivateMode(GstPad* pad, GstObject*, GstPadMode mode, gboolean active) {
    if (mode != GST_PAD_MODE_PUSH) return FALSE;
    return active ? TRUE : gst_pad_stop_task(pad);
}

// Starts each stream afresh; once the task has stopped with the pads, the soundfont's
// memory goes.
GstStateChangeReturn changeState(GstElement* element, GstStateChange transition) {
    State& s = *reinterpret_cast<TbMidiDec*>(element)->state;
    const auto reset = [&] {
        std::lock_guard lock(s.mutex);
        s.reset();
    };
    if (transition == GST_STATE_CHANGE_READY_TO_PAUSED) reset();
    const GstStateChangeReturn result =
        GST_ELEMENT_CLASS(tb_midi_dec_parent_class)->change_state(element, transition);
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) reset();
    return result;
}

// The one property, "soundfont".
void setProperty(GObject* object, guint, const GValue* value, GParamSpec*) {
    TbMidiDec* dec = reinterpret_cast<TbMidiDec*>(object);
    GST_OBJECT_LOCK(dec);
    g_free(dec->soundfont);
    dec->soundfont = g_value_dup_string(value);
    GST_OBJECT_UNLOCK(dec);
}

void getProperty(GObject* object, guint, GValue* value, GParamSpec*) {
    TbMidiDec* dec = reinterpret_cast<TbMidiDec*>(object);
    GST_OBJECT_LOCK(dec);
    g_value_set_string(value, dec->soundfont);
    GST_OBJECT_UNLOCK(dec);
}

void finalize(GObject* object) {
    TbMidiDec* dec = reinterpret_cast<TbMidiDec*>(object);
    delete dec->state;
    g_free(dec->soundfont);
    G_OBJECT_CLASS(tb_midi_dec_parent_class)->finalize(object);
}

gboolean pluginInit(GstPlugin* plugin) { return tb::registerMidiDecoder(plugin) ? TRUE : FALSE; }

}  // namespace

static void tb_midi_dec_class_init(TbMidiDecClass* klass) {
    GObjectClass* object = G_OBJECT_CLASS(klass);
    object->set_property = setProperty;
    object->get_property = getProperty;
    object->finalize = finalize;
    g_object_class_install_property(
        object, PROP_SOUNDFONT,
        g_param_spec_string("soundfont", "Soundfont", "The General MIDI soundfont (.sf2) to play with", nullptr,
                            static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS)));
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    element->change_state = changeState;
    gst_element_class_add_static_pad_template(element, &sinkTemplate);
    gst_element_class_add_static_pad_template(element, &srcTemplate);
    gst_element_class_set_static_metadata(element, "Tollbrook MIDI decoder", "Codec/Decoder/Audio",
                                          "Plays MIDI and RMI files through FluidSynth", "The Tollbrook developers");
}

static void tb_midi_dec_init(TbMidiDec* dec) {
    dec->state = new State;
    dec->soundfont = nullptr;
    dec->sinkpad = gst_pad_new_from_static_template(&sinkTemplate, "sink");
    gst_pad_set_chain_function(dec->sinkpad, sinkChain);
    gst_pad_set_event_function(dec->sinkpad, sinkEvent);
    gst_element_add_pad(GST_ELEMENT(dec), dec->sinkpad);
    dec->srcpad = gst_pad_new_from_static_template(&srcTemplate, "src");
    gst_pad_use_fixed_caps(dec->srcpad);
    gst_pad_set_event_function(dec->srcpad, srcEvent);
    gst_pad_set_query_function(dec->srcpad, srcQuery);
    gst_pad_set_activatemode_function(dec->srcpad, srcActivateMode);
    gst_element_add_pad(GST_ELEMENT(dec), dec->srcpad);
}

namespace tb {

bool registerMidiDecoder(GstPlugin* plugin) {
    // Above any other MIDI decoder that may be installed, so that every MIDI file plays
    // the same way.
    return gst_element_register(plugin, kMidiDecoderName, GST_RANK_PRIMARY + 1, tb_midi_dec_get_type());
}

void registerMidiDecoder() {
    static std::once_flag once;
    std::call_once(once, [] {
        gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, "tollbrookmidi",
                                   "MIDI through FluidSynth", pluginInit, "1.01", "MIT/X11", "tollbrook",
                                   "Tollbrook", "tollbrook");
    });
}

}  // namespace tb
