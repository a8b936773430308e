#pragma once

// The main window's presenter without any window: a fake view, scripted dialogs, a
// recording media layer, a driven clock and the start-at-logon registration in memory.
#include "core/application.h"
#include "core/handler.h"
#include "core/playback/player_bar.h"
#include "core/presenters/main_window_presenter.h"
#include "tests/core/fakes.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

namespace tb::test {

// A bell's path, absolute on every platform.
inline std::string m(const std::string& name) {
#ifdef _WIN32
    return "C:\\m\\" + name;
#else
    return "/m/" + name;
#endif
}

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
    void runEditor(const std::string& caption, const std::string& heading) override {
        editors.push_back(caption + "/" + heading);
    }
    void collapse() override { collapsed = true; }
    void hideToTray() override {}
    void showFromTray() override {}

    std::string clock, status;
    std::vector<std::string> rows;
    std::optional<std::size_t> selected;
    bool autoRun = false, timer = true, collapsed = false;  // the window's timer runs from its start
    int slider = 1;
    std::vector<std::string> editors;  // each editor opened: "caption/heading"
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
