#pragma once

#include "core/util/file_system.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

typedef struct _GstElement GstElement;

namespace tb {

// Why a file cannot be opened, before any decoding is tried.
enum class FileProblem { None, NotFound, Folder, NotRegular, Unreadable };

// Looks at `file` without opening it: a FIFO or device is refused here, since opening
// one can block for ever.
FileProblem checkFile(const std::string& file, FileIdentity* identity);

// What the streaming threads report, in the order they happen.
struct StreamEvent {
    enum Kind { EndOfStream, Error } kind;
    std::uint64_t epoch;
    std::string message;  // Error: the decoder's or sink's text
    std::uint32_t code;   // Error: the media layer's code for it
};

// One audio-only playbin. Every member runs on the device's worker thread; only the
// bus handler runs on streaming threads, and it touches nothing but the mailbox and
// `onEvent`, which the object owns. Destroying it detaches the handlers before the
// pipeline goes to NULL, so nothing it posts afterwards can reach its former owner.
class Playbin final {
public:
    struct Setup {
        std::string file;
        std::string soundfont;                  // for MIDI; empty when none is installed
        std::function<GstElement*()> makeSink;  // empty: the default audio output
        double volume = 1.0;
    };
    struct Opened {
        std::uint32_t error = 0;  // a code of GstMediaLayer, 0 on success
        std::int64_t lengthMs = 0;
        FileIdentity identity;
    };

    explicit Playbin(std::function<void(StreamEvent)> onEvent);
    ~Playbin();
    Playbin(const Playbin&) = delete;
    Playbin& operator=(const Playbin&) = delete;

    // Checks the file, builds the pipeline and prerolls it, within `limit`. A pipeline
    // opened before is released first.
    Opened open(const Setup& setup, std::chrono::milliseconds limit);
    // Lets the pipeline go (to NULL, and everything it holds); open makes a new one.
    void release();

    // Events stamped with `epoch` from here on belong to the current request.
    void setEpoch(std::uint64_t epoch);
    std::uint64_t epoch() const;

    // Each answers 0 or an error code; they wait at most `limit` for the pipeline.
    std::uint32_t play();
    std::uint32_t pause();
    std::uint32_t seek(std::int64_t startMs, std::optional<std::int64_t> stopMs, std::chrono::milliseconds limit);
    void setVolume(double volume);

    // The stream's length as the pipeline knows it now, if it does.
    std::optional<std::int64_t> queryLength();
    // How far into the stream the pipeline has got. The default output does not wait
    // for the clock, so this is what it has handed to the sound server, not what has
    // been heard.
    std::optional<std::int64_t> queryPosition();

    // Nothing has failed since the pipeline was made ready (a sound server that went
    // away meanwhile shows only once it plays).
    bool healthy() const;

    struct Mailbox;  // what the streaming threads leave for the worker

private:
    bool preroll(std::chrono::milliseconds limit);
    std::int64_t estimatedLength(const std::string& file);
    std::uint32_t failureCode();

    GstElement* pipeline_ = nullptr;
    std::shared_ptr<Mailbox> mailbox_;
};

}  // namespace tb
