#include "playback/core/gst_media_layer.h"

#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <utility>
#include <unistd.h>

namespace tb {

using namespace mci;

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

// What the streaming threads tell the device: the only state both sides touch.
struct Mailbox {
    std::mutex mutex;
    std::condition_variable changed;
    bool asyncDone = false;
    std::optional<ErrorInfo> error;
    std::atomic<std::uint64_t> epoch{0};
};

std::uint32_t errorCodeFor(const ErrorInfo& e) {
    // The MIDI decoder says so only in its debug text, as decodebin passes it on.
    if (e.message.find("soundfont") != std::string::npos || e.debug.find("soundfont") != std::string::npos) {
        return GstMediaLayer::kNoSoundfont;
    }
    if (e.domain == GST_RESOURCE_ERROR) {
        if (e.fromSink) return GstMediaLayer::kNoAudioOutput;
        if (e.code == GST_RESOURCE_ERROR_NOT_FOUND) return GstMediaLayer::kFileNotFound;
        return GstMediaLayer::kCannotRead;
    }
    return GstMediaLayer::kCannotDecode;
}

std::int64_t toMs(gint64 ns) { return ns / GST_MSECOND; }

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

void onElementSetup(GstElement*, GstElement* element, gpointer soundfont) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory == nullptr || soundfont == nullptr) return;
    if (std::string_view(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory))) == "fluiddec") {
        g_object_set(element, "soundfont", static_cast<const char*>(soundfont), nullptr);
    }
}

}  // namespace

class GstMediaLayer::Device final : public std::enable_shared_from_this<Device> {
public:
    Device(std::uint16_t id, Poster& poster) : id_(id), poster_(poster), mailbox_(std::make_shared<Mailbox>()) {}
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    ~Device() { teardown(); }

    std::uint32_t prepare(const std::string& file, std::uint32_t deviceType, const Options& options, double volume);
    std::uint32_t command(Command command, std::uint32_t flags, MciParams& params);
    // Ends the device: an outstanding play notice is aborted.
    void close();
    void setVolume(double volume) {
        if (pipeline_ != nullptr) g_object_set(pipeline_, "volume", volume, nullptr);
    }

private:
    enum class Mode { Stopped, Playing, Paused };

    struct Context {
        std::shared_ptr<Mailbox> mailbox;
        std::weak_ptr<Device> device;
        Poster* poster;
    };
    static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data);

    void onEndOfStream(std::uint64_t epoch);
    void onRuntimeError(std::uint64_t epoch);
    void notice(const std::weak_ptr<NoticeReceiver>& to, std::uint32_t code) {
        poster_.post([to, code, id = id_] {
            if (auto r = to.lock()) r->mciNotify(code, id);
        });
    }
    void endPendingPlay(std::uint32_t code) {
        if (!pending_) return;
        pending_ = false;
        notice(pendingTo_, code);
    }
    void newEpoch() { mailbox_->epoch.store(++epoch_); }
    std::int64_t length();
    std::int64_t estimatedLength();
    std::int64_t position();
    bool seekTo(std::int64_t startMs, std::optional<std::int64_t> stopMs);
    // Brings the pipeline to PAUSED and waits, within the bound, until it is ready.
    bool preroll(std::chrono::milliseconds limit);
    void holdAt(std::int64_t ms);
    std::uint32_t play(std::uint32_t flags, MciParams& params);
    std::uint32_t status(std::uint32_t flags, MciParams& params);
    std::uint32_t capability(MciParams& params) const;
    void teardown();

    std::uint16_t id_;
    Poster& poster_;
    std::shared_ptr<Mailbox> mailbox_;
    GstElement* pipeline_ = nullptr;
    std::string soundfont_;
    std::uint32_t deviceType_ = DEVTYPE_WAVEFORM_AUDIO;

    // Owned by the user-interface thread.
    Mode mode_ = Mode::Stopped;
    std::uint64_t epoch_ = 0;
    std::int64_t length_ = -1;
    bool lengthEstimated_ = false;
    std::string file_;
    std::int64_t held_ = 0;          // position while not playing
    std::optional<std::int64_t> playTo_;  // where the current play stops, when not at the end
    bool broken_ = false;
    bool pending_ = false;
    std::weak_ptr<NoticeReceiver> pendingTo_;
};

