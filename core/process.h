#pragma once

namespace tb {

// Once at start, before any other thread: keeps the allocator to a few arenas (every
// thread that comes and goes would otherwise take one, and over months of bells the
// free pages kept in them add up), and makes a write past the process's file size
// limit fail with an error instead of ending the program.
void initProcess();

}  // namespace tb
