// The playlist editor's rules without a window: a fake view, scripted dialogs, a
// recording media layer for its preview player and a driven clock.
#include "core/handler.h"
#include "core/presenters/editor_presenter.h"
#include "core/schedule/schedule_file.h"
#include "tests/core/fakes.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tb::test {
namespace {

using Shown = ScriptedDialogs::Shown;

class FakeEditorView final : public EditorView {
public:
    std::string pathBoxText() const override { return path; }
    void setPathBoxText(const std::string& text) override { path = text; }
    TimeOfDay pickerTime() const override { return picker; }
    void setPickerTime(const TimeOfDay& time) override { picker = time; }
    void setPickerToToday(const TimeOfDay& time) override { picker = time; }
    void setAmPmLabel(const std::string& text) override { label = text; }
    void showLines(const std::vector<std::string>& l, std::optional<std::size_t> s) override {
        lines = l;
        selected = s;
    }
    std::string path, label;
    TimeOfDay picker{1, 2, 3, 0};
    std::vector<std::string> lines;
    std::optional<std::size_t> selected;
};

class EditorRules : public ::testing::Test {
protected:
    EditorRules() {
        layer.trackModes = true;
        writeSchedule(dir.path(), {{"/m/x.mp3", "7:00:00"}, {"/m/y.mp3", "7:30:00"}});
        dir.write("a.wav", "not sound, but a file");
        open();
    }
    void open() {
        runHandler([&] { presenter.FormCreate(); });
        view.path = file("a.wav");
        view.picker = {9, 0, 0, 0};
    }
    std::string file(const std::string& name) const { return (dir / name).string(); }
    std::string line() const { return file("a.wav") + "|9:00:00"; }
    EditorServices services(const LongTimeFormat& f) {
        return {dir.path(), f, clock, dialogs, "Tollbrook", [this](std::size_t r) { removedFromView.push_back(r); }};
    }
    void run(void (EditorPresenter::*handler)()) { runHandler([&] { (presenter.*handler)(); }); }

