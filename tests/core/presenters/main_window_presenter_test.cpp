// The main window's start, its schedule loads and reloads, its menus and its exit.
#include "tests/core/presenters/main_window_fixture.h"
#include "tests/system_reasons.h"

#include <chrono>
#include <utility>

#ifndef _WIN32
#include "tests/hung_file_system.h"

#include <sys/stat.h>
#endif

namespace tb::test {
namespace {

using Shown = ScriptedDialogs::Shown;

TEST_F(Presenter, CreationSetsTheVolumeLoadsTheThreeListsAndEnablesOnlyPlay) {
    create({{m("a.mp3"), "8:00:00"}, {m("b.mp3"), "9:00:00"}});
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(view.slider, 255);
    EXPECT_EQ(volume.set, (std::vector<std::uint32_t>{0xFF00FF00u}));
    EXPECT_EQ(presenter.schedule().paths(), (std::vector<std::string>{m("a.mp3"), m("b.mp3")}));
    EXPECT_EQ(presenter.schedule().times(), (std::vector<std::string>{"8:00:00", "9:00:00"}));
    EXPECT_EQ(view.rows, (std::vector<std::string>{m("a.mp3") + "|8:00:00", m("b.mp3") + "|9:00:00"}));
    EXPECT_EQ(player.EnabledButtons(), TButtonSet{btPlay});
    EXPECT_FALSE(view.autoRun);
    EXPECT_TRUE(view.timer);
    // The slider sets both channels of the output.
    view.setVolumeSlider(0);
    view.setVolumeSlider(1);
    EXPECT_EQ(volume.set, (std::vector<std::uint32_t>{0xFF00FF00u, 0u, 0x01000100u}));
}

// A creation step that fails at a file stops there: what the files before it gave
// stays, all nine player buttons stay enabled and the auto-run mark is not read; the
// volume was set first in every case.
TEST_F(Presenter, CreationThatFailsAtAFileLeavesWhatCameBefore) {
    const struct {
        std::vector<const char*> missing;
        const char* named;
        std::size_t paths, times, rows;
    } cases[] = {{{"qian.ini", "hou.ini", "playlist.ini"}, "qian.ini", 0, 0, 0},  // the first start
                 {{"qian.ini"}, "qian.ini", 0, 0, 0},
                 {{"hou.ini"}, "hou.ini", 1, 0, 0},
                 {{"playlist.ini"}, "playlist.ini", 1, 1, 0},
                 {{}, nullptr, 1, 1, 1}};
    for (const auto& c : cases) {
        writeSchedule({{m("a.mp3"), "8:00:00"}});
        autostart.registered = dir / "tollbrook";
        for (const char* file : c.missing) std::filesystem::remove(dir / file);
        FakeMainWindow v;
        PlayerBar p{layer, {29, 20}};
        MainWindowPresenter fresh(services(), v, p);
        v.onSlider = [&] { fresh.TrackBar1Change(); };
        volume.set.clear();
        dialogs.shown.clear();
        runHandler([&] { fresh.FormCreate(); });
        const std::string which = c.named != nullptr ? c.named : "none";
        EXPECT_EQ(fresh.schedule().paths().size(), c.paths) << which;
        EXPECT_EQ(fresh.schedule().times().size(), c.times) << which;
        EXPECT_EQ(v.rows.size(), c.rows) << which;
        EXPECT_EQ(p.EnabledButtons(), c.named != nullptr ? kAllButtons : TButtonSet{btPlay}) << which;
        EXPECT_EQ(v.autoRun, c.named == nullptr) << which;
        EXPECT_EQ(volume.set, (std::vector<std::uint32_t>{0xFF00FF00u})) << which;
        const auto expected = c.named != nullptr ? std::vector<std::string>{"Cannot open file \"" +
                                                                            (dir / c.named).string() + "\". " +
                                                                            noSuchFile() + "."}
                                                 : std::vector<std::string>{};
        EXPECT_EQ(dialogs.errors(), expected) << which;
    }
}

// An entry whose time the clock never shows would stay silent without a word: after
// each load one notice names the first few.
TEST_F(Presenter, TimesThatNeverComeDueAreToldAfterEachLoad) {
    writeSchedule({{m("a.mp3"), "08:00:00"}, {m("b.mp3"), "9:00:00"}, {m("c.mp3"), "9:30:00 "},
                   {m("d.mp3"), "9:30"}, {m("e.mp3"), "9:45:00 PM"}});
    clock.at(14, 3, 22);
    create();
    EXPECT_EQ(dialogs.texts(Shown::Message),
              std::vector<std::string>{
                  "4 entries of the schedule never ring: their times are not written as this computer writes a time "
                  "of day (now 14:03:22).\nLine 1: \"08:00:00\"\nLine 3: \"9:30:00 \"\nLine 4: \"9:30\"\n... and 1 "
                  "more.\nChange their times in the playlist editor."});
    EXPECT_EQ(presenter.schedule().times().size(), 5u);  // kept as they are
    dialogs.shown.clear();
    // A file saved as UTF-16 without its mark: its first NUL ends the text, after "9".
    writeSchedule({{m("a.mp3"), "9:00:00"}});
    dir.write("playlist.ini", m("a.mp3") + "|9\r\n");
    dir.write("hou.ini", std::string("9\0:\0" "0\0" "0\0:\0" "0\0" "0\0\r\0\n\0", 18));
    run(&MainWindowPresenter::BitBtn2Click);
    const auto notices = dialogs.texts(Shown::Message);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].starts_with("One entry of the schedule never rings: its time is")) << notices[0];
    writeSchedule({{m("a.mp3"), "8:00:00"}});
    dialogs.shown.clear();
    run(&MainWindowPresenter::BitBtn2Click);
    EXPECT_TRUE(dialogs.shown.empty());
}

