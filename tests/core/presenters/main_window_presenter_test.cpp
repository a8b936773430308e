// The main window's rules without any window: a fake view, scripted dialogs, a
// recording media layer and a driven clock.
#include "core/error_boxes.h"
#include "core/handler.h"
#include "core/presenters/main_window_presenter.h"
#include "core/schedule/schedule_file.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"
#include "tests/front-ends/qt/fakes.h"
#include "platform/posix/autostart_posix.h"

#include <gtest/gtest.h>

#include <deque>

namespace tb::test {
namespace {

class FakeView final : public MainWindowView {
public:
    void setClockText(const std::string& text) override { clock = text; }
    void setStatusText(const std::string& text) override { status = text; }
    void showScheduleRows(const std::vector<std::string>& r) override {
        rows = r;
        selected.reset();
    }
    void removeScheduleRow(std::size_t row) override { rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(row)); }
    void selectScheduleRow(std::size_t row) override { selected = row; }
    std::optional<std::size_t> selectedScheduleRow() const override { return selected; }
    void setAutoRunChecked(bool checked) override { autoRun = checked; }
    void setVolumeSlider(int position) override {
        slider = position;
        if (onSlider) onSlider();
    }
    int volumeSlider() const override { return slider; }
    void setTimerEnabled(bool enabled) override { timer = enabled; }
    void setPlayerButtons(TButtonSet enabled) override { buttons = enabled; }
    void openViewWindow(const std::vector<std::string>& paths) override { views.push_back(paths); }
    void openAboutWindow() override { ++abouts; }
    void openPurchaseWindow() override {}
    void runEditor() override { ++editors; }
    void collapse() override { collapsed = true; }
    void hideToTray() override { inTray = true; }
    void showFromTray() override { inTray = false; }

    std::string clock, status;
    std::vector<std::string> rows;
    std::optional<std::size_t> selected;
    bool autoRun = false, timer = true, collapsed = false, inTray = false;
    int slider = 1, abouts = 0, editors = 0;
    TButtonSet buttons = kAllButtons;
    std::vector<std::vector<std::string>> views;
    std::function<void()> onSlider;
};

class FakeDialogs final : public DialogService {
public:
    void errorBox(OpenErrorBox& box, const std::string&) override { shown.push_back("error: " + box.text()); }
    bool askYesNo(const std::string& text, const std::string&) override { return answer(text); }
    void askOk(const std::string& text, const std::string&) override { shown.push_back(text); }
    std::optional<std::string> openFile(const TOpenDialog&) override { return file; }
    void message(const std::string& text, const std::string&) override { shown.push_back(text); }
    bool confirm(const std::string& text, const std::string&) override { return answer(text); }

    bool answer(const std::string& text) {
        shown.push_back(text);
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return yes;
    }
    std::vector<std::string> shown;
    std::deque<bool> answers;
    std::optional<std::string> file;
};

class Presenter : public ::testing::Test {
protected:
    Presenter() {
        layer.trackModes = true;
        view.onSlider = [this] { presenter.TrackBar1Change(); };
    }
    std::vector<std::string> opened() const {
        std::vector<std::string> out;
        for (const auto& s : layer.all(Command::Open)) out.push_back(s.params.element);
        return out;
    }

