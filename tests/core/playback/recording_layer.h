#pragma once

#include "core/playback/media_layer.h"

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tb::test {

using namespace tb::mci;

struct Sent {
    std::uint16_t device;
    Command command;
    std::uint32_t flags;
    MciParams params;
};

// A media layer that records every request and answers from tables.
class RecordingLayer final : public MediaLayer {
public:
    std::uint32_t sendCommand(std::uint16_t device, Command command, std::uint32_t flags, MciParams& p) override {
        sent.push_back({device, command, flags, p});
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
        return t->second;
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
};

}  // namespace tb::test