GstBusSyncReply GstMediaLayer::Device::onBusMessage(GstBus*, GstMessage* message, gpointer data) {
    auto* ctx = static_cast<Context*>(data);
    Mailbox& mb = *ctx->mailbox;
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ASYNC_DONE: {
            std::lock_guard lock(mb.mutex);
            mb.asyncDone = true;
            mb.changed.notify_all();
            break;
        }
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gchar* debug = nullptr;
            gst_message_parse_error(message, &error, &debug);
            ErrorInfo info;
            if (debug != nullptr) {
                info.debug = debug;
                g_free(debug);
            }
            if (error != nullptr) {
                info.domain = error->domain;
                info.code = error->code;
                info.message = error->message != nullptr ? error->message : "";
                g_error_free(error);
            }
            GstObject* src = GST_MESSAGE_SRC(message);
            info.fromSink = src != nullptr && GST_IS_ELEMENT(src) && GST_OBJECT_FLAG_IS_SET(src, GST_ELEMENT_FLAG_SINK);
            {
                std::lock_guard lock(mb.mutex);
                if (!mb.error) mb.error = info;
                mb.changed.notify_all();
            }
            const std::uint64_t epoch = mb.epoch.load();
            ctx->poster->post([device = ctx->device, epoch] {
                if (auto d = device.lock()) d->onRuntimeError(epoch);
            });
            break;
        }
        case GST_MESSAGE_EOS: {
            const std::uint64_t epoch = mb.epoch.load();
            ctx->poster->post([device = ctx->device, epoch] {
                if (auto d = device.lock()) d->onEndOfStream(epoch);
            });
            break;
        }
        default:
            break;
    }
    return GST_BUS_DROP;
}

std::uint32_t GstMediaLayer::Device::prepare(const std::string& file, std::uint32_t deviceType,
                                             const Options& options, double volume) {
    deviceType_ = deviceType;
    file_ = file;
    pipeline_ = gst_element_factory_make("playbin", nullptr);
    if (pipeline_ == nullptr) return kMediaLayerMissing;
    gst_object_ref_sink(pipeline_);

    GError* uriError = nullptr;
    gchar* uri = gst_filename_to_uri(file.c_str(), &uriError);
    if (uri == nullptr) {
        if (uriError != nullptr) g_error_free(uriError);
        return kFileNotFound;
    }
    g_object_set(pipeline_, "uri", uri, "flags", kPlayFlagAudio | kPlayFlagSoftVolume, "volume", volume, nullptr);
    g_free(uri);
    if (options.makeSink) {
        if (GstElement* sink = options.makeSink()) g_object_set(pipeline_, "audio-sink", sink, nullptr);
    }
    {
        GstClock* clock = gst_system_clock_obtain();
        gst_pipeline_use_clock(GST_PIPELINE(pipeline_), clock);
        gst_object_unref(clock);
    }
    soundfont_ = options.soundfont.string();
    g_signal_connect(pipeline_, "element-setup", G_CALLBACK(onElementSetup),
                     soundfont_.empty() ? nullptr : soundfont_.data());

    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(
        bus, &Device::onBusMessage, new Context{mailbox_, weak_from_this(), &poster_},
        [](gpointer data) { delete static_cast<Context*>(data); });
    gst_object_unref(bus);

    const GstStateChangeReturn ret = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    {
        std::unique_lock lock(mailbox_->mutex);
        if (ret == GST_STATE_CHANGE_FAILURE) {
            // The element that failed posts its error first; give it a moment.
            mailbox_->changed.wait_for(lock, std::chrono::seconds(1), [&] { return mailbox_->error.has_value(); });
        } else if (ret == GST_STATE_CHANGE_ASYNC) {
            mailbox_->changed.wait_for(lock, options.openTimeout,
                                       [&] { return mailbox_->asyncDone || mailbox_->error.has_value(); });
        }
        if (mailbox_->error) return errorCodeFor(*mailbox_->error);
        if (ret == GST_STATE_CHANGE_FAILURE) return kCannotDecode;
        if (ret == GST_STATE_CHANGE_ASYNC && !mailbox_->asyncDone) return kOpenTimedOut;
        mailbox_->asyncDone = false;
    }
    gint audioStreams = 0;
    g_object_get(pipeline_, "n-audio", &audioStreams, nullptr);
    if (audioStreams == 0) return kCannotDecode;
    length();
    return 0;
}

