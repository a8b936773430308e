#pragma once

#include "core/dialogs.h"
#include "core/error_boxes.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tb::test {

// Answers the program's boxes and dialogs from a script and records what was shown;
// installed for its lifetime.
class ScriptedDialogs final : public DialogService {
public:
    enum Kind { Error, Question, Notice, FileDialog, Message, Confirm };
    struct Shown {
        Kind kind;
        std::string text;
        std::string caption;
    };

    ScriptedDialogs() : previous_(setDialogs(this)) {}
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;
    ~ScriptedDialogs() override { setDialogs(previous_); }

    void errorBox(OpenErrorBox& box, const std::string& caption) override {
        shown.push_back({Error, box.text(), caption});
        if (whileErrorShown) whileErrorShown();
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        shown.push_back({Question, text, caption});
        return answer();
    }
    void askOk(const std::string& text, const std::string& caption) override { shown.push_back({Notice, text, caption}); }
    std::optional<std::string> openFile(const TOpenDialog&) override {
        shown.push_back({FileDialog, {}, {}});
        if (files.empty()) return std::nullopt;
        auto file = files.front();
        files.pop_front();
        return file;
    }
    void message(const std::string& text, const std::string& caption) override {
        shown.push_back({Message, text, caption});
    }
    bool confirm(const std::string& text, const std::string& caption) override {
        shown.push_back({Confirm, text, caption});
        return answer();
    }

    // The texts shown of one kind, in order.
    std::vector<std::string> texts(Kind kind) const {
        std::vector<std::string> out;
        for (const auto& s : shown)
            if (s.kind == kind) out.push_back(s.text);
        return out;
    }

    std::deque<bool> answers;  // true = Yes; No when none is left
    std::deque<std::optional<std::string>> files;  // the file dialog's answers; nothing = cancel
    std::function<void()> whileErrorShown;
    std::vector<Shown> shown;

private:
    bool answer() {
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    DialogService* previous_;
};

}  // namespace tb::test
