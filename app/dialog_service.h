#pragma once

#include <QString>

namespace tb {

// Every message box goes through here, so that tests can answer them.
class DialogService {
public:
    virtual ~DialogService() = default;

    // Error icon, one OK button, modal for all of the program's windows.
    virtual void errorBox(const QString& text, const QString& caption) = 0;

    // Question icon, Yes and No, no owner window: the program's windows stay usable
    // while it is open. True for Yes.
    virtual bool askYesNo(const QString& text, const QString& caption) = 0;
};

// The dialogs a user sees.
class QtDialogService final : public DialogService {
public:
    void errorBox(const QString& text, const QString& caption) override;
    bool askYesNo(const QString& text, const QString& caption) override;
};

// The service the handlers use; the real one unless a test installed another.
DialogService& dialogs();
void setDialogs(DialogService* service);

}  // namespace tb
