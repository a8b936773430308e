#include "core/process.h"

#include <csignal>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tb {

void initProcess() {
#ifdef __GLIBC__
    ::mallopt(M_ARENA_MAX, 2);
#endif
    // Past RLIMIT_FSIZE a write then fails with EFBIG, which a save reports.
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace tb
