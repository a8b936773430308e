#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace tb {

class TApplication;

// A row index that a list does not have.
class ListIndexError : public std::runtime_error {
public:
    explicit ListIndexError(long long index)
        : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}
};

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

// The time of day as the program shows it, for the count of a repeated failure.
void setErrorBoxClock(std::function<std::string()> clockText);

// Error boxes open now (a failure repeated while its box is open opens no other).
std::size_t openErrorBoxes();

// That title: the caption of the error box and of the editor's messages.
std::string applicationTitle();

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
