#pragma once

#include "core/playback/media_layer.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tb::test {

using namespace tb::mci;

struct Sent {
    std::uint16_t device;
    Command command;
    std::uint32_t flags;
    MciParams params;
};

// A media layer that records every request and answers from tables. With `plays` set
// it plays as a real layer does instead, on a clock of its own that advance() moves:
// each device keeps its file's length, mode and position, and notices wait for
// advance() (the media layer's contract holds it to that).
class RecordingLayer final : public MediaLayer {
public:
    std::uint32_t sendCommand(std::uint16_t device, Command command, std::uint32_t flags, MciParams& p) override {
        sent.push_back({device, command, flags, p});
        if (plays) return play(device, command, flags, p);
        if (command == Command::Open) {
            const std::uint32_t result = unplayable.count(p.element) != 0 ? 275 : openResult;
            if (result == 0) p.deviceId = nextId++;
            if (result == 0 && trackModes) status[STATUS_MODE] = MODE_STOP;
            return result;
        }
        if (trackModes) {
            if (command == Command::Play) status[STATUS_MODE] = MODE_PLAY;
            if (command == Command::Stop) status[STATUS_MODE] = MODE_STOP;
            if (command == Command::Pause) status[STATUS_MODE] = MODE_PAUSE;
        }
        if (command == Command::Status) {
            if (device == 0) return 263;
            if (p.item == STATUS_POSITION && (flags & TRACK)) {
                p.returnValue = trackStarts[p.track];
                return 0;
            }
            p.returnValue = status[p.item];
            return 0;
        }
        if (command == Command::GetDevCaps) {
            p.returnValue = caps[p.item];
            return 0;
        }
        if (command == Command::Where) return 274;
        const auto r = results.find(command);
        return r == results.end() ? 0 : r->second;
    }
    void prepare(const std::string& file) override { prepared.push_back(file); }
    int prepareAheadSeconds() const override { return ahead; }
    std::optional<std::string> errorText(std::uint32_t code) override {
        const auto t = texts.find(code);
        if (t == texts.end()) return std::nullopt;
        return plays && code == kNotFound ? t->second + ": " + failedFile : t->second;
    }

    // Moves the playing clock on: plays that reach their end stop there and notify, and
    // the notices waiting are delivered.
    void advance(std::int64_t ms) {
        nowMs += ms;
        for (auto& [id, d] : devices) {
            if (d.mode == MODE_PLAY && positionOf(d) >= d.length) {
                d.position = d.length;
                d.mode = MODE_STOP;
                notify(d, id, NOTIFY_SUCCESSFUL);
            }
        }
        auto due = std::move(posted);
        posted.clear();
        for (auto& call : due) call();
    }

    // Requests other than status and capability queries, in order.
    std::vector<Sent> actions() const {
        std::vector<Sent> out;
        for (const auto& s : sent)
            if (s.command != Command::Status && s.command != Command::GetDevCaps && s.command != Command::Where)
                out.push_back(s);
        return out;
    }
    const Sent& last(Command command) const {
        for (auto it = sent.rbegin(); it != sent.rend(); ++it)
            if (it->command == command) return *it;
        throw std::runtime_error("not sent");
    }
    int count(Command command) const {
        int n = 0;
        for (const auto& s : sent) n += s.command == command;
        return n;
    }

    // Requests of one command, in order.
    std::vector<Sent> all(Command command) const {
        std::vector<Sent> out;
        for (const auto& s : sent)
            if (s.command == command) out.push_back(s);
        return out;
    }

    std::vector<Sent> sent;
    std::vector<std::string> prepared;  // what the window asked to make ready, in order
    int ahead = 2;                      // seconds ahead that files are made ready
    bool trackModes = false;           // the mode follows play, stop and pause
    std::set<std::string> unplayable;  // files whose open is refused
    std::uint32_t openResult = 0;
    std::uint16_t nextId = 7;
    std::map<std::uint32_t, std::uint32_t> status{{STATUS_MODE, MODE_STOP}, {STATUS_LENGTH, 5000}};
    std::map<std::uint32_t, std::uint32_t> caps{{GETDEVCAPS_CAN_PLAY, 1}, {GETDEVCAPS_DEVICE_TYPE, DEVTYPE_WAVEFORM_AUDIO}};
    std::map<std::uint32_t, std::uint32_t> trackStarts;
    std::map<Command, std::uint32_t> results;
    std::map<std::uint32_t, std::string> texts{{275, "The file cannot be found"}};

    // Playing (`plays`): the files there are, by their length in ms (0: not sound).
    static constexpr std::uint32_t kNotFound = 275, kInvalidDevice = 263, kNotPaused = 290;
    bool plays = false;
    std::map<std::string, std::uint32_t> lengths;
    struct Device {
        std::uint32_t length = 0;
        std::uint32_t mode = MODE_STOP;
        std::int64_t position = 0, since = 0;  // the position at `since` on the clock
        std::weak_ptr<NoticeReceiver> receiver;
        bool notifies = false;
    };
    std::map<std::uint16_t, Device> devices;

private:
    std::int64_t positionOf(const Device& d) const {
        return d.mode == MODE_PLAY ? std::min<std::int64_t>(d.length, d.position + nowMs - d.since) : d.position;
    }
    void notify(Device& d, std::uint16_t id, std::uint32_t code) {
        if (!std::exchange(d.notifies, false)) return;
        posted.push_back([to = d.receiver, code, id] {
            if (const auto r = to.lock()) r->mciNotify(code, id);
        });
    }
    std::uint32_t play(std::uint16_t id, Command command, std::uint32_t flags, MciParams& p) {
        if (command == Command::Open) {
            const auto l = lengths.find(p.element);
            if (l == lengths.end() || l->second == 0) {
                failedFile = p.element;
                return kNotFound;
            }
            p.deviceId = nextId++;
            devices[p.deviceId].length = l->second;
            return 0;
        }
        const auto it = devices.find(id);
        if (it == devices.end()) return kInvalidDevice;
        Device& d = it->second;
        d.position = positionOf(d);
        d.since = nowMs;
        switch (command) {
            case Command::Close: devices.erase(it); return 0;
            case Command::Play:
                notify(d, id, NOTIFY_SUPERSEDED);
                d.mode = MODE_PLAY;
                d.receiver = p.callback;
                d.notifies = (flags & NOTIFY) != 0;
                return 0;
            case Command::Stop: notify(d, id, NOTIFY_ABORTED); d.mode = MODE_STOP; return 0;
            case Command::Pause: d.mode = MODE_PAUSE; return 0;
            case Command::Resume:
                if (d.mode != MODE_PAUSE) return kNotPaused;
                d.mode = MODE_PLAY;
                return 0;
            case Command::Seek:
                notify(d, id, NOTIFY_ABORTED);
                d.mode = MODE_STOP;
                d.position = (flags & SEEK_TO_START) ? 0 : std::min<std::int64_t>(d.length, p.to);
                return 0;
            case Command::Status:
                p.returnValue = p.item == STATUS_MODE     ? d.mode
                                : p.item == STATUS_LENGTH ? d.length
                                                          : static_cast<std::uint32_t>(d.position);
                return 0;
            default: return 0;
        }
    }
    std::int64_t nowMs = 0;
    std::vector<std::function<void()>> posted;
    std::string failedFile;
};

}  // namespace tb::test
