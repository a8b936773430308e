#pragma once

#include "core/dialogs.h"
#include "core/error_boxes.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tb::test {

// Answers message boxes and file dialogs from a script and records what was shown;
// installed as the program's dialog service while it lives.
class ScriptedDialogs final : public DialogService {
public:
    struct Shown {
        enum Kind { Error, Question, Notice, FileDialog, Message, Confirm } kind;
        std::string text;  // a file dialog's filters, "description (pattern)" joined by ";"
        std::string caption;
    };

    ScriptedDialogs() : previous_(setDialogs(this)) {}
    ~ScriptedDialogs() override { setDialogs(previous_); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void errorBox(OpenErrorBox& box, const std::string& caption) override {
        shown.push_back({Shown::Error, box.text(), caption});
        const std::size_t at = shown.size() - 1;
        box.changed = [this, at, &box] { shown[at].text = box.text(); };
        if (whileErrorShown) whileErrorShown();
        box.changed = nullptr;
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Question, text, caption});
        if (whileAsking) whileAsking();
        return answer();
    }
    void askOk(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Notice, text, caption});
    }
    std::optional<std::string> openFile(const TOpenDialog& dialog) override {
        std::string filters;
        for (const auto& f : dialog.filters) filters += (filters.empty() ? "" : ";") + f.description + " (" + f.pattern + ")";
        shown.push_back({Shown::FileDialog, filters, {}});
        if (whileChoosing) whileChoosing();
        if (files.empty()) return std::nullopt;
        auto chosen = files.front();
        files.pop_front();
        return chosen;
    }
    void message(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Message, text, caption});
    }
    bool confirm(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Confirm, text, caption});
        if (whileAsking) whileAsking();
        return answer();
    }

    // The texts of the boxes of one kind, in order.
    std::vector<std::string> texts(Shown::Kind kind) const {
        std::vector<std::string> out;
        for (const auto& s : shown)
            if (s.kind == kind) out.push_back(s.text);
        return out;
    }
    std::vector<std::string> errors() const { return texts(Shown::Error); }

    std::deque<bool> answers;                      // true = Yes; No once they run out
    std::deque<std::optional<std::string>> files;  // the file dialog's answers; nothing = cancel
    std::function<void()> whileChoosing;           // runs while the file dialog is open
    std::function<void()> whileAsking;             // runs while a Yes/No question is open (confirm's too)
    std::function<void()> whileErrorShown;         // runs while an error box is open
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
