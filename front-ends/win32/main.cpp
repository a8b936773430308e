#include "core/presenters/program_start.h"
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
#include "platform/win32/running_copies_win32.h"
#include "platform/win32/schedule_folder_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace {

// The main window with what it works with: the media layer, regional settings, clock
// and start at logon of this platform.
class Win32ProgramWindow final : public tb::ProgramWindow {
public:
    Win32ProgramWindow(tb::TApplication& app, const std::filesystem::path& folder,
                       const std::filesystem::path& executable, tb::DialogService& dialogs)
        : media_(poster_), form_({app, folder, executable, locale_, clock_, media_, media_, autostart_, dialogs}) {}

    void FormCreate() override { form_.FormCreate(); }
    void showCentred() override { form_.showCentred(); }
    void M1Click() override { form_.M1Click(); }

private:
    tb::WindowPoster poster_;
    tb::MciMediaLayer media_;
    tb::WindowsLocaleSource locale_;
    tb::SystemClock clock_;
    tb::RegistryAutostart autostart_;
    tb::TForm1 form_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tb::initProcess();
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    // The common file dialogs use the shell's components.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    int rc = 0;
    {
        tb::Win32DialogService dialogs;
        tb::Win32RunningCopies copies;
        const std::filesystem::path executable = tb::executablePath();
        rc = tb::runProgram({
            dialogs,
            tb::endWin32Loops,
            executable,
            // Beside the program, or %APPDATA%\Tollbrook when it runs from where it was installed.
            tb::programScheduleLocation(),
            copies,
            [&](tb::TApplication& app, const std::filesystem::path& folder) -> std::unique_ptr<tb::ProgramWindow> {
                return std::make_unique<Win32ProgramWindow>(app, folder, executable, dialogs);
            },
            [](tb::TApplication& app) {
                tb::runMessages([&app] { return app.Terminated(); });
                return 0;
            },
        });
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return rc;
}
