#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace tb {

// The windows that commands open beside the main window (view, about, purchase), each
// a window of its own, kept while it is open. Those the user has closed since are given
// back when the next one is opened, so that a program that runs for years does not
// gather them; the rest go with the main window.
template <class Window>
class KeptWindows final {
public:
    // Whether the user has closed a window (one hidden only with its minimized owner
    // is not closed).
    using Closed = std::function<bool(const Window&)>;

    explicit KeptWindows(Closed closed) : closed_(std::move(closed)) {}

    Window& keep(std::unique_ptr<Window> window) {
        std::erase_if(windows_, [this](const auto& kept) { return closed_(*kept); });
        windows_.push_back(std::move(window));
        return *windows_.back();
    }
    const std::vector<std::unique_ptr<Window>>& windows() const { return windows_; }
    void clear() { windows_.clear(); }

private:
    Closed closed_;
    std::vector<std::unique_ptr<Window>> windows_;
};

}  // namespace tb