// An empty schedule says how to begin until a bell is added; a file played by hand
// keeps its own status.
TEST_F(Presenter, EmptyScheduleSaysHowToBegin) {
    create({});
    EXPECT_EQ(view.status, kEmptyScheduleHint);
    EXPECT_TRUE(dialogs.shown.empty());
    writeSchedule({{m("a.mp3"), "8:00:00"}});
    run(&MainWindowPresenter::BitBtn2Click);
    tickAt(7, 0, 0);
    EXPECT_EQ(view.status, "No repertoire is being played");
    tickAt(8, 0, 0);
    writeSchedule({});
    run(&MainWindowPresenter::BitBtn2Click);
    EXPECT_EQ(view.status.rfind("A repertoire being played:", 0), 0u) << view.status;
}

TEST_F(Presenter, RefreshDuringPlaybackKeepsPlayingClearsTheSelectionAndLeavesTheTimerOn) {
    create({{m("a.mp3"), "8:00:00"}, {m("b.mp3"), "9:00:00"}});
    tickAt(8, 0, 0);
    ASSERT_EQ(view.selected, std::optional<std::size_t>(0));
    layer.sent.clear();
    view.timer = false;
    run(&MainWindowPresenter::BitBtn2Click);
    EXPECT_TRUE(layer.actions().empty());
    EXPECT_EQ(player.Mode(), mpPlaying);
    EXPECT_EQ(view.selected, std::nullopt);
    EXPECT_EQ(view.rows.size(), 2u);
    EXPECT_TRUE(view.timer);
}

// A reload takes the three files only when all three can be read: one that cannot
// leaves the schedule loaded before in force, ringing, and says so.
TEST_F(Presenter, RefreshThatCannotReadAFileKeepsTheScheduleRinging) {
    create({{m("a.mp3"), "8:00:02"}, {m("b.mp3"), "8:00:05"}});
    tickAt(8, 0, 0);
    const struct {
        const char* file;
        std::function<void()> spoil;
    } faults[] = {
        {"hou.ini", [&] { std::filesystem::remove(dir / "hou.ini"); }},
        {"qian.ini", [&] { std::filesystem::remove(dir / "qian.ini"); }},
        {"playlist.ini", [&] {  // only the view reads it
             std::filesystem::remove(dir / "playlist.ini");
             std::filesystem::create_directory(dir / "playlist.ini");
         }},
    };
    for (const auto& fault : faults) {
        writeSchedule({{m("c.mp3"), "8:00:03"}});
        fault.spoil();
        dialogs.shown.clear();
        view.timer = true;
        run(&MainWindowPresenter::BitBtn2Click);
        ASSERT_EQ(dialogs.errors().size(), 1u) << fault.file;
        const std::string error = dialogs.errors()[0];
        EXPECT_TRUE(error.starts_with("Cannot open file \"" + (dir / fault.file).string() + "\". ")) << error;
        EXPECT_TRUE(error.ends_with(". The schedule loaded before stays in force.")) << error;
        EXPECT_EQ(presenter.schedule().times(), (std::vector<std::string>{"8:00:02", "8:00:05"})) << fault.file;
        EXPECT_EQ(view.rows.size(), 2u) << fault.file;
        EXPECT_TRUE(view.timer) << fault.file;
        std::filesystem::remove_all(dir / fault.file);
    }
    tickAt(8, 0, 2);
    EXPECT_EQ(opened(), std::vector<std::string>{m("a.mp3")});
    writeSchedule({{m("c.mp3"), "8:00:03"}});
    run(&MainWindowPresenter::BitBtn2Click);
    EXPECT_EQ(presenter.schedule().times(), std::vector<std::string>{"8:00:03"});
}

