#include "core/desktop/running_copies.h"

#include <cstdint>
#include <thread>

namespace tb {

std::string runningCopyKey(const std::string& normalFolder) {
    std::uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a, 64 bits
    for (const char c : normalFolder) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    std::string key = "tollbrook-";
    for (int shift = 60; shift >= 0; shift -= 4) key += "0123456789abcdef"[(hash >> shift) & 0xF];
    return key;
}

StartDecision decideStart(RunningCopies& copies, const std::filesystem::path& folder,
                          std::chrono::milliseconds patience) {
    const std::string key = copies.keyFor(folder);
    const auto end = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (copies.claim(key)) return StartDecision::Run;
        if (copies.handOver(key)) return StartDecision::HandedOver;
        if (std::chrono::steady_clock::now() >= end) return StartDecision::NoAnswer;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace tb
