#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tb {

// The name the program is registered under to start at logon.
inline constexpr const char* kAutostartName = "velnorsoftsp";

class AutostartError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the start-at-logon registration lives.
class AutostartStore {
public:
    virtual ~AutostartStore() = default;
    // The registered command (the executable's path), empty when none is registered.
    // Throws AutostartError "Invalid data type for '...'" or "Failed to get data for '...'".
    virtual std::string read() = 0;
    // Registers the executable. Throws AutostartError "Failed to set data for '...'".
    virtual void write(const std::filesystem::path& executable) = 0;
    // Removes the registration; a missing one is no error, and nothing is reported.
    virtual void remove() noexcept = 0;
};

}  // namespace tb
