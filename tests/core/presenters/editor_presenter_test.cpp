// The playlist editor's rules without a window: a fake view and scripted dialogs.
#include "core/presenters/editor_presenter.h"
#include "core/schedule/schedule_file.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"
#include "tests/front-ends/qt/fakes.h"

#include <gtest/gtest.h>

#include <deque>

namespace tb::test {
namespace {

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
    TimeOfDay picker;
    std::vector<std::string> lines;
    std::optional<std::size_t> selected;
};

class Dialogs final : public DialogService {
public:
    void errorBox(OpenErrorBox&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void askOk(const std::string&, const std::string&) override {}
    std::optional<std::string> openFile(const TOpenDialog&) override { return std::nullopt; }
    void message(const std::string& text, const std::string&) override { shown.push_back(text); }
    bool confirm(const std::string& text, const std::string&) override {
        shown.push_back(text);
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return yes;
    }
    std::vector<std::string> shown;
    std::deque<bool> answers;
};

class EditorRules : public ::testing::Test {
protected:
    EditorRules() {
        writeSchedule(dir.path(), {{"/m/x.mp3", "7:00:00"}, {"/m/y.mp3", "7:30:00"}});
        dir.write("a.wav", "not sound, but a file");
        presenter.FormCreate();
        view.path = (dir / "a.wav").string();
        view.picker = {9, 0, 0, 0};
    }
    std::string line() const { return view.path + "|9:00:00"; }

    TempDir dir;
    FakeClock clock;
    LongTimeFormat format{LocaleSettings{}};
    Dialogs dialogs;
    RecordingLayer layer;
    MediaPlayerDevice preview{layer};
    FakeEditorView view;
    std::vector<std::size_t> removedFromView;
    EditorPresenter presenter{
        EditorServices{dir.path(), format, clock, dialogs, "Tollbrook", [this](std::size_t r) { removedFromView.push_back(r); }},
        view, preview};
};

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
        presenter.FormCreate();
        view.path = (dir / "a.wav").string();
        view.picker = {9, 0, 0, 0};
        presenter.selectRow(c.select);
        (presenter.*c.command)();
        EXPECT_EQ(view.lines, c.lines) << c.what;
        EXPECT_EQ(view.selected, c.selected) << c.what;
    }
    EXPECT_EQ(removedFromView, (std::vector<std::size_t>{0}));
}

TEST_F(EditorRules, AmPmLabelComesFromTheRenderedTime) {
    LocaleSettings twelve;
    twelve.twelveHour = true;
    twelve.amString = "AM";
    twelve.pmString = "PM";
    const struct {
        LocaleSettings settings;
        TimeOfDay time;
        const char* label;
    } cases[] = {{twelve, {13, 0, 0, 0}, "PM"}, {twelve, {0, 30, 0, 0}, "AM"}, {LocaleSettings{}, {13, 0, 0, 0}, ""}};
    for (const auto& c : cases) {
        const LongTimeFormat f(c.settings);
        FakeEditorView v;
        EditorPresenter p(EditorServices{dir.path(), f, clock, dialogs, "Tollbrook", {}}, v, preview);
        v.picker = c.time;
        p.DateTimePicker1Change();
        EXPECT_EQ(v.label, c.label) << c.time.hour;
    }
}

TEST_F(EditorRules, ClosingAnsweredYesSavesAndNoWritesNothing) {
    presenter.Button2Click();
    dialogs.answers = {false};
    EXPECT_TRUE(presenter.FormCloseQuery());
    EXPECT_EQ(loadScheduleFile(dir / "playlist.ini").size(), 2u);
    dialogs.answers = {true};
    EXPECT_TRUE(presenter.FormCloseQuery());
    EXPECT_EQ(loadScheduleFile(dir / "qian.ini").size(), 3u);
    EXPECT_EQ(dialogs.shown.back(), "Update success!");
}

TEST_F(EditorRules, PathThatNamesNoFileCannotGoIn) {
    view.path = (dir / "missing.wav").string();
    presenter.Button2Click();
    view.path = dir.path().string();  // a folder
    presenter.Button4Click();
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"file does not exist!Cannot be added!",
                                                       "file does not exist!Cannot be inserted!"}));
    EXPECT_EQ(view.lines.size(), 2u);
}

}  // namespace
}  // namespace tb::test
