#include "media/gstreamer/playbin.h"

#include "media/gstreamer/gst_media_layer.h"
#include "core/util/file_system.h"
#include "media/gstreamer/midi_decoder.h"
#include "media/gstreamer/mpeg_audio.h"

#include <gst/gst.h>

#include <malloc.h>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

namespace tb {
namespace {

constexpr std::uint32_t kPlayFlagAudio = 0x2;
constexpr std::uint32_t kPlayFlagSoftVolume = 0x10;

struct ErrorInfo {
    GQuark domain = 0;
    int code = 0;
    std::string message;
    std::string debug;
    bool fromSink = false;
};

std::uint32_t errorCodeFor(const ErrorInfo& e) {
    // The MIDI decoder names the soundfont in its text, and what went wrong in its debug text.
    if (e.message.find("soundfont") != std::string::npos || e.debug.find("soundfont") != std::string::npos) {
        return GstMediaLayer::kNoSoundfont;
    }
    if (e.fromSink) return GstMediaLayer::kNoAudioOutput;
    if (e.domain == GST_RESOURCE_ERROR) {
        return e.code == GST_RESOURCE_ERROR_NOT_FOUND ? GstMediaLayer::kFileNotFound : GstMediaLayer::kCannotRead;
    }
    return GstMediaLayer::kCannotDecode;
}

bool isSink(GstObject* object) {
    return object != nullptr && GST_IS_ELEMENT(object) && GST_OBJECT_FLAG_IS_SET(object, GST_ELEMENT_FLAG_SINK);
}

void onElementSetup(GstElement*, GstElement* element, gpointer soundfont) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory == nullptr) return;
    if (std::string_view(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory))) == kMidiDecoderName) {
        g_object_set(element, "soundfont", static_cast<const char*>(soundfont), nullptr);
    }
}

// True when the default output fell back to a sink that sounds nowhere: the automatic
// sink does that quietly when no sound server or device answers.
bool fellBackToFakeSink(GstElement* autoSink) {
    bool fake = false;
    GstIterator* it = gst_bin_iterate_elements(GST_BIN(autoSink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* child = static_cast<GstElement*>(g_value_get_object(&item));
        if (GstElementFactory* f = gst_element_get_factory(child)) {
            const std::string_view name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f));
            fake = fake || name == "fakesink" || name == "fakeaudiosink";
        }
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(it);
    return fake;
}

}  // namespace

FileProblem checkFile(const std::string& file, FileIdentity* identity) {
    // What the path is, as every other check of the program decides it.
    switch (pathKind(std::filesystem::u8path(file))) {
        case PathKind::Missing: return FileProblem::NotFound;
        case PathKind::NoAccess: return FileProblem::Unreadable;
        case PathKind::Folder: return FileProblem::Folder;
        case PathKind::Other: return FileProblem::NotRegular;
        case PathKind::Regular: break;
    }
    const auto found = readableFileIdentity(std::filesystem::u8path(file));
    if (!found) return FileProblem::Unreadable;
    if (identity != nullptr) *identity = *found;
    return FileProblem::None;
}

struct Playbin::Mailbox {
    std::mutex mutex;
    std::condition_variable changed;
    bool asyncDone = false;
    std::optional<ErrorInfo> error;
    std::uint64_t epoch = 0;
    std::function<void(StreamEvent)> onEvent;
};

namespace {

GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data) {
    auto& mailbox = **static_cast<std::shared_ptr<Playbin::Mailbox>*>(data);
    std::optional<StreamEvent> event;
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ASYNC_DONE: {
            std::lock_guard lock(mailbox.mutex);
            mailbox.asyncDone = true;
            mailbox.changed.notify_all();
            break;
        }
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gchar* debug = nullptr;
            gst_message_parse_error(message, &error, &debug);
            ErrorInfo info;
            if (debug != nullptr) info.debug = debug;
            if (error != nullptr) {
                info.domain = error->domain;
                info.code = error->code;
                info.message = error->message != nullptr ? error->message : "";
            }
            g_free(debug);
            if (error != nullptr) g_error_free(error);
            info.fromSink = isSink(GST_MESSAGE_SRC(message));
            std::lock_guard lock(mailbox.mutex);
            event = StreamEvent{StreamEvent::Error, mailbox.epoch, info.message, errorCodeFor(info)};
            if (!mailbox.error) mailbox.error = std::move(info);
            mailbox.changed.notify_all();
            break;
        }
        case GST_MESSAGE_EOS: {
            std::lock_guard lock(mailbox.mutex);
            event = StreamEvent{StreamEvent::EndOfStream, mailbox.epoch, {}, 0};
            break;
        }
        default:
            break;
    }
    // A sync handler that drops a message owns it.
    gst_message_unref(message);
    if (event && mailbox.onEvent) mailbox.onEvent(std::move(*event));
    return GST_BUS_DROP;
}

}  // namespace

