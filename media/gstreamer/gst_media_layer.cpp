#include "media/gstreamer/gst_media_layer.h"

#include "media/gstreamer/gst_device.h"
#include "media/gstreamer/midi_decoder.h"
#include "media/gstreamer/midi_synth.h"

#include <gst/gst.h>

#include <algorithm>
#include <utility>

namespace tb {

using namespace mci;

namespace {

// The device type a file plays on when none is asked for, by its extension: waveform
// audio for WAV, the sequencer for MIDI, digital video for the rest (as MP3 is).
std::uint32_t deviceTypeOf(const std::string& file) {
    std::string ext = std::filesystem::path(file).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".wav") return DEVTYPE_WAVEFORM_AUDIO;
    if (ext == ".mid" || ext == ".midi" || ext == ".rmi") return DEVTYPE_SEQUENCER;
    return DEVTYPE_DIGITAL_VIDEO;
}

}  // namespace

std::string mediaErrorText(std::uint32_t code) {
    switch (code) {
        case 0: return "The command was carried out";
        case GstMediaLayer::kInvalidDevice: return "The device is not open";
        case GstMediaLayer::kUnsupportedCommand: return "The device cannot do this";
        case GstMediaLayer::kBadStatusItem: return "The device does not know the requested item";
        case GstMediaLayer::kNoFileName: return "No file was named to open";
        case GstMediaLayer::kFileNotFound: return "The file cannot be found";
        case GstMediaLayer::kIsFolder: return "The name is that of a folder, not of a file";
        case GstMediaLayer::kCannotRead: return "The file cannot be read";
        case GstMediaLayer::kCannotDecode: return "The file is not in a format that can be played";
        case GstMediaLayer::kNoSoundfont: return "MIDI files cannot be played: no General MIDI soundfont is installed";
        case GstMediaLayer::kNoAudioOutput: return "No audio output is available";
        case GstMediaLayer::kOpenTimedOut: return "The file could not be made ready to play in time";
        case GstMediaLayer::kOutOfRange: return "The position is outside the file";
        case GstMediaLayer::kBadTimeFormat: return "The device counts time in milliseconds only";
        case GstMediaLayer::kNotPaused: return "The device is not paused";
        case GstMediaLayer::kPlaybackFailed: return "Playback failed";
        case GstMediaLayer::kMediaLayerMissing: return "The media layer is not installed completely";
        case GstMediaLayer::kUnsupportedDeviceType: return "This kind of device is not supported";
        case GstMediaLayer::kNotRegularFile: return "Not a regular file";
        case GstMediaLayer::kTimedOut: return "The sound output did not answer in time";
        default: return {};
    }
}

GstMediaLayer::GstMediaLayer(Poster& poster) : GstMediaLayer(poster, Options{}) {}

GstMediaLayer::GstMediaLayer(Poster& poster, Options options)
    : gate_(std::make_shared<PostGate>(poster)), options_(std::move(options)) {
    if (!gst_is_initialized()) gst_init(nullptr, nullptr);
    registerMidiDecoder();
    if (options_.soundfont.empty()) options_.soundfont = findSoundfont();
    // Loading the plugins takes tens of milliseconds the first time; do it now rather
    // than at the first bell.
    for (const char* name : {"playbin", "uridecodebin", "decodebin", "typefind", "filesrc", "wavparse",
                             "mpegaudioparse", "mpg123audiodec", kMidiDecoderName, "audioconvert",
                             "audioresample", "volume", "autoaudiosink", "pulsesink"}) {
        if (GstElement* element = gst_element_factory_make(name, nullptr)) gst_object_unref(gst_object_ref_sink(element));
    }
}

GstMediaLayer::~GstMediaLayer() {
    releasePrepared();
    for (auto& [id, device] : devices_) device->close();
    devices_.clear();
    gate_->close();
    // Let the pipelines reach NULL before the process goes on to end, within a bound.
    Worker::waitForAll(std::chrono::seconds(2));
}

std::uint16_t GstMediaLayer::nextId() {
    do {
        ++lastId_;
    } while (lastId_ == 0 || devices_.count(lastId_) != 0);
    return lastId_;
}

std::uint32_t GstMediaLayer::failed(std::uint32_t code, const std::string& file) {
    failedFiles_[code] = file;
    return code;
}

