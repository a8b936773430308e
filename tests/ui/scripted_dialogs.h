#pragma once

#include "app/dialog_service.h"
#include "core/error_boxes.h"

#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace tb::test {

// Answers message boxes from a script and records what was shown.
class ScriptedDialogs final : public DialogService {
public:
    struct Shown {
        enum Kind { Error, Question, Notice, FileDialog, Message, Confirm } kind;
        QString text;
        QString caption;
    };

    ScriptedDialogs() { setDialogs(this); }
    ~ScriptedDialogs() override { setDialogs(nullptr); }

    void errorBox(OpenErrorBox& box, const QString& caption) override {
        shown.push_back({Shown::Error, QString::fromStdString(box.text()), caption});
        const std::size_t at = shown.size() - 1;
        box.changed = [this, at, &box] { shown[at].text = QString::fromStdString(box.text()); };
        if (whileErrorShown) whileErrorShown();
        box.changed = nullptr;
    }
    bool askYesNo(const QString& text, const QString& caption) override {
        shown.push_back({Shown::Question, text, caption});
        if (whileAsking) whileAsking();
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }

    void askOk(const QString& text, const QString& caption) override {
        shown.push_back({Shown::Notice, text, caption});
    }
    std::optional<QString> openFile(const TOpenDialog& dialog) override {
        shown.push_back({Shown::FileDialog, dialog.filters.join(QLatin1Char(';')), {}});
        if (whileChoosing) whileChoosing();
        if (files.empty()) return std::nullopt;
        const bool chosen = files.front().has_value();
        const QString file = chosen ? *files.front() : QString();
        files.pop_front();
        if (!chosen) return std::nullopt;
        return file;
    }

    void message(const QString& text, const QString& caption) override {
        shown.push_back({Shown::Message, text, caption});
    }
    bool confirm(const QString& text, const QString& caption) override {
        shown.push_back({Shown::Confirm, text, caption});
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }

    // The texts of the boxes of one kind, in order.
    std::vector<QString> texts(Shown::Kind kind) const {
        std::vector<QString> out;
        for (const auto& s : shown)
            if (s.kind == kind) out.push_back(s.text);
        return out;
    }

    std::vector<QString> errors() const {
        std::vector<QString> out;
        for (const auto& s : shown)
            if (s.kind == Shown::Error) out.push_back(s.text);
        return out;
    }

    std::deque<bool> answers;            // true = Yes
    std::deque<std::optional<QString>> files;  // the file dialog's answers; nothing = cancel
    std::function<void()> whileChoosing;       // runs while the file dialog is open
    std::function<void()> whileAsking;   // runs while a question is open
    std::function<void()> whileErrorShown;  // runs while an error box is open
    std::vector<Shown> shown;
};

}  // namespace tb::test
