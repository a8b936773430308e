// Installed as tollbrook.exe by a test's setup, or run from a copy: prints in UTF-8 the
// schedule folder the program would take there, as the program itself decides it.
// With --stay it then runs until it is ended, as the program does.
#include "platform/win32/schedule_folder_win32.h"

#include <cstdio>
#include <cstring>

#include <windows.h>

int main(int argc, char* argv[]) {
    const std::u8string folder = tb::programScheduleFolder().u8string();
    std::fwrite(folder.data(), 1, folder.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (argc > 1 && std::strcmp(argv[1], "--stay") == 0) ::Sleep(INFINITE);
    return 0;
}
