#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>

namespace tb {

// A box is only as wide as its text and buttons, and the title bar would then cut a
// longer caption: a box is at least as wide as its caption's text (`captionTextWidth`
// pixels, in bold as most title bars draw it) and room for the title bar's icon and
// buttons, 120 pixels at 96 dots per inch.
constexpr int boxWidthForCaption(int captionTextWidth, int dpi = 96) {
    return captionTextWidth + (120 * dpi + 48) / 96;
}

// An error box while it is on screen. A failure with the same text that comes while it
// is open is counted in it instead of opening another box.
class OpenErrorBox final {
public:
    OpenErrorBox(std::string text, std::string since) : first_(std::move(text)), since_(std::move(since)), text_(first_) {}

    const std::string& text() const { return text_; }
    int count() const { return count_; }
    // Whoever shows the box sets this; it is called after each change of the text.
    std::function<void()> changed;

    void repeated();

private:
    std::string first_;
    std::string since_;
    std::string text_;
    int count_ = 1;
};

// Shows the error boxes: one box per text at a time, however often it fails meanwhile.
// Boxes are modal and each one runs an event loop of its own, so without this a failure
// that repeats while nobody answers (a missing bell file over a holiday) would nest
// loops without end.
class ErrorBoxes final {
public:
    // Shows the box and returns when it has been answered.
    using Show = std::function<void(OpenErrorBox& box)>;
    // The time of day as the program shows it, for "since ..."; may be empty.
    using ClockText = std::function<std::string()>;

    explicit ErrorBoxes(Show show, ClockText clock = {}) : show_(std::move(show)), clock_(std::move(clock)) {}

    void report(const std::string& text);
    // Boxes open now, one inside the other.
    std::size_t open() const { return open_.size(); }

private:
    Show show_;
    ClockText clock_;
    std::map<std::string, OpenErrorBox*> open_;
};

}  // namespace tb
