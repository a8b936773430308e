#include "core/desktop/autostart.h"
#include "core/presenters/program_start.h"
#include "core/process.h"
#include "core/schedule/clock.h"
#include "core/util/file_system.h"
#include "core/schedule/program_folder.h"
#include "front-ends/qt/command_line.h"
#include "front-ends/qt/dialog_service.h"
#include "front-ends/qt/fonts.h"
#include "front-ends/qt/handlers.h"
#include "front-ends/qt/program_icon.h"
#include "front-ends/qt/qt_poster.h"
#include "front-ends/qt/tform1.h"
#include "media/gstreamer/gst_media_layer.h"
#include "platform/posix/autostart_posix.h"
#include "platform/posix/config_folder_posix.h"
#include "platform/posix/locale_source_posix.h"
#include "platform/posix/running_copies_posix.h"

#include <QApplication>

#include <clocale>

namespace {

// The main window with what it works with: the media layer, regional settings, clock
// and start at logon of this platform.
class QtProgramWindow final : public tb::ProgramWindow {
public:
    QtProgramWindow(tb::TApplication& app, const std::filesystem::path& folder,
                    const std::filesystem::path& executable, tb::DialogService& dialogs)
        : media_(poster_), form_({app, folder, executable, locale_, clock_, media_, media_, autostart_, dialogs}) {}

    void FormCreate() override { form_.FormCreate(); }
    void showCentred() override { form_.showCentred(); }
    void M1Click() override { form_.M1Click(); }

private:
    tb::QtPoster poster_;
    tb::GstMediaLayer media_;
    tb::PosixLocaleSource locale_;
    tb::SystemClock clock_;
    tb::XdgAutostart autostart_;
    tb::TForm1 form_;
};

}  // namespace

int main(int argc, char* argv[]) {
    if (const auto status = tb::handleCommandLine(argc, argv)) return *status;
    tb::initProcess();
    tb::QtApplication qapp(argc, argv);
    // Time texts follow the user's regional settings; Qt has set the process locale
    // from the environment, this makes it explicit for the C library's time and numbers.
    std::setlocale(LC_ALL, "");
    QApplication::setQuitOnLastWindowClosed(false);
    tb::installUiFonts();
    QApplication::setApplicationName(QStringLiteral("Tollbrook"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tollbrook.Tollbrook"));
    QApplication::setWindowIcon(tb::programIcon());

    tb::QtDialogService dialogs;
    tb::QtPoster poster;
    tb::PosixRunningCopies copies(poster);
    const std::filesystem::path executable = tb::executablePath();
    return tb::runProgram({
        dialogs,
        tb::endQtLoops,
        executable,
        tb::scheduleLocation(executable, TOLLBROOK_INSTALLED_BINDIR, tb::userScheduleFolder()),
        copies,
        [&](tb::TApplication& app, const std::filesystem::path& folder) -> std::unique_ptr<tb::ProgramWindow> {
            return std::make_unique<QtProgramWindow>(app, folder, executable, dialogs);
        },
        [](tb::TApplication&) { return QApplication::exec(); },
    });
}
