#include "media/gstreamer/gst_device.h"

#include <algorithm>

namespace tb {

using namespace mci;

namespace {

// The sound still in the sound server's buffer when the pipeline has handed over its
// last sample is at most this long; a device counts as playing until it has been heard.
constexpr std::chrono::milliseconds kLongestTail{1000};
// From the moment a play on the default output starts to its first sample heard: the
// sink's start and the sound server's own latency, with room to spare.
constexpr std::chrono::milliseconds kOutputDelay{80};

struct PlayResult {
    std::uint32_t error = 0;
    std::optional<Playbin::Opened> reopened;
};

}  // namespace

GstMediaLayer::Device::Device(std::uint16_t id, std::uint32_t deviceType, Parts parts,
                              std::shared_ptr<PostGate> gate, const Options& options)
    : id_(id),
      deviceType_(deviceType),
      options_(options),
      gate_(std::move(gate)),
      worker_(std::move(parts.worker)),
      playbin_(std::move(parts.playbin)),
      link_(std::move(parts.link)),
      setup_(std::move(parts.setup)),
      identity_(parts.opened.identity),
      length_(parts.opened.lengthMs),
      mayRetry_(parts.madeReadyAhead) {}

GstMediaLayer::Device::~Device() { close(); }

void GstMediaLayer::Device::close() {
    if (!worker_) return;
    endPendingPlay(NOTIFY_ABORTED);
    ++epoch_;
    // The pipeline goes to NULL on the worker; this thread does not wait for it.
    worker_->post([playbin = std::move(playbin_)] {});
    worker_->retire();
    worker_.reset();
}

void GstMediaLayer::Device::setVolume(double volume) {
    setup_.volume = volume;
    if (worker_) worker_->post([playbin = playbin_, volume] { playbin->setVolume(volume); });
}

void GstMediaLayer::Device::notice(const std::weak_ptr<NoticeReceiver>& to, std::uint32_t code) {
    gate_->post([to, code, id = id_] {
        if (auto r = to.lock()) r->mciNotify(code, id);
    });
}

void GstMediaLayer::Device::endPendingPlay(std::uint32_t code) {
    if (!pending_) return;
    pending_ = false;
    notice(pendingTo_, code);
}

std::int64_t GstMediaLayer::Device::position() const {
    if (mode_ != Mode::Playing) return held_;
    const auto played = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - playedAt_);
    return std::min(held_ + played.count(), endOfPlay());
}

// Stops where the device is. The sound server has taken more of the stream than it
// has played by then, so a later play seeks back to what was heard.
void GstMediaLayer::Device::hold(Mode mode) {
    mayRetry_ = false;
    if (mode_ == Mode::Playing) {
        held_ = position();
        pipelineAtHeld_ = false;
        const std::uint64_t epoch = ++epoch_;
        worker_->post([playbin = playbin_, epoch] {
            playbin->setEpoch(epoch);
            playbin->pause();
        });
    }
    mode_ = mode;
}

std::uint32_t GstMediaLayer::Device::play(std::uint32_t flags, MciParams& p) {
    const bool hasFrom = flags & FROM;
    const bool hasTo = flags & TO;
    if ((hasFrom && p.from > length_) || (hasTo && p.to > length_) || (hasFrom && hasTo && p.from > p.to)) {
        return kOutOfRange;
    }
    if (flags & NOTIFY) {
        endPendingPlay(NOTIFY_SUPERSEDED);
        pending_ = true;
        pendingTo_ = p.callback;
    } else if (hasFrom || hasTo) {
        endPendingPlay(NOTIFY_ABORTED);
    }
    if (mode_ == Mode::Playing && !hasFrom && !hasTo) return 0;  // plays on from where it is

    const std::int64_t start = hasFrom ? p.from : position();
    const std::optional<std::int64_t> to = hasTo ? std::optional<std::int64_t>(p.to) : std::nullopt;
    if (start >= to.value_or(length_) && length_ > 0) {
        // Nothing left to play: the play is over at once.
        hold(Mode::Stopped);
        held_ = start;
        endPendingPlay(NOTIFY_SUCCESSFUL);
        return 0;
    }
    if (mode_ == Mode::Playing) hold(Mode::Stopped);

    const std::uint64_t epoch = ++epoch_;
    const bool seek = hasFrom || hasTo || !pipelineAtHeld_;
    auto job = [playbin = playbin_, setup = setup_, identity = identity_, rebuild = broken_ || released_, seek, start,
                to, epoch, limit = options_.prerollLimit]() -> PlayResult {
        PlayResult result;
        // A file replaced since it was opened, or a pipeline that failed or was let go,
        // is opened anew.
        FileIdentity now;
        const bool replaced = checkFile(setup.file, &now) == FileProblem::None && !(now == identity);
        if (rebuild || replaced) {
            result.reopened = playbin->open(setup, limit);
            if ((result.error = result.reopened->error) != 0) return result;
        }
        if (seek || (result.reopened && start != 0)) {
            if ((result.error = playbin->seek(start, to, limit)) != 0) return result;
        }
        playbin->setEpoch(epoch);
        result.error = playbin->play();
        return result;
    };
    const std::optional<PlayResult> result = worker_->call<PlayResult>(job, options_.waitLimit);
    const std::uint32_t error = result ? result->error : kTimedOut;
    if (result && result->reopened) {
        identity_ = result->reopened->identity;
        if (result->reopened->error == 0) length_ = result->reopened->lengthMs;
    }
    if (error != 0) {
        // Whatever the pipeline is up to now, the next play starts it afresh.
        broken_ = true;
        mode_ = Mode::Stopped;
        held_ = start;
        endPendingPlay(NOTIFY_FAILURE);
        // A refused play only leaves its code with the caller; a bell that cannot sound
        // must still say so.
        gate_->post([text = mediaErrorText(error) + ": " + setup_.file] { throw MediaError(text); });
        return error;
    }
    broken_ = false;
    released_ = false;
    playTo_ = to;
    held_ = start;
    playedAt_ = SteadyClock::now();
    pipelineAtHeld_ = false;
    mode_ = Mode::Playing;
    return 0;
}

