#pragma once

#include "core/playback/media_layer.h"

namespace tb {

// Queues calls onto the user-interface thread's event loop; each runs as a handler,
// so an error it raises reaches the error box.
class QtPoster final : public Poster {
public:
    void post(std::function<void()> call) override;
};

}  // namespace tb
