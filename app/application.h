#pragma once

#include <QString>

namespace tb {

// The application object: its title (the taskbar text and the caption of every error
// box) and the terminate flag that ends the message loop.
class TApplication final {
public:
    TApplication() = default;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    const QString& Title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }

    // Ends the message loop once the current message has been handled.
    void Terminate();
    bool Terminated() const { return terminated_; }

private:
    QString title_;
    bool terminated_ = false;
};

}  // namespace tb