void GstMediaLayer::Device::teardown() {
    if (pipeline_ == nullptr) return;
    GstElement* pipeline = std::exchange(pipeline_, nullptr);
    // Going to NULL joins the streaming threads and can block on a stuck sink: do it
    // aside and wait a bounded time.
    auto done = std::make_shared<std::pair<std::mutex, std::condition_variable>>();
    auto finished = std::make_shared<bool>(false);
    std::thread([pipeline, done, finished] {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
        std::lock_guard lock(done->first);
        *finished = true;
        done->second.notify_all();
    }).detach();
    std::unique_lock lock(done->first);
    done->second.wait_for(lock, std::chrono::seconds(3), [&] { return *finished; });
}

void GstMediaLayer::Device::close() {
    endPendingPlay(NOTIFY_ABORTED);
    teardown();
}

std::int64_t GstMediaLayer::Device::length() {
    if ((length_ < 0 || lengthEstimated_) && pipeline_ != nullptr) {
        gint64 ns = 0;
        if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &ns) && ns >= 0) {
            length_ = toMs(ns);
            lengthEstimated_ = false;
        } else if (length_ < 0) {
            length_ = estimatedLength();
            lengthEstimated_ = length_ >= 0;
        }
    }
    return std::max<std::int64_t>(length_, 0);
}

// A constant-bitrate stream without a header that states its duration (MPEG audio
// layer 2, for one) only knows it after being read through; until then its length is
// the file size at the stream's bitrate.
std::int64_t GstMediaLayer::Device::estimatedLength() {
    GstTagList* tags = nullptr;
    g_signal_emit_by_name(pipeline_, "get-audio-tags", 0, &tags);
    if (tags == nullptr) return -1;
    guint bitrate = 0;
    if (!gst_tag_list_get_uint(tags, GST_TAG_BITRATE, &bitrate) || bitrate == 0) {
        gst_tag_list_get_uint(tags, GST_TAG_NOMINAL_BITRATE, &bitrate);
    }
    gst_tag_list_unref(tags);
    struct stat st {};
    if (bitrate == 0 || ::stat(file_.c_str(), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size) * 8 * 1000 / bitrate;
}

std::int64_t GstMediaLayer::Device::position() {
    if (mode_ != Mode::Playing || pipeline_ == nullptr) return held_;
    gint64 ns = 0;
    if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns) && ns >= 0) {
        held_ = std::min<std::int64_t>(toMs(ns), playTo_.value_or(length()));
    }
    return held_;
}

bool GstMediaLayer::Device::seekTo(std::int64_t startMs, std::optional<std::int64_t> stopMs) {
    const bool ok = gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME,
                                     static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                     GST_SEEK_TYPE_SET, startMs * GST_MSECOND,
                                     stopMs ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_END,
                                     stopMs ? *stopMs * GST_MSECOND : 0);
    // Whatever the streaming threads report from here on belongs to the new segment.
    newEpoch();
    return ok;
}

bool GstMediaLayer::Device::preroll(std::chrono::milliseconds limit) {
    {
        std::lock_guard lock(mailbox_->mutex);
        mailbox_->asyncDone = false;
        mailbox_->error.reset();
    }
    const GstStateChangeReturn ret = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    if (ret == GST_STATE_CHANGE_FAILURE) return false;
    if (ret != GST_STATE_CHANGE_ASYNC) return true;
    std::unique_lock lock(mailbox_->mutex);
    mailbox_->changed.wait_for(lock, limit, [&] { return mailbox_->asyncDone || mailbox_->error.has_value(); });
    return mailbox_->asyncDone && !mailbox_->error;
}

