#include "core/handler.h"

#include "core/application.h"
#include "core/dialogs.h"
#include "core/error_boxes.h"

namespace tb {
namespace {

const TApplication* boxApplication = nullptr;
std::function<std::string()> boxClock;

ErrorBoxes& boxes() {
    static ErrorBoxes instance(
        [](OpenErrorBox& box) { dialogs().errorBox(box, applicationTitle()); },
        [] { return boxClock ? boxClock() : std::string(); });
    return instance;
}

}  // namespace

void setErrorBoxClock(std::function<std::string()> clockText) { boxClock = std::move(clockText); }

std::size_t openErrorBoxes() { return boxes().open(); }

std::string errorBoxText(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

void setErrorBoxApplication(const TApplication* app) { boxApplication = app; }

std::string applicationTitle() { return boxApplication != nullptr ? boxApplication->Title() : std::string(); }

void showErrorBox(const std::string& message) {
    try {
        boxes().report(errorBoxText(message));
    } catch (...) {
        // A failing dialog must not take the handler wrapper down with it.
    }
}

}  // namespace tb
