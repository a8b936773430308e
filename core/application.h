#pragma once

#include <functional>
#include <string>

namespace tb {

// The application object: its title (the taskbar text and the caption of every error
// box) and the terminate flag that ends the message loop.
class TApplication final {
public:
    TApplication() = default;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    const std::string& Title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    // Ends the message loop once the current message has been handled.
    void Terminate() {
        terminated_ = true;
        if (endLoop) endLoop();
    }
    bool Terminated() const { return terminated_; }

    // What ending the loop means to the front end: leaving every running event loop,
    // nested ones included. A test that drives the windows itself keeps its loops.
    std::function<void()> endLoop;

private:
    std::string title_;
    bool terminated_ = false;
};

}  // namespace tb
