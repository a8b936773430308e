#include "core/process.h"

#include <windows.h>

namespace tb {

void initProcess() {
    // A schedule may name a file on a drive with no medium in it (a card reader, a CD
    // drive): the open must fail with an error, not stop the bells behind a system box
    // asking for a disk.
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // A corrupted heap ends the program at once instead of running on with it.
    ::HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}

}  // namespace tb