std::uint32_t GstMediaLayer::open(std::uint32_t flags, MciParams& p) {
    if (!(flags & OPEN_ELEMENT) || p.element.empty()) return kNoFileName;
    std::uint32_t deviceType = deviceTypeOf(p.element);
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

    // The next bell's file may have been made ready already.
    const bool ahead = prepared_ && prepared_->file == p.element;
    Prepared pipeline = ahead ? std::move(*std::exchange(prepared_, nullptr)) : makePipeline(p.element);
    const auto opened = pipeline.parts.worker->call<Playbin::Opened>(
        [playbin = pipeline.parts.playbin, setup = pipeline.parts.setup, ready = pipeline.ready,
         limit = options_.prerollLimit] {
            // Used when it is the same file, unchanged, and nothing failed meanwhile.
            if (*ready && (*ready)->error == 0 && playbin->healthy()) {
                FileIdentity now;
                if (checkFile(setup.file, &now) == FileProblem::None && now == (*ready)->identity) return **ready;
            }
            return playbin->open(setup, limit);
        },
        options_.waitLimit);
    const std::uint32_t error = opened ? opened->error : kOpenTimedOut;
    if (error != 0) {
        // A worker still busy with the file is let go; it releases everything when done.
        pipeline.parts.worker->post([playbin = std::move(pipeline.parts.playbin)] {});
        pipeline.parts.worker->retire();
        return failed(error, p.element);
    }
    pipeline.parts.opened = *opened;
    pipeline.parts.madeReadyAhead = ahead;
    auto link = pipeline.parts.link;

    const std::uint16_t id = nextId();
    auto device = std::make_shared<Device>(id, deviceType, std::move(pipeline.parts), gate_, options_);
    link->device = device;
    devices_.emplace(id, std::move(device));
    p.deviceId = id;
    if (flags & NOTIFY) {
        gate_->post([to = p.callback, id] {
            if (auto r = to.lock()) r->mciNotify(NOTIFY_SUCCESSFUL, id);
        });
    }
    return 0;
}

GstMediaLayer::Prepared GstMediaLayer::makePipeline(const std::string& file) {
    Prepared made;
    made.file = file;
    made.parts.link = std::make_shared<DeviceLink>();
    made.parts.playbin = std::make_shared<Playbin>([gate = gate_, link = made.parts.link](StreamEvent event) {
        gate->post([link, event = std::move(event)] {
            if (auto device = link->device.lock()) device->onEvent(event);
        });
    });
    made.parts.setup = Playbin::Setup{file, options_.soundfont.string(), options_.makeSink, volume_};
    made.parts.worker = Worker::start();
    made.ready = std::make_shared<std::optional<Playbin::Opened>>();
    return made;
}

void GstMediaLayer::prepare(const std::string& file) {
    if (prepared_ && prepared_->file == file) return;
    releasePrepared();
    if (file.empty()) return;
    prepared_ = std::make_unique<Prepared>(makePipeline(file));
    prepared_->parts.worker->post([playbin = prepared_->parts.playbin, setup = prepared_->parts.setup,
                                   ready = prepared_->ready, limit = options_.prerollLimit] {
        *ready = playbin->open(setup, limit);
    });
}

void GstMediaLayer::releasePrepared() {
    if (!prepared_) return;
    const auto worker = prepared_->parts.worker;
    worker->post([playbin = std::move(prepared_->parts.playbin), ready = std::move(prepared_->ready)] {});
    worker->retire();
    prepared_.reset();
}

std::uint32_t GstMediaLayer::close(std::uint16_t id, std::uint32_t flags, MciParams& p) {
    const auto it = devices_.find(id);
    if (it == devices_.end()) return kInvalidDevice;
    std::shared_ptr<Device> device = std::move(it->second);
    devices_.erase(it);
    device->close();
    if (flags & NOTIFY) {
        gate_->post([to = p.callback, id] {
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
    const std::uint32_t error = it->second->command(command, flags, params);
    return error != 0 && command == Command::Play ? failed(error, it->second->file()) : error;
}

std::optional<std::string> GstMediaLayer::errorText(std::uint32_t code) {
    std::string text = mediaErrorText(code);
    if (text.empty()) return std::nullopt;
    // Several failures can be on screen at once: each names the file it is about.
    if (const auto file = failedFiles_.find(code); file != failedFiles_.end()) text += ": " + file->second;
    return text;
}

void GstMediaLayer::setVolume(std::uint32_t packed) {
    const std::uint32_t left = packed & 0xFFFF;
    const std::uint32_t right = packed >> 16;
    volume_ = static_cast<double>(std::max(left, right)) / 65535.0;
    for (auto& [id, device] : devices_) device->setVolume(volume_);
    if (prepared_) {
        prepared_->parts.setup.volume = volume_;
        prepared_->parts.worker->post([playbin = prepared_->parts.playbin, v = volume_] { playbin->setVolume(v); });
    }
}

}  // namespace tb
