#include "core/application.h"
#include "core/handler.h"
#include "core/process.h"
#include "core/schedule/clock.h"
#include "core/util/file_system.h"
#include "front-ends/win32/dialog_service.h"
#include "front-ends/win32/loop.h"
#include "front-ends/win32/tform1.h"
#include "media/mci/mci_media_layer.h"
#include "media/mci/window_poster.h"
#include "platform/win32/autostart_win32.h"
#include "platform/win32/locale_source_win32.h"
#include "platform/win32/schedule_folder_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tb::initProcess();
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    // The common file dialogs use the shell's components.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    tb::Win32DialogService dialogs;
    tb::setDialogs(&dialogs);
    tb::TApplication app;
    app.setTitle("Tollbrook");
    app.endLoop = tb::endWin32Loops;
    tb::setErrorBoxApplication(&app);

    const std::filesystem::path executable = tb::executablePath();
    // Beside the program, or %APPDATA%\Tollbrook when it runs from where it was installed.
    const std::filesystem::path folder = tb::programScheduleFolder();
    {
        tb::WindowPoster poster;
        tb::MciMediaLayer media(poster);
        tb::WindowsLocaleSource locale;
        tb::SystemClock clock;
        tb::RegistryAutostart autostart;
        tb::TForm1 form({app, folder, executable, locale, clock, media, media, autostart, dialogs});
        tb::runHandler([&] { form.FormCreate(); });
        form.showCentred();
        if (!app.Terminated()) tb::runMessages([&] { return app.Terminated(); });
    }
    tb::setErrorBoxApplication(nullptr);
    tb::setDialogs(nullptr);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
