#pragma once

#include <QString>

#include <functional>

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

    // What ending the loop means; leaving Qt's event loops by default. A test that
    // drives the windows itself keeps its loops running.
    std::function<void()> endLoop;

private:
    QString title_;
    bool terminated_ = false;
};

}  // namespace tb
