#pragma once

#include <exception>
#include <string>
#include <utility>

namespace tb {

class TApplication;

// Ends a handler without any message.
class SilentAbort final : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// The text the error box shows: a full stop is added when the last character comes
// after "." in character-code order.
std::string errorBoxText(std::string message);

// Shows the error box for a message, with the application title as caption.
void showErrorBox(const std::string& message);

// The application whose title the error box shows; set once at start.
void setErrorBoxApplication(const TApplication* app);

// Runs one handler: an error that escapes it goes to the error box, a silent abort
// ends it quietly. Nothing escapes into the event dispatch.
template <class Handler>
void runHandler(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const SilentAbort&) {
    } catch (const std::exception& e) {
        showErrorBox(e.what());
    } catch (...) {
        showErrorBox("Unknown error");
    }
}

}  // namespace tb
