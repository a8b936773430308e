// The autostart entry: the Exec value the program writes for its path, and any entry
// a desktop or a person left in the autostart folder. Properties: any path's Exec value
// reads back as that path; an entry written for a full path reads back as that path
// (through the link where the launchers cannot take it); any file there reads as a
// path or is refused with AutostartError.
// Input: a first byte 0 takes the rest as a program path, else as the entry's bytes.
#include "platform/posix/autostart_posix.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>
#include <fstream>

using namespace tb;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string rest(data + 1, data + size);
    XdgAutostart store(fuzz::scratchFolder() / "autostart");
    if (data[0] == 0) {
        fuzz::require(programFromExecValue(execValueFor(rest)) == rest, "an Exec value reads back as its path");
        // A program path: full, one that a file system can hold.
        if (rest.starts_with('/') && rest.find('\0') == std::string::npos && rest.size() < 4000) {
            store.write(std::filesystem::path(rest));
            fuzz::require(store.read() == rest, "the entry written for a path reads back as it");
        }
        return 0;
    }
    std::filesystem::create_directories(store.entry().parent_path());
    std::ofstream(store.entry(), std::ios::binary | std::ios::trunc).write(rest.data(), static_cast<std::streamsize>(rest.size()));
    try {
        store.read();
    } catch (const AutostartError&) {
    }
    store.remove();
    return 0;
}
