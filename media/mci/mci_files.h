#pragma once

#include "core/util/file_system.h"

#include <optional>
#include <string>

namespace tb {

// The name MCI is given for `file`: the file as it is (a "\\?\" path in its plain
// form), or, when its path is too long for MCI (MAX_PATH characters or more), its short
// 8.3 form; nothing when the volume has no short form that is short enough. Looks at
// the file system: call it on a worker.
std::optional<std::wstring> mciFileName(const std::wstring& file);

// The identity of `file` now, whatever the length of its path; nothing when it cannot
// be read. Call it on a worker.
std::optional<FileIdentity> mciFileIdentity(const std::wstring& file);

// Whether MCI plays `file` on the MIDI sequencer when no device type is named: what its
// extension's entry under the MCI Extensions key says, as MCI itself reads it.
bool playsOnSequencer(const std::wstring& file);

}  // namespace tb