// Bells that came due while the timer was off for the reload are not caught up on.
TEST_F(Presenter, TimerBackOnAfterAReloadStartsFromTheCurrentSecond) {
    create({{m("a.mp3"), "8:00:02"}, {m("b.mp3"), "8:00:05"}});
    tickAt(8, 0, 0);
    clock.at(8, 0, 4, 5);
    run(&MainWindowPresenter::BitBtn2Click);
    run(&MainWindowPresenter::Timer1Timer);
    EXPECT_TRUE(opened().empty());
    tickAt(8, 0, 5);
    EXPECT_EQ(opened(), std::vector<std::string>{m("b.mp3")});
}

#ifndef _WIN32
// A FIFO or a device in the schedule's place is refused at once, at the start and at
// a reload, instead of holding up the window.
TEST_F(Presenter, ScheduleFileThatIsAFifoOrADeviceIsRefusedAtOnce) {
    writeSchedule({{m("a.mp3"), "8:00:00"}});
    std::filesystem::remove(dir / "qian.ini");
    ::mkfifo((dir / "qian.ini").c_str(), 0600);
    std::filesystem::remove(dir / "hou.ini");
    std::filesystem::create_symlink("/dev/zero", dir / "hou.ini");
    create();
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"Cannot open file \"" + (dir / "qian.ini").string() +
                                                         "\". Not a regular file."});
    std::filesystem::remove(dir / "qian.ini");
    writeSchedule({{m("a.mp3"), "8:00:00"}});
    std::filesystem::remove(dir / "hou.ini");
    std::filesystem::create_symlink("/dev/zero", dir / "hou.ini");
    run(&MainWindowPresenter::BitBtn2Click);
    ASSERT_EQ(dialogs.errors().size(), 2u);
    EXPECT_EQ(dialogs.errors()[1], "Cannot open file \"" + (dir / "hou.ini").string() +
                                       "\". Not a regular file. The schedule loaded before stays in force.");
}

// playlist.ini on a share whose server is gone: the reload costs the window its bound
// and no more, and the bells go on.
TEST_F(Presenter, RefreshFromAHungShareWaitsItsBoundAndKeepsRinging) {
    HungFileSystem share;
    ASSERT_TRUE(share.mounted()) << "needs FUSE: scripts/install-deps.sh installs fuse3 and python3-fusepy";
    create({{m("a.mp3"), "8:00:02"}});
    tickAt(8, 0, 0);
    std::filesystem::remove(dir / "playlist.ini");
    std::filesystem::create_symlink(share / "playlist.ini", dir / "playlist.ini");
    const auto start = std::chrono::steady_clock::now();
    run(&MainWindowPresenter::BitBtn2Click);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4)) << "waited longer than its bound";
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"Cannot open file \"" + (dir / "playlist.ini").string() +
                                                         "\". Reading it timed out. The schedule loaded before "
                                                         "stays in force."});
    tickAt(8, 0, 2);
    EXPECT_EQ(opened(), std::vector<std::string>{m("a.mp3")});
}
#endif

// The editor's deletion takes the row out of the view at once, not out of the lists.
TEST_F(Presenter, EditCommandRunsTheEditorThenReloadsAndViewCopiesThePaths) {
    create({{m("a.mp3"), "8:00:00"}});
    writeSchedule({{m("b.mp3"), "9:00:00"}, {"", "no bar"}});
    presenter.removePlaylistViewRow(0);
    presenter.removePlaylistViewRow(1);  // beyond the view: nothing
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(presenter.schedule().paths().size(), 1u);
    view.timer = false;
    run(&MainWindowPresenter::N6Click);
    EXPECT_EQ(view.editors, (std::vector<std::string>{"FormCreate", "caption:Edit Playlist",
                                                       "heading:Editable playlist", "ShowModal", "given back"}));
    EXPECT_EQ(view.rows, (std::vector<std::string>{m("b.mp3") + "|9:00:00", "|no bar"}));
    EXPECT_TRUE(view.timer);
    run(&MainWindowPresenter::N5Click);
    EXPECT_EQ(view.views, (std::vector<std::vector<std::string>>{{m("b.mp3"), ""}}));
}

