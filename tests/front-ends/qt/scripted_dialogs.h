#pragma once

#include "core/dialogs.h"
#include "core/error_boxes.h"
#include "front-ends/qt/dialog_service.h"

#include <QString>
#include <QStringList>

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

    ScriptedDialogs() : previous_(setDialogs(this)) {}
    ~ScriptedDialogs() override { setDialogs(previous_); }

    void errorBox(OpenErrorBox& box, const std::string& caption) override {
        shown.push_back({Shown::Error, QString::fromStdString(box.text()), u(caption)});
        const std::size_t at = shown.size() - 1;
        box.changed = [this, at, &box] { shown[at].text = QString::fromStdString(box.text()); };
        if (whileErrorShown) whileErrorShown();
        box.changed = nullptr;
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Question, u(text), u(caption)});
        if (whileAsking) whileAsking();
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }

    void askOk(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Notice, u(text), u(caption)});
    }
    std::optional<std::string> openFile(const TOpenDialog& dialog) override {
        QStringList filters;
        for (const auto& f : dialog.filters) filters << qtNameFilter(f);
        shown.push_back({Shown::FileDialog, filters.join(QLatin1Char(';')), {}});
        if (whileChoosing) whileChoosing();
        if (files.empty()) return std::nullopt;
        const bool chosen = files.front().has_value();
        const QString file = chosen ? *files.front() : QString();
        files.pop_front();
        if (!chosen) return std::nullopt;
        return file.toStdString();
    }

    void message(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Message, u(text), u(caption)});
    }
    bool confirm(const std::string& text, const std::string& caption) override {
        shown.push_back({Shown::Confirm, u(text), u(caption)});
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

private:
    static QString u(const std::string& s) { return QString::fromStdString(s); }
    DialogService* previous_;
};

}  // namespace tb::test
