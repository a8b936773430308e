#include "core/application.h"
#include "front-ends/qt/command_line.h"
#include "front-ends/qt/dialog_service.h"
#include "core/handler.h"
#include "front-ends/qt/program_icon.h"
#include "core/desktop/autostart.h"
#include "media/gstreamer/gst_media_layer.h"
#include "core/process.h"
#include "front-ends/qt/qt_poster.h"
#include "core/schedule/clock.h"
#include "core/util/file_system.h"
#include "core/schedule/program_folder.h"
#include "front-ends/qt/fonts.h"
#include "front-ends/qt/handlers.h"
#include "front-ends/qt/tform1.h"
#include "platform/posix/autostart_posix.h"
#include "platform/posix/config_folder_posix.h"
#include "platform/posix/locale_source_posix.h"

#include <QApplication>

#include <clocale>
#include <system_error>

int main(int argc, char* argv[]) {
    if (const auto status = tb::handleCommandLine(argc, argv)) return *status;
    tb::initProcess();
    tb::QtApplication qapp(argc, argv);
    // Time texts follow the user's regional settings; Qt has set the process locale
    // from the environment, this makes it explicit for the C library's time and numbers.
    std::setlocale(LC_ALL, "");
    QApplication::setQuitOnLastWindowClosed(false);
    tb::installUiFonts();

    tb::QtDialogService dialogs;
    tb::setDialogs(&dialogs);
    tb::TApplication app;
    app.setTitle("Tollbrook");
    app.endLoop = tb::endQtLoops;
    tb::setErrorBoxApplication(&app);
    QApplication::setApplicationName(QString::fromStdString(app.Title()));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tollbrook.Tollbrook"));
    QApplication::setWindowIcon(tb::programIcon());

    const std::filesystem::path executable = tb::executablePath();
    const std::filesystem::path folder =
        tb::scheduleFolder(executable, TOLLBROOK_INSTALLED_BINDIR, tb::userScheduleFolder());
    std::error_code ignored;  // a folder that cannot be made shows as the first file that cannot be read
    std::filesystem::create_directories(folder, ignored);

    int rc = 0;
    {
        tb::QtPoster poster;
        tb::GstMediaLayer media(poster);
        tb::PosixLocaleSource locale;
        tb::SystemClock clock;
        tb::XdgAutostart autostart;
        tb::TForm1 form({app, folder, executable, locale, clock, media, media, autostart, dialogs});
        tb::runHandler([&] { form.FormCreate(); });
        form.showCentred();
        if (!app.Terminated()) rc = QApplication::exec();
    }
    tb::setErrorBoxApplication(nullptr);
    return rc;
}