    TempDir dir, config;
    FakeClock clock;
    FixedLocaleSource locale{LocaleSettings{}};
    RecordingLayer layer;
    RecordingVolume volume;
    XdgAutostart autostart{config / "autostart"};
    FakeDialogs dialogs;
    TApplication app;
    FakeView view;
    MediaPlayerDevice player{layer};
    MainWindowPresenter presenter{
        MainWindowServices{app, dir.path(), "/opt/tollbrook/tollbrook", locale, clock, layer, volume, autostart, dialogs},
        view, player};
};

// A creation step that fails at a file leaves what the files before it gave, all nine
// player buttons and unread auto-run marks; the volume was set first in every case.
TEST_F(Presenter, CreationThatFailsAtAFileLeavesWhatCameBefore) {
    const struct {
        const char* missing;
        std::size_t paths, times, rows;
    } cases[] = {{"qian.ini", 0, 0, 0}, {"hou.ini", 1, 0, 0}, {"playlist.ini", 1, 1, 0}, {nullptr, 1, 1, 1}};
    for (const auto& c : cases) {
        writeSchedule(dir.path(), {{"/m/a.mp3", "8:00:00"}});
        autostart.write("/opt/tollbrook/tollbrook");
        if (c.missing != nullptr) std::filesystem::remove(dir / c.missing);
        FakeView v;
        MediaPlayerDevice p{layer};
        MainWindowPresenter fresh(
            MainWindowServices{app, dir.path(), "/opt/tollbrook/tollbrook", locale, clock, layer, volume, autostart, dialogs},
            v, p);
        volume.set.clear();
        v.onSlider = [&] { fresh.TrackBar1Change(); };
        dialogs.shown.clear();
        try {
            fresh.FormCreate();
        } catch (const FileError& e) {
            dialogs.shown.push_back(e.what());
        }
        const char* which = c.missing != nullptr ? c.missing : "none";
        EXPECT_EQ(fresh.schedule().paths().size(), c.paths) << which;
        EXPECT_EQ(fresh.schedule().times().size(), c.times) << which;
        EXPECT_EQ(v.rows.size(), c.rows) << which;
        EXPECT_EQ(v.buttons, c.missing != nullptr ? kAllButtons : TButtonSet{btPlay}) << which;
        EXPECT_EQ(v.autoRun, c.missing == nullptr) << which;
        EXPECT_EQ(volume.set, (std::vector<std::uint32_t>{0xFF00FF00u})) << which;
        EXPECT_EQ(dialogs.shown.size(), c.missing != nullptr ? 1u : 0u) << which;
    }
}

TEST_F(Presenter, DueEntryStopsClosesNamesSelectsOpensPlaysAndSetsTheButtons) {
    writeSchedule(dir.path(), {{"/m/a.mp3", "8:00:00"}, {"/m/b.mp3", "8:00:01"}});
    presenter.FormCreate();
    clock.at(8, 0, 0, 5);
    presenter.Timer1Timer();
    layer.sent.clear();
    clock.at(8, 0, 1, 5);
    presenter.Timer1Timer();
    EXPECT_EQ(view.clock, "8:00:01");
    std::vector<Command> commands;
    for (const auto& s : layer.actions()) commands.push_back(s.command);
    EXPECT_EQ(commands, (std::vector<Command>{Command::Stop, Command::Close, Command::Open, Command::Play}));
    EXPECT_EQ(player.FileName(), "/m/b.mp3");
    EXPECT_EQ(view.status, "A repertoire being played:/m/b.mp3");
    EXPECT_EQ(view.selected, std::optional<std::size_t>(1));
    EXPECT_EQ(view.buttons, (TButtonSet{btPause, btStop}));
}

// The player's buttons, with the enabled set each leaves and whether its action runs.
TEST_F(Presenter, PlayerButtonsFollowTheEnabledSetRules) {
    bool doDefault = true;
    EXPECT_THROW(presenter.MediaPlayer1Click(btPlay, doDefault), SilentAbort);
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"You have no choice of repertoire!"}));
    player.setFileName("/m/a.mp3");
    const struct {
        TMPBtnType button;
        TButtonSet after;
        int opens;
    } presses[] = {{btPlay, {btPause, btStop}, 0}, {btPause, {btPlay, btStop}, 0}, {btStop, {btPlay}, 1},
                   {btNext, {btPlay}, 0}};
    for (const auto& press : presses) {
        layer.sent.clear();
        presenter.MediaPlayer1Click(press.button, doDefault);
        EXPECT_EQ(view.buttons, press.after) << press.button;
        EXPECT_EQ(layer.count(Command::Open), press.opens) << press.button;
        EXPECT_TRUE(doDefault);
    }
}

TEST_F(Presenter, DoubleClickWithoutSelectionIsAnIndexErrorAfterTheButtons) {
    writeSchedule(dir.path(), {{"/m/a.mp3", "8:00:00"}});
    presenter.FormCreate();
    try {
        presenter.ListBox1DblClick();
        FAIL() << "no error";
    } catch (const ListIndexError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
    EXPECT_EQ(view.buttons, (TButtonSet{btPause, btStop}));
    view.selected = 0;
    presenter.ListBox1DblClick();
    EXPECT_EQ(view.status, "A repertoire is being inserted:/m/a.mp3");
    EXPECT_EQ(opened(), (std::vector<std::string>{"/m/a.mp3"}));
}

TEST_F(Presenter, ExitAnsweredNoChangesNothingAndYesClosesStopsCollapsesEnds) {
    writeSchedule(dir.path(), {{"/m/a.mp3", "8:00:00"}});
    presenter.FormCreate();
    clock.at(8, 0, 0, 5);
    presenter.Timer1Timer();
    dialogs.answers = {false, true};
    presenter.N18Click();
    EXPECT_EQ(player.DeviceID(), 7);
    EXPECT_TRUE(view.timer);
    EXPECT_FALSE(app.Terminated());
    presenter.N17Click();
    EXPECT_EQ(dialogs.shown.back(), "Are you sure you want to quit?");
    EXPECT_EQ(player.DeviceID(), 0);
    EXPECT_FALSE(view.timer);
    EXPECT_TRUE(view.collapsed);
    EXPECT_TRUE(app.Terminated());
}

TEST_F(Presenter, EditCommandRunsTheEditorThenReloadsAndViewCopiesThePaths) {
    writeSchedule(dir.path(), {{"/m/a.mp3", "8:00:00"}});
    presenter.FormCreate();
    writeSchedule(dir.path(), {{"/m/b.mp3", "9:00:00"}, {"/m/c.mp3", "9:30:00"}});
    presenter.N6Click();
    EXPECT_EQ(view.editors, 1);
    EXPECT_EQ(view.rows, (std::vector<std::string>{"/m/b.mp3|9:00:00", "/m/c.mp3|9:30:00"}));
    presenter.N5Click();
    ASSERT_EQ(view.views.size(), 1u);
    EXPECT_EQ(view.views[0], (std::vector<std::string>{"/m/b.mp3", "/m/c.mp3"}));
}

}  // namespace
}  // namespace tb::test
