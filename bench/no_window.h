#pragma once

#include "core/presenters/main_window_presenter.h"

#include <optional>
#include <string>
#include <vector>

namespace tb::bench {

// A main window that shows nothing: what a tick costs is the presenter's.
class NoWindow final : public tb::MainWindowView {
public:
    void setClockText(const std::string& text) override { clock = text; }
    void setStatusText(const std::string&) override {}
    void showScheduleRows(const std::vector<std::string>&) override {}
    void removeScheduleRow(std::size_t) override {}
    void selectScheduleRow(std::size_t) override {}
    std::optional<std::size_t> selectedScheduleRow() const override { return std::nullopt; }
    void setAutoRunChecked(bool) override {}
    void setVolumeSlider(int) override {}
    int volumeSlider() const override { return 255; }
    void setTimerEnabled(bool) override {}
    void openViewWindow(const std::vector<std::string>&) override {}
    void openAboutWindow() override {}
    void openPurchaseWindow() override {}
    std::unique_ptr<tb::EditorWindow> makeEditor() override { return nullptr; }
    void collapse(std::chrono::milliseconds) override {}
    void hideToTray() override {}
    void showFromTray() override {}
    std::string clock;
};

}  // namespace tb::bench
