#pragma once

namespace tb {

// Once at start, before any other thread. On POSIX: keeps the allocator to a few arenas
// (every thread that comes and goes would otherwise take one, and over months of bells
// the free pages kept in them add up), and makes a write past the process's file size
// limit fail with an error instead of ending the program. On Windows: a file on a drive
// without its medium fails to open instead of showing a system box, and a corrupted
// heap ends the program.
void initProcess();

}  // namespace tb