// Stops where the device is (or at `ms`) and keeps the file ready to go on.
void GstMediaLayer::Device::holdAt(std::int64_t ms) {
    held_ = ms;
    mode_ = Mode::Stopped;
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    newEpoch();
}

std::uint32_t GstMediaLayer::Device::play(std::uint32_t flags, MciParams& p) {
    if (broken_) return kPlaybackFailed;
    const std::int64_t len = length();
    const bool hasFrom = flags & FROM;
    const bool hasTo = flags & TO;
    if ((hasFrom && p.from > len) || (hasTo && p.to > len) || (hasFrom && hasTo && p.from > p.to)) return kOutOfRange;

    if (flags & NOTIFY) {
        endPendingPlay(NOTIFY_SUPERSEDED);
        pending_ = true;
        pendingTo_ = p.callback;
    } else if (hasFrom || hasTo) {
        endPendingPlay(NOTIFY_ABORTED);
    }

    if (mode_ == Mode::Playing && !hasFrom && !hasTo) return 0;  // plays on from where it is

    const std::int64_t start = hasFrom ? p.from : position();
    const std::int64_t end = hasTo ? p.to : len;
    if (start >= end && len > 0) {
        // Nothing left to play: the play is over at once.
        held_ = start;
        mode_ = Mode::Stopped;
        endPendingPlay(NOTIFY_SUCCESSFUL);
        return 0;
    }
    playTo_ = hasTo ? std::optional<std::int64_t>(p.to) : std::nullopt;
    // The sound server counts the time a prerolled stream waited before its first
    // sample: a device opened or stopped a while ago would start that much late. So
    // every play starts a fresh stream: back to READY, then on from the start or from
    // a seek.
    gst_element_set_state(pipeline_, GST_STATE_READY);
    newEpoch();
    if (start != 0 || playTo_) {
        if (!preroll(std::chrono::seconds(5))) {
            broken_ = true;
            mode_ = Mode::Stopped;
            endPendingPlay(NOTIFY_FAILURE);
            return kPlaybackFailed;
        }
        seekTo(start, playTo_);
    }
    held_ = start;
    mode_ = Mode::Playing;
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        mode_ = Mode::Stopped;
        endPendingPlay(NOTIFY_FAILURE);
        return kPlaybackFailed;
    }
    return 0;
}

void GstMediaLayer::Device::onEndOfStream(std::uint64_t epoch) {
    if (epoch != epoch_ || mode_ != Mode::Playing) return;
    holdAt(playTo_.value_or(length()));
    endPendingPlay(NOTIFY_SUCCESSFUL);
}

void GstMediaLayer::Device::onRuntimeError(std::uint64_t epoch) {
    if (epoch != epoch_) return;
    {
        std::lock_guard lock(mailbox_->mutex);
        mailbox_->error.reset();
    }
    if (mode_ == Mode::Playing) position();
    mode_ = Mode::Stopped;
    broken_ = true;
    endPendingPlay(NOTIFY_FAILURE);
}

std::uint32_t GstMediaLayer::Device::status(std::uint32_t flags, MciParams& p) {
    if (!(flags & STATUS_ITEM)) return kBadStatusItem;
    switch (p.item) {
        case STATUS_MODE:
            p.returnValue = mode_ == Mode::Playing ? MODE_PLAY : mode_ == Mode::Paused ? MODE_PAUSE : MODE_STOP;
            return 0;
        case STATUS_POSITION:
            if (flags & TRACK) {
                if (p.track != 1) return kOutOfRange;
                p.returnValue = 0;
            } else {
                p.returnValue = (flags & STATUS_START) ? 0 : static_cast<std::uint32_t>(position());
            }
            return 0;
        case STATUS_LENGTH:
            p.returnValue = static_cast<std::uint32_t>(length());
            return 0;
        case STATUS_NUMBER_OF_TRACKS:
            p.returnValue = 1;
            return 0;
        case STATUS_TIME_FORMAT:
            p.returnValue = FORMAT_MILLISECONDS;
            return 0;
        default:
            return kBadStatusItem;
    }
}

