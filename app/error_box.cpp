#include "app/error_box.h"

#include "app/application.h"
#include "app/dialog_service.h"

namespace tb {
namespace {

const TApplication* boxApplication = nullptr;

}  // namespace

std::string errorBoxText(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

void setErrorBoxApplication(const TApplication* app) { boxApplication = app; }

QString applicationTitle() { return boxApplication != nullptr ? boxApplication->Title() : QString(); }

void showErrorBox(const std::string& message) {
    const QString caption = applicationTitle();
    try {
        dialogs().errorBox(QString::fromStdString(errorBoxText(message)), caption);
    } catch (...) {
        // A failing dialog must not take the handler wrapper down with it.
    }
}

}  // namespace tb