void GstMediaLayer::Device::onEvent(const StreamEvent& event) {
    // What a pipeline reported before the device's last request (or from the pipeline
    // a retry replaced) is stale; a dead stream reports more than once.
    if (event.epoch != epoch_) return;
    if (event.kind == StreamEvent::Error) {
        if (mode_ == Mode::Playing && mayRetry_ && SteadyClock::now() - playedAt_ < std::chrono::seconds(1)) {
            // A pipeline made ready ahead may have lost its sound server since (which
            // shows only once it plays): a fresh one still gets the bell out.
            mayRetry_ = false;
            const std::uint64_t epoch = ++epoch_;
            const auto restarted = worker_->call<std::uint32_t>(
                [playbin = playbin_, setup = setup_, epoch, limit = options_.prerollLimit] {
                    const Playbin::Opened opened = playbin->open(setup, limit);
                    if (opened.error != 0) return opened.error;
                    playbin->setEpoch(epoch);
                    return playbin->play();
                },
                options_.waitLimit);
            if (restarted && *restarted == 0) {
                held_ = 0;
                playedAt_ = SteadyClock::now();
                return;
            }
        }
        broken_ = true;
        if (mode_ != Mode::Playing) return;
        held_ = position();
        mode_ = Mode::Stopped;
        ++epoch_;
        endPendingPlay(NOTIFY_FAILURE);
        throw MediaError(mediaErrorText(event.code) + ": " + setup_.file);
    }
    if (mode_ != Mode::Playing) return;
    // The pipeline has handed over its last sample; the sound server still plays what
    // it holds. How much that is follows from where the stream ended, which the
    // pipeline tells on the worker, against the time played since the play started
    // there: the length known at open may be only an estimate, and one too short would
    // cut the tail. A sink given in the options (a recording one) waits for the clock,
    // so what it was handed has been heard.
    const auto delay = setup_.makeSink ? std::chrono::milliseconds(0) : kOutputDelay;
    worker_->post([playbin = playbin_, gate = gate_, link = link_, worker = std::weak_ptr<Worker>(worker_),
                   epoch = event.epoch, from = held_, playedAt = playedAt_, end = endOfPlay(), delay] {
        if (playbin->epoch() != epoch) return;  // stopped or played again meanwhile
        const std::int64_t handed = playbin->queryPosition().value_or(end);
        const auto now = SteadyClock::now();
        const auto heard =
            std::clamp(playedAt + std::chrono::milliseconds(handed - from) + delay, now, now + kLongestTail);
        const auto self = worker.lock();
        if (!self) return;
        self->postAt(heard, [playbin, gate, link, epoch, handed] {
            if (playbin->epoch() != epoch) return;
            // Played out, the pipeline (and a MIDI soundfont's memory) goes; a later
            // play makes a new one.
            playbin->release();
            gate->post([link, epoch, handed] {
                if (auto device = link->device.lock()) device->onEnded(epoch, handed);
            });
        });
    });
}

void GstMediaLayer::Device::onEnded(std::uint64_t epoch, std::optional<std::int64_t> lengthMs) {
    if (epoch != epoch_ || mode_ != Mode::Playing) return;
    mayRetry_ = false;
    // Where a stream played to its end ended is its length, exactly: the length known
    // at open may have been estimated, and a header's count may include frames that
    // decode to nothing.
    if (lengthMs && !playTo_) length_ = *lengthMs;
    held_ = endOfPlay();
    mode_ = Mode::Stopped;
    pipelineAtHeld_ = false;
    released_ = true;
    endPendingPlay(NOTIFY_SUCCESSFUL);
}

std::uint32_t GstMediaLayer::Device::status(std::uint32_t flags, MciParams& p) const {
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
            p.returnValue = static_cast<std::uint32_t>(length_);
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
                hold(command == Command::Pause ? Mode::Paused : Mode::Stopped);
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
                target = length_;
            } else if (flags & TO) {
                if (p.to > length_) return kOutOfRange;
                target = p.to;
            } else if (!(flags & SEEK_TO_START)) {
                return kUnsupportedCommand;
            }
            endPendingPlay(NOTIFY_ABORTED);
            hold(Mode::Stopped);
            // The pipeline moves there when it plays next.
            held_ = target;
            pipelineAtHeld_ = false;
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

}  // namespace tb
