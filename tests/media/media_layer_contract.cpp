#include "tests/media/media_layer_contract.h"

#include <cstdio>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace tb::test {
namespace {

using namespace std::chrono_literals;
using namespace tb::mci;
using Notice = std::pair<std::uint32_t, std::uint16_t>;

struct Notices final : NoticeReceiver {
    std::vector<Notice> got;
    std::vector<std::thread::id> threads;
    void mciNotify(std::uint32_t code, std::uint16_t id) override {
        got.emplace_back(code, id);
        threads.push_back(std::this_thread::get_id());
    }
};

// The requests the player control makes, over one layer under test.
class Contract {
public:
    explicit Contract(std::unique_ptr<LayerUnderTest> under) : under_(std::move(under)) {}
    LayerUnderTest& under() { return *under_; }
    MediaLayer& layer() { return under_->layer(); }

    std::uint16_t open(const std::string& file, std::uint32_t* error = nullptr) {
        MciParams p;
        p.element = file;
        const std::uint32_t e = layer().sendCommand(0, Command::Open, OPEN_ELEMENT | WAIT, p);
        if (error != nullptr) *error = e;
        if (e != 0) return 0;
        MciParams format;
        format.item = FORMAT_MILLISECONDS;
        EXPECT_EQ(send(p.deviceId, Command::Set, SET_TIME_FORMAT | WAIT, format), 0u);
        return p.deviceId;
    }
    std::uint32_t send(std::uint16_t id, Command command, std::uint32_t flags = WAIT) {
        MciParams p;
        return send(id, command, flags, p);
    }
    std::uint32_t send(std::uint16_t id, Command command, std::uint32_t flags, MciParams& p) {
        return layer().sendCommand(id, command, flags, p);
    }
    std::uint32_t play(std::uint16_t id, const std::shared_ptr<Notices>& notices) {
        MciParams p;
        p.callback = notices;
        return send(id, Command::Play, NOTIFY, p);
    }
    std::uint32_t status(std::uint16_t id, std::uint32_t item) {
        MciParams p;
        p.item = item;
        EXPECT_EQ(send(id, Command::Status, STATUS_ITEM | WAIT, p), 0u) << "status " << item;
        return p.returnValue;
    }
    bool playing(std::uint16_t id) {
        return under_->pumpUntil([&] { return status(id, STATUS_MODE) == MODE_PLAY; }, 5s);
    }
    bool noticed(const Notices& notices, std::size_t count = 1) {
        return under_->pumpUntil([&] { return notices.got.size() >= count; }, 15s);
    }

private:
    std::unique_ptr<LayerUnderTest> under_;
};

TEST_P(MediaLayerContract, OpensStoppedAtTheStartWithItsLengthAndClosesAgain) {
    Contract c(GetParam().make());
    const std::uint16_t id = c.open(c.under().bell("bell.wav", 400));
    ASSERT_NE(id, 0);
    EXPECT_EQ(c.under().openDevices(), 1u);
    EXPECT_EQ(c.status(id, STATUS_MODE), MODE_STOP);
    EXPECT_EQ(c.status(id, STATUS_POSITION), 0u);
    EXPECT_NEAR(static_cast<double>(c.status(id, STATUS_LENGTH)), 400.0, 20.0);
    EXPECT_EQ(c.send(id, Command::Close), 0u);
    EXPECT_EQ(c.under().openDevices(), 0u);
    EXPECT_NE(c.send(id, Command::Play, 0), 0u) << "a closed device played";
}

// A bell rings to its end; the end comes once, as a notice on the user-interface thread
// and never inside the request.
TEST_P(MediaLayerContract, PlaysToItsEndWithOneSuccessfulNoticeOnTheUserInterfaceThread) {
    Contract c(GetParam().make());
    const std::uint16_t id = c.open(c.under().bell("bell.wav", 400));
    ASSERT_NE(id, 0);
    auto notices = std::make_shared<Notices>();
    ASSERT_EQ(c.play(id, notices), 0u);
    EXPECT_TRUE(notices->got.empty()) << "notified inside the request";
    ASSERT_TRUE(c.noticed(*notices)) << "no notice";
    EXPECT_EQ(notices->got[0], (Notice{NOTIFY_SUCCESSFUL, id}));
    EXPECT_EQ(notices->threads[0], std::this_thread::get_id());
    EXPECT_EQ(c.status(id, STATUS_MODE), MODE_STOP);
    c.under().pumpFor(300ms);
    EXPECT_EQ(notices->got.size(), 1u);
    EXPECT_EQ(c.send(id, Command::Close), 0u);
}

TEST_P(MediaLayerContract, PauseHoldsThePositionAndResumePlaysOn) {
    Contract c(GetParam().make());
    const std::uint16_t id = c.open(c.under().bell("long.wav", 3000));
    ASSERT_NE(id, 0);
    ASSERT_EQ(c.send(id, Command::Play, 0), 0u);
    ASSERT_TRUE(c.playing(id));
    c.under().pumpFor(300ms);
    ASSERT_EQ(c.send(id, Command::Pause), 0u);
    EXPECT_EQ(c.status(id, STATUS_MODE), MODE_PAUSE);
    const std::uint32_t paused = c.status(id, STATUS_POSITION);
    c.under().pumpFor(300ms);
    EXPECT_EQ(c.status(id, STATUS_POSITION), paused);
    ASSERT_EQ(c.send(id, Command::Resume), 0u);
    EXPECT_TRUE(c.playing(id));
    ASSERT_EQ(c.send(id, Command::Stop), 0u);
    EXPECT_EQ(c.status(id, STATUS_MODE), MODE_STOP);
    EXPECT_EQ(c.send(id, Command::Close), 0u);
}

// What becomes of a play's notice when something else comes first: the notice of the
// earlier request says so, and no notice of it comes after (it is stale).
TEST_P(MediaLayerContract, PlayCutShortNotifiesOnceWithWhatCutIt) {
    struct Case {
        const char* what;
        // Cuts the first play short; a play it starts notifies `second`.
        std::function<void(Contract&, std::uint16_t, std::shared_ptr<Notices>& first, std::shared_ptr<Notices>& second)> cut;
        std::vector<std::uint32_t> codes;  // the first receiver's notices
        std::uint32_t modeAfter;
        std::optional<bool> playsOn;  // from where the first play had got to
        // What Wine's MCI says instead (it aborts a play that Windows says is superseded).
        std::vector<std::uint32_t> underWine = {};
    };
    const Case cases[] = {
        {"stop", [](Contract& c, std::uint16_t id, auto&, auto&) { EXPECT_EQ(c.send(id, Command::Stop), 0u); },
         {NOTIFY_ABORTED}, MODE_STOP, true},
        // Played again while it plays, for the same receiver (as the player control does).
        {"another play",
         [](Contract& c, std::uint16_t id, auto& first, auto& second) {
             EXPECT_EQ(c.play(id, first), 0u);
             second = first;
         },
         {NOTIFY_SUPERSEDED, NOTIFY_SUCCESSFUL}, MODE_PLAY, true, {NOTIFY_ABORTED, NOTIFY_SUCCESSFUL}},
        // Stopped and played again from the start, for the same receiver (as the player
        // control does): the end of the first play never counts as a second end.
        {"stop and play again",
         [](Contract& c, std::uint16_t id, auto& first, auto& second) {
             EXPECT_EQ(c.send(id, Command::Stop), 0u);
             MciParams seek;
             EXPECT_EQ(c.send(id, Command::Seek, SEEK_TO_START | WAIT, seek), 0u);
             EXPECT_EQ(c.play(id, first), 0u);
             second = first;
         },
         {NOTIFY_ABORTED, NOTIFY_SUCCESSFUL}, MODE_PLAY, std::nullopt},
    };
    for (const auto& k : cases) {
        Contract c(GetParam().make());
        const std::uint16_t id = c.open(c.under().bell("bell.wav", 1200));
        ASSERT_NE(id, 0) << k.what;
        auto first = std::make_shared<Notices>(), second = std::make_shared<Notices>();
        ASSERT_EQ(c.play(id, first), 0u) << k.what;
        ASSERT_TRUE(c.playing(id)) << k.what;
        c.under().pumpFor(300ms);
        k.cut(c, id, first, second);
        EXPECT_EQ(c.status(id, STATUS_MODE), k.modeAfter) << k.what;
        if (k.playsOn) {
            EXPECT_EQ(c.status(id, STATUS_POSITION) >= 200, *k.playsOn) << k.what;
        }
        // Long enough for the first play to have reached its end.
        c.under().pumpFor(1500ms);
        c.noticed(*first, k.codes.size());
        std::vector<std::uint32_t> codes;
        for (const auto& [code, from] : first->got) {
            codes.push_back(code);
            EXPECT_EQ(from, id) << k.what;
        }
        if (!k.underWine.empty() && codes == k.underWine) {
            std::printf("%s: notified as Wine's MCI does, not as Windows does\n", k.what);
        } else {
            EXPECT_EQ(codes, k.codes) << k.what;
        }
        if (k.modeAfter == MODE_PLAY && second != first) {
            EXPECT_TRUE(c.noticed(*second)) << k.what;
            EXPECT_EQ(second->got, (std::vector<Notice>{{NOTIFY_SUCCESSFUL, id}})) << k.what;
        }
        EXPECT_EQ(c.send(id, Command::Close), 0u) << k.what;
    }
}

// A receiver that is gone by the time the notice comes gets nothing, and nothing breaks.
TEST_P(MediaLayerContract, NoticeForAReceiverThatIsGoneIsDropped) {
    Contract c(GetParam().make());
    const std::uint16_t id = c.open(c.under().bell("bell.wav", 300));
    ASSERT_NE(id, 0);
    auto gone = std::make_shared<Notices>();
    ASSERT_EQ(c.play(id, gone), 0u);
    gone.reset();
    c.under().pumpFor(800ms);
    auto next = std::make_shared<Notices>();
    ASSERT_EQ(c.send(id, Command::Seek, SEEK_TO_START | WAIT), 0u);
    ASSERT_EQ(c.play(id, next), 0u);
    ASSERT_TRUE(c.noticed(*next));
    EXPECT_EQ(next->got, (std::vector<Notice>{{NOTIFY_SUCCESSFUL, id}}));
    EXPECT_EQ(c.send(id, Command::Close), 0u);
}

// A file that cannot be opened leaves no device, and its error's text names it, after
// the layer's own words; codes the layer does not know have no text.
TEST_P(MediaLayerContract, FailedOpenLeavesNoDeviceAndItsTextNamesTheFile) {
    const struct {
        const char* what;
        std::function<std::string(LayerUnderTest&)> file;
    } cases[] = {
        {"missing", [](LayerUnderTest& u) { return u.nameIn("missing.wav"); }},
        {"not sound", [](LayerUnderTest& u) { return u.noise("noise.wav"); }},
    };
    for (const auto& k : cases) {
        Contract c(GetParam().make());
        const std::string file = k.file(c.under());
        std::uint32_t error = 0;
        EXPECT_EQ(c.open(file, &error), 0) << k.what;
        ASSERT_NE(error, 0u) << k.what;
        const std::string text = c.layer().errorText(error).value_or("");
        EXPECT_TRUE(text.size() > file.size() + 2 && text.ends_with(": " + file)) << k.what << ": " << text;
        EXPECT_EQ(c.under().openDevices(), 0u) << k.what;
    }
    Contract c(GetParam().make());
    EXPECT_NE(c.send(999, Command::Play, 0), 0u);
    EXPECT_EQ(c.layer().errorText(0xFFFF), std::nullopt);
}

// The next bell's file, made ready ahead, is taken by its open and plays; one that
// changed since is opened anew, and a preparation that failed changes nothing.
TEST_P(MediaLayerContract, FileMadeReadyAheadIsTakenByItsOpenUnlessItChanged) {
    Contract c(GetParam().make());
    EXPECT_GT(c.layer().prepareAheadSeconds(), 0);
    const std::string bell = c.under().bell("bell.wav", 400);
    c.layer().prepare(bell);
    c.under().pumpFor(500ms);
    std::uint16_t id = c.open(bell);
    ASSERT_NE(id, 0);
    EXPECT_NEAR(static_cast<double>(c.status(id, STATUS_LENGTH)), 400.0, 20.0);
    auto notices = std::make_shared<Notices>();
    ASSERT_EQ(c.play(id, notices), 0u);
    ASSERT_TRUE(c.noticed(*notices));
    EXPECT_EQ(notices->got[0], (Notice{NOTIFY_SUCCESSFUL, id}));
    EXPECT_EQ(c.send(id, Command::Close), 0u);

    c.layer().prepare(bell);
    c.under().pumpFor(500ms);
    c.under().replace(bell, 900);
    id = c.open(bell);
    ASSERT_NE(id, 0);
    EXPECT_NEAR(static_cast<double>(c.status(id, STATUS_LENGTH)), 900.0, 20.0) << "the file as it was";
    EXPECT_EQ(c.send(id, Command::Close), 0u);

    const std::string gone = c.under().nameIn("gone.wav");
    c.layer().prepare(gone);
    c.under().pumpFor(300ms);
    std::uint32_t error = 0;
    EXPECT_EQ(c.open(gone, &error), 0);
    EXPECT_TRUE(c.layer().errorText(error).value_or("").ends_with(": " + gone));
    c.layer().prepare("");
    c.under().pumpFor(100ms);
    EXPECT_EQ(c.under().openDevices(), 0u);
}

}  // namespace
}  // namespace tb::test