TEST_F(Presenter, AutoRunCommandRegistersTheProgramAndUnregistersIt) {
    create({});
    EXPECT_FALSE(view.autoRun);
    run(&MainWindowPresenter::N8Click);
    EXPECT_TRUE(view.autoRun);
    EXPECT_EQ(autostart.registered, dir / "tollbrook");
    run(&MainWindowPresenter::N8Click);
    EXPECT_FALSE(view.autoRun);
    EXPECT_TRUE(autostart.registered.empty());
    EXPECT_TRUE(dialogs.shown.empty());
    // A registration that cannot be written is reported and leaves the mark off.
    autostart.refuseWrites = true;
    run(&MainWindowPresenter::N8Click);
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"Failed to set data for 'velnorsoftsp'"});
    EXPECT_FALSE(view.autoRun);
}

TEST_F(Presenter, AutoRunRegisteredAtTheStartIsMarkedAndTheFirstCommandUnregisters) {
    autostart.registered = dir / "tollbrook";
    create({});
    EXPECT_TRUE(view.autoRun);
    run(&MainWindowPresenter::N8Click);
    EXPECT_FALSE(view.autoRun);
    EXPECT_EQ(autostart.read(), "");
}

// Each exit command asks its own question; No changes nothing, Yes closes the player,
// stops the timer, collapses the window and ends the program.
TEST_F(Presenter, ExitCommandsAskTheirQuestionAndOnlyYesEnds) {
    create({{m("a.mp3"), "8:00:00"}});
    tickAt(8, 0, 0);
    const struct {
        void (MainWindowPresenter::*command)();
        const char* text;
        const char* caption;
    } commands[] = {{&MainWindowPresenter::N18Click, "Do you really want to exit\uFF1F", "Exit system\uFF1F"},
                    {&MainWindowPresenter::N17Click, "Are you sure you want to quit?", "exit\uFF1F"}};
    for (const auto& c : commands) {
        dialogs.shown.clear();
        dialogs.answers = {false};
        run(c.command);
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.text;
        EXPECT_EQ(dialogs.shown[0].kind, Shown::Question);
        EXPECT_EQ(dialogs.shown[0].text, c.text);
        EXPECT_EQ(dialogs.shown[0].caption, c.caption);
        EXPECT_EQ(player.DeviceID(), 7);
        EXPECT_TRUE(view.timer);
        EXPECT_FALSE(view.collapsedFor);
        EXPECT_FALSE(app.Terminated());
    }
    dialogs.answers = {true};
    run(&MainWindowPresenter::N17Click);
    EXPECT_EQ(player.DeviceID(), 0);
    EXPECT_FALSE(view.timer);
    EXPECT_EQ(view.collapsedFor, std::chrono::milliseconds(1500));
    EXPECT_TRUE(app.Terminated());
}

// The questions have no owner: the other exit command stays usable while one asks.
TEST_F(Presenter, ExitCommandWhileTheOtherAsksOpensASecondQuestion) {
    create({});
    bool asked = false;
    dialogs.whileAsking = [&] {
        if (std::exchange(asked, true)) return;
        run(&MainWindowPresenter::N17Click);
    };
    run(&MainWindowPresenter::N18Click);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].caption, "exit\uFF1F");
    EXPECT_FALSE(app.Terminated());
}

TEST_F(Presenter, ClosingTheWindowEndsWithoutAsking) {
    create({});
    run(&MainWindowPresenter::FormClose);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(app.Terminated());
}

TEST_F(Presenter, ChangedRegionalSettingsRenderTheClockFromThenOn) {
    create({});
    tickAt(17, 5, 9);
    EXPECT_EQ(view.clock, "17:05:09");
    LocaleSettings twelve;
    twelve.twelveHour = true;
    twelve.amString = "AM";
    twelve.pmString = "PM";
    locale.set(twelve);
    tickAt(17, 5, 10);
    EXPECT_EQ(view.clock, "17:05:10");  // read again only when the system says they changed
    presenter.RegionalSettingsChanged();
    tickAt(17, 5, 11);
    EXPECT_EQ(view.clock, "5:05:11 PM");
}

}  // namespace
}  // namespace tb::test