Playbin::Playbin(std::function<void(StreamEvent)> onEvent) : mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->onEvent = std::move(onEvent);
}

Playbin::~Playbin() { release(); }

void Playbin::release() {
    if (pipeline_ == nullptr) return;
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    g_signal_handlers_disconnect_matched(pipeline_, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                         reinterpret_cast<gpointer>(&onElementSetup), nullptr);
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(std::exchange(pipeline_, nullptr));
#ifdef __GLIBC__
    // FluidSynth loads a soundfont in some hundred thousand small pieces; left
    // to itself the allocator keeps those pages, and a long run would grow by them.
    ::malloc_trim(0);
#endif
}

void Playbin::setEpoch(std::uint64_t epoch) {
    std::lock_guard lock(mailbox_->mutex);
    mailbox_->epoch = epoch;
}

std::uint64_t Playbin::epoch() const {
    std::lock_guard lock(mailbox_->mutex);
    return mailbox_->epoch;
}

std::uint32_t Playbin::failureCode() {
    std::lock_guard lock(mailbox_->mutex);
    return mailbox_->error ? errorCodeFor(*mailbox_->error) : GstMediaLayer::kPlaybackFailed;
}

Playbin::Opened Playbin::open(const Setup& setup, std::chrono::milliseconds limit) {
    release();
    Opened result;
    switch (checkFile(setup.file, &result.identity)) {
        case FileProblem::None: break;
        case FileProblem::NotFound: result.error = GstMediaLayer::kFileNotFound; return result;
        case FileProblem::Folder: result.error = GstMediaLayer::kIsFolder; return result;
        case FileProblem::NotRegular: result.error = GstMediaLayer::kNotRegularFile; return result;
        case FileProblem::Unreadable: result.error = GstMediaLayer::kCannotRead; return result;
    }

    pipeline_ = gst_element_factory_make("playbin", nullptr);
    if (pipeline_ == nullptr) {
        result.error = GstMediaLayer::kMediaLayerMissing;
        return result;
    }
    gst_object_ref_sink(pipeline_);
    gchar* uri = gst_filename_to_uri(setup.file.c_str(), nullptr);
    if (uri == nullptr) {
        result.error = GstMediaLayer::kFileNotFound;
        return result;
    }
    g_object_set(pipeline_, "uri", uri, "flags", kPlayFlagAudio | kPlayFlagSoftVolume, "volume", setup.volume,
                 nullptr);
    g_free(uri);

    GstElement* autoSink = nullptr;
    GstElement* sink = setup.makeSink ? setup.makeSink() : nullptr;
    if (sink == nullptr) {
        // The sound server paces a sink that does not wait for the clock: a stream that
        // waited prerolled then starts at once instead of as late as it waited.
        autoSink = sink = gst_element_factory_make("autoaudiosink", nullptr);
        if (sink != nullptr) g_object_set(sink, "sync", FALSE, nullptr);
    }
    if (sink != nullptr) g_object_set(pipeline_, "audio-sink", sink, nullptr);
    if (!setup.soundfont.empty()) {
        g_signal_connect_data(pipeline_, "element-setup", G_CALLBACK(onElementSetup), g_strdup(setup.soundfont.c_str()),
                              [](gpointer data, GClosure*) { g_free(data); }, GConnectFlags(0));
    }
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, &onBusMessage, new std::shared_ptr<Mailbox>(mailbox_),
                             [](gpointer data) { delete static_cast<std::shared_ptr<Mailbox>*>(data); });
    gst_object_unref(bus);

    if (!preroll(limit)) {
        bool errored = false;
        {
            std::lock_guard lock(mailbox_->mutex);
            errored = mailbox_->error.has_value();
        }
        result.error = errored ? failureCode() : GstMediaLayer::kOpenTimedOut;
        return result;
    }
    gint audioStreams = 0;
    g_object_get(pipeline_, "n-audio", &audioStreams, nullptr);
    if (audioStreams == 0) {
        result.error = GstMediaLayer::kCannotDecode;
        return result;
    }
    if (autoSink != nullptr && fellBackToFakeSink(autoSink)) {
        result.error = GstMediaLayer::kNoAudioOutput;
        return result;
    }
    result.lengthMs = queryLength().value_or(-1);
    if (result.lengthMs < 0) result.lengthMs = mpegAudioLengthMs(setup.file).value_or(-1);
    if (result.lengthMs < 0) result.lengthMs = estimatedLength(setup.file);
    if (result.lengthMs < 0) result.lengthMs = 0;
    return result;
}