    ScriptedDialogs dialogs;
    TempDir dir;
    FakeClock clock;
    LongTimeFormat format{LocaleSettings{}};
    LongTimeFormat format12{twelveHour()};
    RecordingLayer layer;
    MediaPlayerDevice preview{layer};
    FakeEditorView view;
    std::vector<std::size_t> removedFromView;
    EditorPresenter presenter{services(format), view, preview};
};

TEST_F(EditorRules, OpensWithTheFileTheTimeAndAnEmptyPathBox) {
    clock.at(13, 5, 9, 500);
    FakeEditorView v;
    v.path = "left over";
    EditorPresenter p(services(format12), v, preview);
    p.FormCreate();
    EXPECT_EQ(v.lines, (std::vector<std::string>{"/m/x.mp3|7:00:00", "/m/y.mp3|7:30:00"}));
    EXPECT_EQ(v.selected, std::nullopt);
    EXPECT_EQ(v.path, "");
    EXPECT_EQ(v.picker, (TimeOfDay{13, 5, 9, 500}));
    EXPECT_EQ(v.label, "PM");
    EXPECT_EQ(p.pickerTimeText(), "1:05:09 PM");
}

TEST_F(EditorRules, UnreadablePlaylistOpensEmptyWithoutSettingTheTime) {
    std::filesystem::remove(dir / "playlist.ini");
    clock.at(13, 5, 9);
    FakeEditorView v;
    EditorPresenter p(services(format), v, preview);
    runHandler([&] { p.FormCreate(); });
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_NE(dialogs.errors()[0].find("playlist.ini"), std::string::npos) << dialogs.errors()[0];
    EXPECT_TRUE(v.lines.empty());
    EXPECT_EQ(v.picker, (TimeOfDay{1, 2, 3, 0}));
}

// Each command with and without a selected row: where the new line goes and what stays
// selected.
TEST_F(EditorRules, CommandsFollowTheSelection) {
    const std::string x = "/m/x.mp3|7:00:00", y = "/m/y.mp3|7:30:00";
    const struct {
        const char* what;
        std::optional<std::size_t> select;
        void (EditorPresenter::*command)();
        std::vector<std::string> lines;
        std::optional<std::size_t> selected;
    } cases[] = {
        {"add, row 0", 0, &EditorPresenter::Button2Click, {x, y, line()}, 0},
        {"insert, none", std::nullopt, &EditorPresenter::Button4Click, {line(), x, y}, std::nullopt},
        {"insert, row 0", 0, &EditorPresenter::Button4Click, {x, line(), y}, 0},
        {"update, row 1", 1, &EditorPresenter::Button7Click, {x, line()}, 1},
        {"update, none", std::nullopt, &EditorPresenter::Button7Click, {x, y, line()}, std::nullopt},
        {"delete, row 0", 0, &EditorPresenter::Button1Click, {y}, std::nullopt},
        {"delete, none", std::nullopt, &EditorPresenter::Button1Click, {x, y}, std::nullopt},
    };
    for (const auto& c : cases) {
        open();
        presenter.selectRow(c.select);
        run(c.command);
        EXPECT_EQ(view.lines, c.lines) << c.what;
        EXPECT_EQ(view.selected, c.selected) << c.what;
    }
    EXPECT_EQ(removedFromView, (std::vector<std::size_t>{0}));  // the delete took row 0 from the main view too
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EditorRules, AmPmLabelComesFromTheRenderedTime) {
    const struct {
        LocaleSettings settings;
        TimeOfDay time;
        const char* label;
    } cases[] = {{twelveHour(), {13, 0, 0, 0}, "PM"}, {twelveHour(), {0, 30, 0, 0}, "AM"}, {LocaleSettings{}, {13, 0, 0, 0}, ""}};
    for (const auto& c : cases) {
        const LongTimeFormat f(c.settings);
        FakeEditorView v;
        EditorPresenter p(services(f), v, preview);
        v.label = "left over";
        v.picker = c.time;
        p.DateTimePicker1Change();
        EXPECT_EQ(v.label, c.label) << c.time.hour;
    }
}

// The path box must name an existing file, and one whose path the playlist line can
// hold; otherwise the command says so in the editor's message and changes nothing.
TEST_F(EditorRules, PathThatCannotGoInChangesNothing) {
    const std::pair<std::string, void (EditorPresenter::*)()> commands[] = {
        {"file does not exist!Cannot be added!", &EditorPresenter::Button2Click},
        {"file does not exist!Cannot be inserted!", &EditorPresenter::Button4Click},
        {"File does not exist! Can not add!", &EditorPresenter::Button7Click},
    };
    for (const auto& [text, command] : commands) {
        for (const std::string& path : {std::string(), file("gone.wav"), dir.path().string()}) {
            dialogs.shown.clear();
            view.path = path;
            run(command);
            ASSERT_EQ(dialogs.shown.size(), 1u) << text << " " << path;
            EXPECT_EQ(dialogs.shown[0].kind, Shown::Message);
            EXPECT_EQ(dialogs.shown[0].text, text);
            EXPECT_EQ(dialogs.shown[0].caption, "Tollbrook");
        }
    }
#ifdef _WIN32
    std::printf("Not checked here: a path with \"|\" (a Windows file name holds none)\n");
#else
    // A bar in the path would split the line wrongly when the files are read.
    dir.write("with|bar.wav", "RIFF");
    dialogs.shown.clear();
    view.path = file("with|bar.wav");
    run(&EditorPresenter::Button2Click);
    EXPECT_EQ(dialogs.texts(Shown::Message),
              std::vector<std::string>{"A file whose path holds \"|\" or a line break cannot go into the playlist!"});
#endif
    EXPECT_EQ(view.lines.size(), 2u);
}

// The row's path and time go to the fields; the label stays as it was.
TEST_F(EditorRules, DoubleClickLoadsTheRowIntoTheFields) {
    writeSchedule(dir.path(), {{file("a.wav"), "8:05:09 PM"}, {"", "no bar"}});
    FakeEditorView v;
    EditorPresenter p(services(format12), v, preview);
    p.FormCreate();
    v.picker = {1, 0, 0, 0};
    v.label = "AM";
    runHandler([&] { p.ListBox1DblClick(); });  // nothing selected
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"List index out of bounds (-1)"});
    p.selectRow(0);
    p.ListBox1DblClick();
    EXPECT_EQ(v.path, file("a.wav"));
    EXPECT_EQ(v.picker, (TimeOfDay{20, 5, 9, 0}));
    EXPECT_EQ(v.label, "AM");
    p.selectRow(1);
    runHandler([&] { p.ListBox1DblClick(); });
    ASSERT_EQ(dialogs.errors().size(), 2u);
    EXPECT_EQ(dialogs.errors()[1], "''no bar'' is not a valid date and time.");
    EXPECT_EQ(v.path, "");
    EXPECT_EQ(v.picker, (TimeOfDay{20, 5, 9, 0}));
}

TEST_F(EditorRules, SaveWritesTheThreeFilesByteForByte) {
    // A path that is not valid UTF-8 goes back to the files as the bytes it was.
    const std::string latin1 = "/m/gr\xFC\xDF.mp3|8:00:00";
    dir.write("playlist.ini", latin1 + "\r\n/m/b.mp3|9:00:00\n");
    open();
    run(&EditorPresenter::Button3Click);
    EXPECT_EQ(dialogs.texts(Shown::Message), std::vector<std::string>{"Update success!"});
    EXPECT_EQ(dir.read("playlist.ini"), latin1 + "\r\n/m/b.mp3|9:00:00\r\n");
    EXPECT_EQ(dir.read("qian.ini"), "/m/gr\xFC\xDF.mp3\r\n/m/b.mp3\r\n");
    EXPECT_EQ(dir.read("hou.ini"), "8:00:00\r\n9:00:00\r\n");
    for (int i = 0; i < 2; ++i) {
        presenter.selectRow(0);
        run(&EditorPresenter::Button1Click);
    }
    run(&EditorPresenter::Button3Click);
    for (const char* name : {"playlist.ini", "qian.ini", "hou.ini"}) EXPECT_EQ(dir.read(name), "") << name;
}

