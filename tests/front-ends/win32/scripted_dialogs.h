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

    ScriptedDialogs() : previous_(setDialogs(this)) {}
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;
    ~ScriptedDialogs() override { setDialogs(previous_); }

    void errorBox(OpenErrorBox& box, const std::string&) override {
        shown.push_back({Error, box.text()});
        if (whileErrorShown) whileErrorShown();
    }
    bool askYesNo(const std::string& text, const std::string&) override { return answer(Question, text); }
    void askOk(const std::string& text, const std::string&) override { shown.push_back({Notice, text}); }
    std::optional<std::string> openFile(const TOpenDialog&) override {
        shown.push_back({FileDialog, {}});
        if (files.empty()) return std::nullopt;
        auto file = files.front();
        files.pop_front();
        return file;
    }
    void message(const std::string& text, const std::string&) override { shown.push_back({Message, text}); }
    bool confirm(const std::string& text, const std::string&) override { return answer(Confirm, text); }

    // The texts shown of one kind, in order.
    std::vector<std::string> texts(Kind kind) const {
        std::vector<std::string> out;
        for (const auto& [k, text] : shown)
            if (k == kind) out.push_back(text);
        return out;
    }

    std::deque<bool> answers;  // true = Yes; No when none is left
    std::deque<std::optional<std::string>> files;  // the file dialog's answers; nothing = cancel
    std::function<void()> whileErrorShown;
    std::vector<std::pair<Kind, std::string>> shown;

private:
    bool answer(Kind kind, const std::string& text) {
        shown.push_back({kind, text});
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    DialogService* previous_;
};

}  // namespace tb::test