std::uint32_t GstMediaLayer::Device::capability(MciParams& p) const {
    switch (p.item) {
        case GETDEVCAPS_CAN_PLAY: p.returnValue = 1; return 0;
        case GETDEVCAPS_CAN_RECORD:
        case GETDEVCAPS_CAN_EJECT:
        case GETDEVCAPS_HAS_VIDEO: p.returnValue = 0; return 0;
        case GETDEVCAPS_DEVICE_TYPE: p.returnValue = deviceType_; return 0;
        default: return kBadStatusItem;
    }
}

std::uint32_t GstMediaLayer::Device::command(Command command, std::uint32_t flags, MciParams& p) {
    switch (command) {
        case Command::Play:
            return play(flags, p);
        case Command::Stop:
        case Command::Pause:
            if (mode_ == Mode::Playing) {
                endPendingPlay(NOTIFY_ABORTED);
                holdAt(position());
                if (command == Command::Pause) mode_ = Mode::Paused;
            } else if (command == Command::Stop) {
                mode_ = Mode::Stopped;  // a paused device stops where it is
            }
            break;
        case Command::Resume:
            if (mode_ != Mode::Paused) return kNotPaused;
            mode_ = Mode::Stopped;
            return play(flags & (NOTIFY | WAIT), p);
        case Command::Seek: {
            std::int64_t target = 0;
            if (flags & SEEK_TO_END) {
                target = length();
            } else if (flags & TO) {
                if (p.to > length()) return kOutOfRange;
                target = p.to;
            } else if (!(flags & SEEK_TO_START)) {
                return kUnsupportedCommand;
            }
            endPendingPlay(NOTIFY_ABORTED);
            if (broken_) {
                held_ = target;
                mode_ = Mode::Stopped;
            } else {
                holdAt(target);
                seekTo(target, std::nullopt);
            }
            break;
        }
        case Command::Status:
            return status(flags, p);
        case Command::GetDevCaps:
            return capability(p);
        case Command::Set:
            if ((flags & SET_TIME_FORMAT) && p.item == FORMAT_MILLISECONDS) break;
            return (flags & SET_TIME_FORMAT) ? kBadTimeFormat : kUnsupportedCommand;
        default:
            return kUnsupportedCommand;
    }
    if (flags & NOTIFY) notice(p.callback, NOTIFY_SUCCESSFUL);
    return 0;
}

GstMediaLayer::GstMediaLayer(Poster& poster) : GstMediaLayer(poster, Options{}) {}

GstMediaLayer::GstMediaLayer(Poster& poster, Options options) : poster_(poster), options_(std::move(options)) {
    if (!gst_is_initialized()) gst_init(nullptr, nullptr);
    if (options_.soundfont.empty()) options_.soundfont = findSoundfont();
    // Loading the plugins takes tens of milliseconds the first time; do it now rather
    // than at the first bell.
    for (const char* name : {"playbin", "uridecodebin", "decodebin", "typefind", "filesrc", "wavparse",
                             "mpegaudioparse", "mpg123audiodec", "midiparse", "fluiddec", "audioconvert",
                             "audioresample", "volume", "autoaudiosink", "pulsesink"}) {
        if (GstElement* element = gst_element_factory_make(name, nullptr)) gst_object_unref(gst_object_ref_sink(element));
    }
}

GstMediaLayer::~GstMediaLayer() {
    for (auto& [id, device] : devices_) device->close();
    devices_.clear();
}

std::uint16_t GstMediaLayer::nextId() {
    do {
        ++lastId_;
    } while (lastId_ == 0 || devices_.count(lastId_) != 0);
    return lastId_;
}

