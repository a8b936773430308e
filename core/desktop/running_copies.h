#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace tb {

// One running copy per schedule folder: two copies on one folder would ring every bell
// twice, and the editor of one would lose the other's saves. Each platform says how a
// copy holds a folder and how a later start reaches it (running_copies_posix.h,
// running_copies_win32.h).
class RunningCopies {
public:
    virtual ~RunningCopies() = default;
    // The name that stands for a schedule folder, the same however the folder is spelt.
    virtual std::string keyFor(const std::filesystem::path& folder) const = 0;
    // Makes this process the running copy for `key` unless a live one is: true when it
    // now is, until this object goes. A copy that was killed never holds a key.
    virtual bool claim(const std::string& key) = 0;
    // Asks the running copy for `key` to bring its main window back; true once it has
    // taken the request. Bounded: a copy that does not answer within about two seconds
    // counts as not answering.
    virtual bool handOver(const std::string& key) = 0;
    // After a claim: `bringBack` runs on the user-interface thread whenever a later start
    // hands over.
    virtual void listen(std::function<void()> bringBack) = 0;
};

// The key of a folder from its full, normal spelling (on Windows also case-folded): a
// fixed-length name that any system's object names can hold.
std::string runningCopyKey(const std::string& normalFolder);

enum class StartDecision { Run, HandedOver, NoAnswer };

// Whether this start runs or hands over to the running copy of its folder. A copy that
// is starting at the same moment (at logon and by hand) may hold the folder before it
// listens, and one may end while it is asked: the two are tried in turn until one
// succeeds or `patience` has passed (NoAnswer: a copy holds the folder, but hangs).
StartDecision decideStart(RunningCopies& copies, const std::filesystem::path& folder,
                          std::chrono::milliseconds patience = std::chrono::seconds(10));

}  // namespace tb
