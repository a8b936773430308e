#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tb {

class OpenErrorBox;

// A file-open dialog as a window declares it: its filters in order ("description
// (pattern)"), the first selected when it opens. It is resizable and leaves the current
// folder alone.
struct TOpenDialog {
    QStringList filters;
};

// Every message box and file dialog goes through here, so that tests can answer them.
class DialogService {
public:
    virtual ~DialogService() = default;

    // Error icon, one OK button, modal for all of the program's windows. The box shows
    // the box's text as it changes while it is open.
    virtual void errorBox(OpenErrorBox& box, const QString& caption) = 0;

    // Question icon, Yes and No, no owner window: the program's windows stay usable
    // while it is open. True for Yes.
    virtual bool askYesNo(const QString& text, const QString& caption) = 0;

    // Question icon and only an OK button, no owner window.
    virtual void askOk(const QString& text, const QString& caption) = 0;

    // The chosen file's full path, or nothing when the user cancels.
    virtual std::optional<QString> openFile(const TOpenDialog& dialog) = 0;

    // A modal message: the text and one OK button, centred on the screen.
    virtual void message(const QString& text, const QString& caption) = 0;

    // A modal question with Yes and No, centred on the screen. True for Yes.
    virtual bool confirm(const QString& text, const QString& caption) = 0;
};

// The dialogs a user sees.
class QtDialogService final : public DialogService {
public:
    void errorBox(OpenErrorBox& box, const QString& caption) override;
    bool askYesNo(const QString& text, const QString& caption) override;
    void askOk(const QString& text, const QString& caption) override;
    std::optional<QString> openFile(const TOpenDialog& dialog) override;
    void message(const QString& text, const QString& caption) override;
    bool confirm(const QString& text, const QString& caption) override;
};

// The service the handlers use; the real one unless a test installed another.
DialogService& dialogs();
void setDialogs(DialogService* service);

}  // namespace tb
