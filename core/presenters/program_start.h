#pragma once

#include "core/application.h"
#include "core/desktop/running_copies.h"
#include "core/dialogs.h"
#include "core/schedule/program_folder.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tb {

// The main window as the program's start sees it.
class ProgramWindow {
public:
    virtual ~ProgramWindow() = default;
    // The window's creation step (volume, schedule, player buttons, auto-run mark).
    virtual void FormCreate() = 0;
    virtual void showCentred() = 0;
    // The tray menu's "Show": the window back from the tray or from minimized, raised
    // and active.
    virtual void M1Click() = 0;
};

// What each platform and front end gives the program's start.
struct ProgramParts {
    DialogService& dialogs;
    // What ending the application's message loop means to the front end.
    std::function<void()> endLoop;
    std::filesystem::path executable;
    ScheduleLocation location;
    RunningCopies& copies;
    // The main window with its media layer and platform services, built for the
    // application and the schedule folder.
    std::function<std::unique_ptr<ProgramWindow>(TApplication&, const std::filesystem::path& folder)> makeWindow;
    // Runs the message loop until the application is told to end; answers the exit code.
    std::function<int(TApplication&)> runLoop;
    // How long a start tries to reach a running copy that holds its folder.
    std::chrono::milliseconds patience = std::chrono::seconds(10);
};

// The installed program's first start: its per-user folder, which no installer can fill,
// holds none of the schedule files (and no save to finish), so the empty schedule is
// saved there. Throws FileError naming the file that could not be made.
void makeFirstSchedule(const std::filesystem::path& folder);

// The program's start, run and end, the same on every platform: the application object
// and its title, the schedule folder, one running copy per folder (a later start hands
// over to it and ends with 0), the installed first start, the main window's creation,
// the message loop and the end. Answers the process's exit code.
int runProgram(const ProgramParts& parts);

}  // namespace tb
