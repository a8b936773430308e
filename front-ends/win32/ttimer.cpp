#include "front-ends/win32/ttimer.h"

#include <stdexcept>

namespace tb {

TTimer::TTimer(HWND window, UINT_PTR id, Clock& clock)
    : window_(window),
      id_(id),
      rules_(
          clock,
          [this](int ms) {
              // Setting a timer with the same id again replaces it.
              if (SetTimer(window_, id_, static_cast<UINT>(ms), nullptr) == 0) {
                  throw std::runtime_error("Not enough timers available");
              }
          },
          [this] { KillTimer(window_, id_); }) {}

bool TTimer::handleTimer(WPARAM id) {
    if (id != id_) return false;
    rules_.fired();
    return true;
}

}  // namespace tb
