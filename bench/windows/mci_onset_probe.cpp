// Plays each file named on its command line through the MCI media layer, one after the
// other, and prints for each the wall-clock time at which it was told to play, in
// milliseconds since the epoch: "<file> <ms>". The Linux side (tb_bench_wine_mci)
// records the sound server and finds when each was heard.
#include "core/worker.h"
#include "media/mci/mci_media_layer.h"
#include "media/mci/window_poster.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <windows.h>

namespace {

struct Done final : tb::NoticeReceiver {
    bool ended = false;
    void mciNotify(std::uint32_t, std::uint16_t) override { ended = true; }
};

void pump(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace std::chrono;
    tb::WindowPoster poster;
    tb::MciMediaLayer layer(poster);
    for (int i = 1; i < argc; ++i) {
        tb::MciParams open;
        open.element = argv[i];
        if (const auto e = layer.sendCommand(0, tb::mci::Command::Open, tb::mci::OPEN_ELEMENT | tb::mci::WAIT, open)) {
            std::printf("%s failed %s\n", argv[i], layer.errorText(e).value_or("?").c_str());
            continue;
        }
        pump([] { return false; }, 1000ms);  // silence before each file
        auto done = std::make_shared<Done>();
        tb::MciParams play, close;
        play.callback = done;
        const auto at = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
        layer.sendCommand(open.deviceId, tb::mci::Command::Play, tb::mci::NOTIFY, play);
        std::printf("%s %lld\n", argv[i], static_cast<long long>(at));
        std::fflush(stdout);
        pump([&] { return done->ended; }, 5000ms);
        layer.sendCommand(open.deviceId, tb::mci::Command::Close, tb::mci::WAIT, close);
    }
    pump([] { return false; }, 500ms);
    // The closes end on their workers before the process does.
    return tb::Worker::waitForAll(10s) ? 0 : 1;
}
