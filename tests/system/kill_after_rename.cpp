// Preloaded into the real program by a test: the process is killed outright (as a power
// cut ends it) just after its TB_KILL_AFTER_RENAME-th rename into the folder
// TB_KILL_FOLDER.
#include <dlfcn.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

extern "C" int rename(const char* from, const char* to) {
    using Rename = int (*)(const char*, const char*);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    static int count = 0;
    const int result = real(from, to);
    const char* folder = getenv("TB_KILL_FOLDER");
    const char* after = getenv("TB_KILL_AFTER_RENAME");
    if (result == 0 && folder != nullptr && after != nullptr && strncmp(to, folder, strlen(folder)) == 0 &&
        ++count == atoi(after)) {
        kill(getpid(), SIGKILL);
    }
    return result;
}
