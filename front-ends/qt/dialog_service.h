#pragma once

#include "core/dialogs.h"

#include <QString>

namespace tb {

// A filter as Qt's file dialog takes it: "description (pattern)".
QString qtNameFilter(const FileFilter& filter);

// The dialogs a user sees, as Qt draws them.
class QtDialogService final : public DialogService {
public:
    void errorBox(OpenErrorBox& box, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void askOk(const std::string& text, const std::string& caption) override;
    std::optional<std::string> openFile(const TOpenDialog& dialog) override;
    void message(const std::string& text, const std::string& caption) override;
    bool confirm(const std::string& text, const std::string& caption) override;
};

// Leaves every running Qt event loop, nested ones included, as the main loop ends: what
// ending the application's message loop means here.
void endQtLoops();

}  // namespace tb
