#pragma once

#include "core/dialogs.h"

namespace tb {

// The dialogs a user sees, as Windows draws them: system message boxes, the common
// file-open dialog and the program's error box.
class Win32DialogService final : public DialogService {
public:
    void errorBox(OpenErrorBox& box, const std::string& caption) override;
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void askOk(const std::string& text, const std::string& caption) override;
    std::optional<std::string> openFile(const TOpenDialog& dialog) override;
    void message(const std::string& text, const std::string& caption) override;
    bool confirm(const std::string& text, const std::string& caption) override;
};

// The filter list of the common file dialogs: each description and pattern followed by
// a zero character, and one more zero at the end.
std::wstring fileDialogFilter(const std::vector<FileFilter>& filters);

}  // namespace tb