std::uint32_t GstMediaLayer::open(std::uint32_t flags, MciParams& p) {
    if (!(flags & OPEN_ELEMENT) || p.element.empty()) return kNoFileName;
    std::uint32_t deviceType = DEVTYPE_DIGITAL_VIDEO;
    const std::string ext = [&] {
        std::string e = std::filesystem::path(p.element).extension().string();
        std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
        return e;
    }();
    if (ext == ".wav") deviceType = DEVTYPE_WAVEFORM_AUDIO;
    if (ext == ".mid" || ext == ".midi" || ext == ".rmi") deviceType = DEVTYPE_SEQUENCER;
    if (flags & OPEN_TYPE) {
        const std::string& t = p.deviceType;
        if (t == "WaveAudio") {
            deviceType = DEVTYPE_WAVEFORM_AUDIO;
        } else if (t == "Sequencer") {
            deviceType = DEVTYPE_SEQUENCER;
        } else if (t == "MPEGVideo" || t == "DigitalVideo") {
            deviceType = DEVTYPE_DIGITAL_VIDEO;
        } else if (t != "Other") {
            return kUnsupportedDeviceType;
        }
    }

    struct stat st {};
    if (::stat(p.element.c_str(), &st) != 0) return errno == EACCES ? kCannotRead : kFileNotFound;
    if (S_ISDIR(st.st_mode)) return kIsFolder;
    if (::access(p.element.c_str(), R_OK) != 0) return kCannotRead;

    const std::uint16_t id = nextId();
    auto device = std::make_shared<Device>(id, poster_);
    if (const std::uint32_t error = device->prepare(p.element, deviceType, options_, volume_)) return error;
    devices_.emplace(id, std::move(device));
    p.deviceId = id;
    if (flags & NOTIFY) {
        poster_.post([to = p.callback, id] {
            if (auto r = to.lock()) r->mciNotify(NOTIFY_SUCCESSFUL, id);
        });
    }
    return 0;
}

std::uint32_t GstMediaLayer::close(std::uint16_t id, std::uint32_t flags, MciParams& p) {
    const auto it = devices_.find(id);
    if (it == devices_.end()) return kInvalidDevice;
    std::shared_ptr<Device> device = std::move(it->second);
    devices_.erase(it);
    device->close();
    if (flags & NOTIFY) {
        poster_.post([to = p.callback, id] {
            if (auto r = to.lock()) r->mciNotify(NOTIFY_SUCCESSFUL, id);
        });
    }
    return 0;
}

std::uint32_t GstMediaLayer::sendCommand(std::uint16_t deviceId, Command command, std::uint32_t flags,
                                         MciParams& params) {
    if (command == Command::Open) return open(flags, params);
    if (command == Command::Close) return close(deviceId, flags, params);
    const auto it = devices_.find(deviceId);
    if (it == devices_.end()) return kInvalidDevice;
    return it->second->command(command, flags, params);
}

std::optional<std::string> GstMediaLayer::errorText(std::uint32_t code) {
    switch (code) {
        case 0: return "The command was carried out";
        case kInvalidDevice: return "The device is not open";
        case kUnsupportedCommand: return "The device cannot do this";
        case kBadStatusItem: return "The device does not know the requested item";
        case kNoFileName: return "No file was named to open";
        case kFileNotFound: return "The file cannot be found; check its path and name";
        case kIsFolder: return "The name is that of a folder, not of a file";
        case kCannotRead: return "The file cannot be read";
        case kCannotDecode: return "The file is not in a format that can be played";
        case kNoSoundfont: return "MIDI files cannot be played: no General MIDI soundfont is installed";
        case kNoAudioOutput: return "No audio output is available";
        case kOpenTimedOut: return "The file could not be made ready to play in time";
        case kOutOfRange: return "The position is outside the file";
        case kBadTimeFormat: return "The device counts time in milliseconds only";
        case kNotPaused: return "The device is not paused";
        case kPlaybackFailed: return "Playback failed";
        case kMediaLayerMissing: return "The media layer is not installed completely";
        case kUnsupportedDeviceType: return "This kind of device is not supported";
        default: return std::nullopt;
    }
}

void GstMediaLayer::setVolume(std::uint32_t packed) {
    const std::uint32_t left = packed & 0xFFFF;
    const std::uint32_t right = packed >> 16;
    volume_ = static_cast<double>(std::max(left, right)) / 65535.0;
    for (auto& [id, device] : devices_) device->setVolume(volume_);
}

}  // namespace tb