bool Playbin::preroll(std::chrono::milliseconds limit) {
    {
        std::lock_guard lock(mailbox_->mutex);
        mailbox_->asyncDone = false;
        mailbox_->error.reset();
    }
    const GstStateChangeReturn ret = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    std::unique_lock lock(mailbox_->mutex);
    if (ret == GST_STATE_CHANGE_FAILURE) {
        // The element that failed posts its error first; give it a moment.
        mailbox_->changed.wait_for(lock, std::chrono::milliseconds(500), [&] { return mailbox_->error.has_value(); });
        return false;
    }
    if (ret == GST_STATE_CHANGE_ASYNC) {
        mailbox_->changed.wait_for(lock, limit, [&] { return mailbox_->asyncDone || mailbox_->error.has_value(); });
    }
    return (ret != GST_STATE_CHANGE_ASYNC || mailbox_->asyncDone) && !mailbox_->error;
}

std::optional<std::int64_t> Playbin::queryLength() {
    gint64 ns = 0;
    if (pipeline_ != nullptr && gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &ns) && ns >= 0) {
        return ns / GST_MSECOND;
    }
    return std::nullopt;
}

std::optional<std::int64_t> Playbin::queryPosition() {
    gint64 ns = 0;
    if (pipeline_ != nullptr && gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns) && ns >= 0) {
        return ns / GST_MSECOND;
    }
    return std::nullopt;
}

// A constant-bitrate stream without a header that states its duration (MPEG audio
// layer 2, for one) only knows it after being read through; until then its length is
// the file size at the stream's bitrate. (MPEG audio is measured from its frames
// first: at a variable bitrate the first frames' bitrate says little.)
std::int64_t Playbin::estimatedLength(const std::string& file) {
    GstTagList* tags = nullptr;
    g_signal_emit_by_name(pipeline_, "get-audio-tags", 0, &tags);
    if (tags == nullptr) return -1;
    guint bitrate = 0;
    if (!gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &bitrate) || bitrate == 0) {
        gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &bitrate);
    }
    gst_tag_list_unref(tags);
    std::error_code failed;
    const auto size = std::filesystem::file_size(std::filesystem::u8path(file), failed);
    if (bitrate == 0 || failed) return -1;
    return static_cast<std::int64_t>(size) * 8 * 1000 / bitrate;
}

std::uint32_t Playbin::play() {
    {
        std::lock_guard lock(mailbox_->mutex);
        mailbox_->error.reset();
    }
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) return failureCode();
    return 0;
}

std::uint32_t Playbin::pause() {
    // Played out and let go already (a stop can come between the release and the notice
    // of the end): nothing is left to pause.
    if (pipeline_ == nullptr) return 0;
    if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return failureCode();
    return 0;
}

std::uint32_t Playbin::seek(std::int64_t startMs, std::optional<std::int64_t> stopMs, std::chrono::milliseconds limit) {
    GstState state = GST_STATE_NULL;
    gst_element_get_state(pipeline_, &state, nullptr, 0);
    if (state != GST_STATE_PAUSED && !preroll(limit)) return failureCode();
    {
        std::lock_guard lock(mailbox_->mutex);
        mailbox_->asyncDone = false;
    }
    const bool ok = gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME,
                                     static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                     GST_SEEK_TYPE_SET, startMs * GST_MSECOND,
                                     stopMs ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_END,
                                     stopMs ? *stopMs * GST_MSECOND : 0);
    if (!ok) return GstMediaLayer::kPlaybackFailed;
    // A flushing seek prerolls again; play only once the new position is ready.
    std::unique_lock lock(mailbox_->mutex);
    mailbox_->changed.wait_for(lock, limit, [&] { return mailbox_->asyncDone || mailbox_->error.has_value(); });
    if (mailbox_->error) {
        lock.unlock();
        return failureCode();
    }
    return mailbox_->asyncDone ? 0u : std::uint32_t{GstMediaLayer::kOpenTimedOut};
}

bool Playbin::healthy() const {
    std::lock_guard lock(mailbox_->mutex);
    return pipeline_ != nullptr && !mailbox_->error;
}

void Playbin::setVolume(double volume) {
    if (pipeline_ != nullptr) g_object_set(pipeline_, "volume", volume, nullptr);
}

}  // namespace tb
