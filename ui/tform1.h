#pragma once

#include "app/application.h"
#include "schedule/locale_settings.h"
#include "schedule/time_text.h"

#include <QMainWindow>

#include <filesystem>
#include <string>
#include <vector>

class QAction;
class QListWidget;
class QMenu;

namespace tb {

// The main window: the schedule in three index-aligned lists, the menus, the exit commands.
class TForm1 final : public QMainWindow {
    Q_OBJECT

public:
    // `folder` is where the schedule files live: the program folder in the program.
    TForm1(TApplication& app, std::filesystem::path folder, LocaleSettingsSource& locale);
    ~TForm1() override;

    // The creation step: loads the schedule. Errors escape to the caller, which shows them.
    void FormCreate();
    void showCentred();

    // Every time text is made with this; rebuilt when the regional settings change.
    const LongTimeFormat& timeFormat() const { return timeFormat_; }

    void N18Click();  // "&Exit" in the main menu
    void N17Click();  // "Exit" in the tray menu

    // Hidden lists: the paths and the time texts of the schedule, row i is entry i.
    std::vector<std::string> ListBoxfilename;
    std::vector<std::string> ListBoxtime;
    // The playlist view: the playlist lines.
    QListWidget* ListBox1 = nullptr;

    QAction* N18 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N17 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildLayout();
    void buildMenus();
    void exitSequence(const QString& text, const QString& caption);
    // Loads qian.ini, hou.ini and playlist.ini into their lists, in that order; stops
    // at the first file that cannot be read.
    void loadSchedule();

    TApplication& app_;
    std::filesystem::path folder_;
    LocaleSettingsSource& locale_;
    LongTimeFormat timeFormat_;
};

}  // namespace tb
