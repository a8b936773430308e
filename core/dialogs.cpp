#include "core/dialogs.h"

#include "core/error_boxes.h"

#include <cstdio>

namespace tb {
namespace {

// Before a front end has installed its dialogs nobody can answer: what would have been
// shown goes to the standard error stream, and every question is answered No.
class UnansweredDialogs final : public DialogService {
public:
    void errorBox(OpenErrorBox& box, const std::string& caption) override { say(caption, box.text()); }
    bool askYesNo(const std::string& text, const std::string& caption) override { return say(caption, text); }
    void askOk(const std::string& text, const std::string& caption) override { say(caption, text); }
    std::optional<std::string> openFile(const TOpenDialog&) override { return std::nullopt; }
    void message(const std::string& text, const std::string& caption) override { say(caption, text); }
    bool confirm(const std::string& text, const std::string& caption) override { return say(caption, text); }

private:
    static bool say(const std::string& caption, const std::string& text) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return false;
    }
};

DialogService* current = nullptr;

}  // namespace

DialogService& dialogs() {
    static UnansweredDialogs nobody;
    return current != nullptr ? *current : nobody;
}

DialogService* setDialogs(DialogService* service) {
    DialogService* previous = current;
    current = service;
    return previous;
}

}  // namespace tb
