#pragma once

// The main window's presenter without any window: a fake view, scripted dialogs, a
// recording media layer, a driven clock and the start-at-logon registration in memory.
#include "core/application.h"
#include "core/handler.h"
#include "core/playback/player_bar.h"
#include "core/presenters/main_window_presenter.h"
#include "core/schedule/schedule_file.h"
#include "tests/core/fakes.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

namespace tb::test {

// A bell's path, absolute on every platform.
inline std::string m(const std::string& name) {
#ifdef _WIN32
    return "C:\\m\\" + name;
#else
    return "/m/" + name;
#endif
}

// An editor the main window made: records each step, as "step:argument".
class FakeEditorWindow final : public EditorWindow {
public:
    explicit FakeEditorWindow(std::vector<std::string>& steps, bool failToCreate)
        : steps_(steps), failToCreate_(failToCreate) {}
    ~FakeEditorWindow() override { steps_.push_back("given back"); }
    void FormCreate() override {
        steps_.push_back("FormCreate");
        if (failToCreate_) throw FileError("Cannot open file playlist.ini");
    }
    void setCaption(const std::string& text) override { steps_.push_back("caption:" + text); }
    void setLabel1(const std::string& text) override { steps_.push_back("heading:" + text); }
    void ShowModal() override { steps_.push_back("ShowModal"); }

private:
    std::vector<std::string>& steps_;
    bool failToCreate_;
};

// What the presenter shows.
class FakeMainWindow final : public MainWindowView {
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
    void openViewWindow(const std::vector<std::string>& paths) override { views.push_back(paths); }
    void openAboutWindow() override {}
    void openPurchaseWindow() override {}
    std::unique_ptr<EditorWindow> makeEditor() override {
        return std::make_unique<FakeEditorWindow>(editors, editorFailsToCreate);
    }
    void collapse(std::chrono::milliseconds duration) override { collapsedFor = duration; }
    void hideToTray() override {}
    void showFromTray() override {}

    std::string clock, status;
    std::vector<std::string> rows;
    std::optional<std::size_t> selected;
    bool autoRun = false, timer = true;  // the window's timer runs from its start
    std::optional<std::chrono::milliseconds> collapsedFor;
    int slider = 1;
    std::vector<std::string> editors;  // each editor's steps (FakeEditorWindow)
    bool editorFailsToCreate = false;
    std::vector<std::vector<std::string>> views;
    std::function<void()> onSlider;  // the slider's change handler
};

class Presenter : public ::testing::Test {
protected:
    Presenter() {
        app.setTitle("Tollbrook");
        setErrorBoxApplication(&app);
        layer.trackModes = true;
        view.onSlider = [this] { runHandler([this] { presenter.TrackBar1Change(); }); };
    }
    ~Presenter() override { setErrorBoxApplication(nullptr); }

    MainWindowServices services() {
        return {app, dir.path(), dir / "tollbrook", locale, clock, layer, volume, autostart, dialogs};
    }
    void writeSchedule(const std::vector<std::pair<std::string, std::string>>& entries) {
        test::writeSchedule(dir.path(), entries);
    }
    // Each handler as its event runs it: inside the handler wrapper.
    void run(void (MainWindowPresenter::*handler)()) { runHandler([&] { (presenter.*handler)(); }); }
    void create() { run(&MainWindowPresenter::FormCreate); }
    void create(const std::vector<std::pair<std::string, std::string>>& entries) {
        writeSchedule(entries);
        create();
    }
    void doubleClickRow(std::optional<std::size_t> row) {
        view.selected = row;
        run(&MainWindowPresenter::ListBox1DblClick);
    }
    void tickAt(int h, int min, int s, int ms = 5) {
        clock.at(h, min, s, ms);
        run(&MainWindowPresenter::Timer1Timer);
    }
    std::vector<std::string> opened() const {
        std::vector<std::string> out;
        for (const auto& s : layer.all(Command::Open)) out.push_back(s.params.element);
        return out;
    }
    std::vector<Command> actionsSince(std::size_t from) const {
        std::vector<Command> out;
        const auto all = layer.actions();
        for (std::size_t i = from; i < all.size(); ++i) out.push_back(all[i].command);
        return out;
    }

    ScriptedDialogs dialogs;
    TempDir dir;
    FakeClock clock;
    FixedLocaleSource locale{LocaleSettings{}};  // 24-hour clock, no leading zero
    RecordingLayer layer;
    RecordingVolume volume;
    MemoryAutostart autostart;
    TApplication app;
    FakeMainWindow view;
    PlayerBar player{layer, {29, 20}};
    MainWindowPresenter presenter{services(), view, player};
};

}  // namespace tb::test
