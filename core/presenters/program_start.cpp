#include "core/presenters/program_start.h"

#include "core/handler.h"
#include "core/schedule/schedule_file.h"
#include "core/util/utf8.h"

#include <system_error>
#include <vector>

namespace tb {

void makeFirstSchedule(const std::filesystem::path& folder) {
    std::error_code ec;
    for (const char* name : {kPlaylistFile, kPathsFile, kTimesFile, kSaveJournal}) {
        if (std::filesystem::symlink_status(folder / name, ec).type() != std::filesystem::file_type::not_found) return;
    }
    std::vector<std::string> paths, times;
    saveSchedule(folder, {}, paths, times);
}

int runProgram(const ProgramParts& parts) {
    DialogService* before = setDialogs(&parts.dialogs);
    TApplication app;
    app.setTitle("Tollbrook");
    app.endLoop = parts.endLoop;
    setErrorBoxApplication(&app);
    const std::filesystem::path& folder = parts.location.folder;
    std::error_code ignored;  // a folder that cannot be made shows as the first file that cannot be read
    std::filesystem::create_directories(folder, ignored);

    int rc = 0;
    switch (decideStart(parts.copies, folder, parts.patience)) {
        case StartDecision::HandedOver:
            break;
        case StartDecision::NoAnswer:
            showErrorBox("Tollbrook is already running with the schedule in \"" + utf8Text(folder) +
                         "\", but it does not answer. End it, then start Tollbrook again");
            rc = 1;
            break;
        case StartDecision::Run: {
            if (parts.location.installed) runHandler([&] { makeFirstSchedule(folder); });
            const std::unique_ptr<ProgramWindow> window = parts.makeWindow(app, folder);
            // A later start on this folder brings the window back as the tray's "Show" does.
            parts.copies.listen([&window] { window->M1Click(); });
            runHandler([&] { window->FormCreate(); });
            window->showCentred();
            if (!app.Terminated()) rc = parts.runLoop(app);
            break;
        }
    }
    setErrorBoxApplication(nullptr);
    setDialogs(before);
    return rc;
}

}  // namespace tb
