#include "core/error_boxes.h"

namespace tb {

void OpenErrorBox::repeated() {
    ++count_;
    text_ = first_ + "\n\n(" + std::to_string(count_) + " times" + (since_.empty() ? "" : " since " + since_) + ")";
    if (changed) changed();
}

void ErrorBoxes::report(const std::string& text) {
    if (const auto it = open_.find(text); it != open_.end()) {
        it->second->repeated();
        return;
    }
    OpenErrorBox box(text, clock_ ? clock_() : std::string());
    open_.emplace(text, &box);
    try {
        show_(box);
    } catch (...) {
        open_.erase(text);
        throw;
    }
    open_.erase(text);
}

}  // namespace tb