// The selected row's file and the path box's file play on the editor's own player; a
// missing file is told for a row and passed over silently for the path box.
TEST_F(EditorRules, PlayAndPreviewUseTheEditorsOwnPlayer) {
    writeSchedule(dir.path(), {{file("gone.wav"), "8:00:00"}, {file("a.wav"), "9:00:00"}});
    open();
    run(&EditorPresenter::Button6Click);  // nothing selected
    presenter.selectRow(0);
    run(&EditorPresenter::Button6Click);
    EXPECT_EQ(dialogs.texts(Shown::Message),
              std::vector<std::string>{file("gone.wav") + "File does not exist, can not play!"});
    view.path = file("gone.wav");
    run(&EditorPresenter::SpeedButton2Click);
    EXPECT_EQ(layer.count(Command::Open), 0);
    presenter.selectRow(1);
    run(&EditorPresenter::Button6Click);
    EXPECT_EQ(layer.last(Command::Open).params.element, file("a.wav"));
    EXPECT_EQ(preview.Mode(), mpPlaying);
    view.path = file("a.wav");
    run(&EditorPresenter::SpeedButton2Click);  // stops what plays first
    EXPECT_EQ(layer.count(Command::Stop), 1);
    EXPECT_EQ(layer.count(Command::Play), 2);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

// Closing asks whether to save: No writes nothing, Yes saves, and a save that fails
// keeps the editor open so that the user can try again or answer No.
TEST_F(EditorRules, ClosingAsksWhetherToSaveAndAFailedSaveKeepsItOpen) {
    run(&EditorPresenter::Button2Click);
    dialogs.answers = {false};
    EXPECT_TRUE(presenter.FormCloseQuery());
    EXPECT_EQ(dialogs.texts(Shown::Confirm),
              std::vector<std::string>{"Do you have the changes you made before you quit?"});
    EXPECT_EQ(dialogs.shown.back().caption, "Confirm");
    EXPECT_EQ(loadScheduleFile(dir / "playlist.ini").size(), 2u);
    std::filesystem::remove(dir / "qian.ini");
    std::filesystem::create_directory(dir / "qian.ini");  // the save cannot replace it
    dialogs.answers = {true};
    EXPECT_FALSE(presenter.FormCloseQuery()) << "a save that failed let the editor close";
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_TRUE(dialogs.errors()[0].starts_with("Cannot create file")) << dialogs.errors()[0];
    std::filesystem::remove(dir / "qian.ini");
    dialogs.answers = {true};
    EXPECT_TRUE(presenter.FormCloseQuery());
    EXPECT_EQ(loadScheduleFile(dir / "qian.ini").size(), 3u);
    EXPECT_EQ(dialogs.texts(Shown::Message).back(), "Update success!");
}

// A request to close while the question is open is refused: it would ask, and save,
// twice. Every request that may close closes the preview device too.
TEST_F(EditorRules, SecondCloseRequestWhileAskingIsRefused) {
    run(&EditorPresenter::SpeedButton2Click);
    std::vector<bool> inner;
    dialogs.whileAsking = [&] { inner.push_back(presenter.closeRequested()); };
    dialogs.answers = {true};
    EXPECT_TRUE(presenter.closeRequested());
    EXPECT_EQ(inner, std::vector<bool>{false});
    EXPECT_EQ(dialogs.texts(Shown::Confirm).size(), 1u);
    EXPECT_EQ(dialogs.texts(Shown::Message), std::vector<std::string>{"Update success!"});
    EXPECT_EQ(presenter.listboxofqian(), (std::vector<std::string>{"/m/x.mp3", "/m/y.mp3"}));
    EXPECT_EQ(presenter.listboxofhou(), (std::vector<std::string>{"7:00:00", "7:30:00"}));
    EXPECT_EQ(layer.count(Command::Close), 1);
    dialogs.whileAsking = nullptr;
    EXPECT_TRUE(presenter.closeRequested()) << "the question is open again after it was answered";
}

// Enter does what a double click does, on a selected row only.
TEST_F(EditorRules, EnterLoadsTheSelectedRowAndWithoutOneDoesNothing) {
    for (const auto row : {std::optional<std::size_t>{}, std::optional<std::size_t>{1}}) {
        presenter.selectRow(row);
        view.path.clear();
        run(&EditorPresenter::ListBox1EnterPressed);
        EXPECT_EQ(view.path, row ? "/m/y.mp3" : "");
    }
    EXPECT_TRUE(dialogs.errors().empty());
}

}  // namespace
}  // namespace tb::test
