#include "media/mci/mci_media_layer.h"

#include "core/worker.h"
#include "media/mci/mci_files.h"
#include "media/mci/mci_request.h"

#include <future>
#include <utility>

#include <windows.h>
#include <mmsystem.h>

namespace tb {
namespace {

const wchar_t* const kNoticeClass = L"TollbrookMciNotice";
constexpr UINT kQuit = WM_APP + 2;

bool sameText(const std::wstring& a, const wchar_t* b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Opens the request's file on this thread, under the name MCI can take for it.
void openFile(MciRequest& request, std::chrono::milliseconds delay) {
    if (delay.count() > 0) ::Sleep(static_cast<DWORD>(delay.count()));
    const std::wstring asGiven = request.element;
    if (const auto name = mciFileName(asGiven)) {
        request.element = *name;
    } else {
        request.error = MciMediaLayer::kPathTooLong;
        return;
    }
    sendMci(0, request);
    request.element = asGiven;
    // Without a MIDI output device the sequencer "plays" for ever, silent and without a
    // notice (a machine without a synthesizer, Wine in a sandbox): a bell that cannot
    // sound is refused at its open.
    if (request.error == 0 && ::midiOutGetNumDevs() == 0) {
        MCI_GETDEVCAPS_PARMS caps{};
        caps.dwItem = MCI_GETDEVCAPS_DEVICE_TYPE;
        if (::mciSendCommandW(request.deviceId, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT,
                              reinterpret_cast<DWORD_PTR>(&caps)) == 0 &&
            caps.dwReturn == MCI_DEVTYPE_SEQUENCER) {
            closeMci(request.deviceId);
            request.error = MciMediaLayer::kNoMidiOutput;
            request.deviceId = 0;
        }
    }
}

}  // namespace

// What the open ahead found, on its worker; only that worker reads and writes it.
struct MciMediaLayer::Opening {
    std::optional<FileIdentity> identity;  // the file's just before it was opened
    MCIDEVICEID id = 0;                    // the device, when it opened
    std::shared_ptr<const MciAnswers> answers;  // and what it answered then
};

// The notice window's side: who receives each device's notices, and the poster.
struct MciMediaLayer::Notices {
    std::mutex mutex;
    Poster* poster = nullptr;
    HWND window = nullptr;
    std::map<std::uint16_t, std::weak_ptr<NoticeReceiver>> receivers;

    void deliver(std::uint32_t code, std::uint16_t id, const std::shared_ptr<Notices>& self) {
        std::lock_guard lock(mutex);
        if (poster == nullptr) return;
        // The receiver is looked up when the call runs on the user-interface thread,
        // after the request that asked for the notice has returned there.
        poster->post([weak = std::weak_ptr<Notices>(self), code, id] {
            const auto notices = weak.lock();
            if (!notices) return;
            std::shared_ptr<NoticeReceiver> receiver;
            {
                std::lock_guard held(notices->mutex);
                const auto it = notices->receivers.find(id);
                if (it != notices->receivers.end()) receiver = it->second.lock();
            }
            if (receiver) receiver->mciNotify(code, id);
        });
    }

    void receive(std::uint16_t id, std::weak_ptr<NoticeReceiver> receiver) {
        std::lock_guard lock(mutex);
        receivers[id] = std::move(receiver);
    }

    void forget(std::uint16_t id) {
        std::lock_guard lock(mutex);
        receivers.erase(id);
    }
};

namespace {

struct NoticeWindowData {
    std::shared_ptr<MciMediaLayer::Notices> notices;
};

LRESULT CALLBACK noticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<NoticeWindowData*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == MM_MCINOTIFY && data != nullptr) {
        data->notices->deliver(static_cast<std::uint32_t>(wParam), static_cast<std::uint16_t>(lParam), data->notices);
        return 0;
    }
    if (message == kQuit) {
        ::DestroyWindow(window);
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

MciMediaLayer::MciMediaLayer(Poster& poster) : MciMediaLayer(poster, Options{}) {}

MciMediaLayer::MciMediaLayer(Poster& poster, Options options)
    : notices_(std::make_shared<Notices>()), options_(options) {
    notices_->poster = &poster;
    std::promise<HWND> ready;
    auto window = ready.get_future();
    noticeThread_ = std::thread([notices = notices_, &ready] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = noticeProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kNoticeClass;
        ::RegisterClassExW(&wc);
        const HWND hwnd =
            ::CreateWindowExW(0, kNoticeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        NoticeWindowData data{notices};
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&data));
        ready.set_value(hwnd);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    });
    notices_->window = window.get();
}

MciMediaLayer::~MciMediaLayer() {
    for (auto& [id, device] : devices_) {
        device.worker->post([id = id] { closeMci(id); });
        device.worker->retire();
    }
    releasePrepared();
    if (sequencerQueue_) sequencerQueue_->retire();
    {
        std::lock_guard lock(notices_->mutex);
        notices_->poster = nullptr;
    }
    ::PostMessageW(notices_->window, kQuit, 0, 0);
    noticeThread_.join();
}

std::uint32_t MciMediaLayer::failed(std::uint32_t code, const std::string& file) {
    failedFiles_[code] = file;
    return code;
}

std::wstring MciMediaLayer::nextAlias() {
    // MCI names a device after its file unless it is given an alias: a bell that rings
    // the file of the one before it, whose close is still under way on its worker, or
    // that is opened ahead, would be refused as a duplicate. Each device gets a name of
    // its own.
    return L"tollbrook" + std::to_wstring(++lastAlias_);
}

bool MciMediaLayer::sequencerOpen() const {
    for (const auto& [id, device] : devices_) {
        if (device.sequencer) return true;
    }
    return false;
}

std::shared_ptr<Worker> MciMediaLayer::workerFor(bool sequencer) {
    if (sequencer && sequencerQueue_) return std::exchange(sequencerQueue_, nullptr);
    return Worker::start();
}

void MciMediaLayer::letGo(std::shared_ptr<Worker> worker, bool sequencer) {
    if (!sequencer) {
        worker->retire();
        return;
    }
    if (sequencerQueue_) sequencerQueue_->retire();
    sequencerQueue_ = std::move(worker);
}

std::uint32_t MciMediaLayer::sendCommand(std::uint16_t deviceId, mci::Command command, std::uint32_t flags,
                                         MciParams& params) {
    if (command == mci::Command::Open) return open(flags, params);
    const auto it = devices_.find(deviceId);
    if (it == devices_.end()) return MCIERR_INVALID_DEVICE_ID;
    if (command == mci::Command::Close) return close(deviceId);
    Device& device = it->second;
    if (flags & mci::NOTIFY) notices_->receive(deviceId, params.callback);
    auto request = std::make_shared<MciRequest>(mciRequestFor(command, flags, params, notices_->window));
    // What the caller asked of the status and the rectangle, and nothing of a request
    // that failed.
    const auto answer = [&](const MciRequest& r) {
        if (r.error == 0) {
            params.returnValue = static_cast<std::uint32_t>(r.returnValue);
            if (command == mci::Command::Where) {
                params.rect = Rect{r.rect.left, r.rect.top, r.rect.right, r.rect.bottom};
            }
        }
        return r.error;
    };
    const bool question =
        command == mci::Command::Status || command == mci::Command::GetDevCaps || command == mci::Command::Where;
    if (!question) {
        device.answers.reset();
    } else if (device.answers) {
        if (const MciRequest* known = device.answers->find(*request)) return answer(*known);
    }
    const auto done = device.worker->call<bool>(
        [request, deviceId] {
            sendMci(deviceId, *request);
            return true;
        },
        options_.waitLimit);
    if (!done) return failed(kTimedOut, device.file);
    if (request->error != 0 && command == mci::Command::Play) return failed(request->error, device.file);
    return answer(*request);
}

void MciMediaLayer::prepare(const std::string& file) {
    if (prepared_ && prepared_->file == file) return;
    releasePrepared();
    if (file.empty()) return;
    const std::wstring name = wideText(file);
    const bool sequencer = playsOnSequencer(name);
    // While a MIDI file is open on the sequencer, the next one can only be opened once
    // that one is closed: at its second.
    if (sequencer && sequencerOpen()) return;
    auto request = std::make_shared<MciRequest>();
    request->command = mci::Command::Open;
    request->flags = MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS | MCI_WAIT;
    request->element = name;
    request->alias = nextAlias();
    prepared_ = std::make_unique<Prepared>(
        Prepared{file, sequencer, workerFor(sequencer), std::make_shared<Opening>()});
    prepared_->worker->post([request, opening = prepared_->opening, delay = options_.openDelay] {
        opening->identity = mciFileIdentity(request->element);
        openFile(*request, delay);
        if (request->error != 0) return;
        opening->id = request->deviceId;
        opening->answers = std::make_shared<const MciAnswers>(MciAnswers::ask(request->deviceId));
    });
}

void MciMediaLayer::releasePrepared() {
    if (!prepared_) return;
    const auto prepared = std::move(prepared_);
    prepared->worker->post([opening = prepared->opening] {
        if (opening->id != 0) closeMci(std::exchange(opening->id, 0));
    });
    letGo(prepared->worker, prepared->sequencer);
}

// The device opened ahead stands in for an open of the same file, as the program's
// player asks for it: by the file, with the device picked by MCI, not shared.
bool MciMediaLayer::adoptable(std::uint32_t flags, const MciParams& params) const {
    return prepared_ && prepared_->file == params.element && (flags & mci::OPEN_ELEMENT) &&
           !(flags & (mci::OPEN_TYPE | mci::OPEN_SHAREABLE));
}

std::uint32_t MciMediaLayer::open(std::uint32_t flags, MciParams& params) {
    auto request = std::make_shared<MciRequest>(
        mciRequestFor(mci::Command::Open, flags | mci::OPEN_ALIAS, params, notices_->window));
    request->alias = nextAlias();
    const bool sequencer =
        (flags & mci::OPEN_TYPE) ? sameText(request->deviceType, L"sequencer") : playsOnSequencer(request->element);
    std::shared_ptr<Worker> worker;
    std::shared_ptr<Opening> ahead;
    if (adoptable(flags, params)) {
        worker = prepared_->worker;
        ahead = prepared_->opening;
        prepared_.reset();
    } else {
        // The sequencer is one device: a MIDI file opened ahead gives way to this one.
        if (sequencer && prepared_ && prepared_->sequencer) releasePrepared();
        worker = workerFor(sequencer);
    }
    auto notices = notices_;
    const auto callback = params.callback;
    auto answers = std::make_shared<std::shared_ptr<const MciAnswers>>();
    const auto done = worker->call<bool>(
        [request, ahead, answers, notices, callback, delay = options_.openDelay] {
            // The device opened ahead is taken when it opened and its file is still the
            // one it opened; otherwise the file is opened now.
            bool adopted = false;
            if (ahead && ahead->id != 0) {
                const auto now = mciFileIdentity(request->element);
                if (now && now == ahead->identity) {
                    request->deviceId = std::exchange(ahead->id, 0);
                    *answers = std::move(ahead->answers);
                    adopted = true;
                } else {
                    closeMci(std::exchange(ahead->id, 0));
                }
            }
            if (!adopted) {
                openFile(*request, delay);
                if (request->error == 0) {
                    *answers = std::make_shared<const MciAnswers>(MciAnswers::ask(request->deviceId));
                }
            }
            // Registered before the caller hears of the device, so that a notice of the
            // open itself finds its receiver.
            if (request->error == 0 && (request->flags & mci::NOTIFY)) {
                const auto id = static_cast<std::uint16_t>(request->deviceId);
                notices->receive(id, callback);
                // MCI's own notice of that open came before anyone asked for it.
                if (adopted) notices->deliver(MCI_NOTIFY_SUCCESSFUL, id, notices);
            }
            return true;
        },
        options_.waitLimit);
    if (!done) {
        // The open goes on without a caller: whatever it opens is closed again, on the
        // worker, after it.
        worker->post([request, notices] {
            if (request->error == 0 && request->deviceId != 0) {
                notices->forget(static_cast<std::uint16_t>(request->deviceId));
                closeMci(request->deviceId);
            }
        });
        letGo(worker, sequencer);
        return failed(kTimedOut, params.element);
    }
    if (request->error != 0) {
        letGo(worker, sequencer);
        return failed(request->error, params.element);
    }
    const auto id = static_cast<std::uint16_t>(request->deviceId);
    params.deviceId = id;
    devices_[id] = Device{worker, params.element, sequencer, std::move(*answers)};
    return 0;
}

std::uint32_t MciMediaLayer::close(std::uint16_t id) {
    const auto it = devices_.find(id);
    const Device device = std::move(it->second);
    devices_.erase(it);
    notices_->forget(id);
    // Closing a playing device can take a while (0.4 s for a WAV under Wine): it ends
    // on its worker, and the next bell does not wait for it.
    device.worker->post([id] { closeMci(id); });
    letGo(device.worker, device.sequencer);
    return 0;
}

std::optional<std::string> MciMediaLayer::errorText(std::uint32_t code) {
    std::string text;
    if (code == kTimedOut) {
        text = "The device did not answer in time";
    } else if (code == kNoMidiOutput) {
        text = "There is no MIDI output device to play this file on";
    } else if (code == kPathTooLong) {
        text = "The file's path is longer than 260 characters, the most that the media player can open, and the "
               "disk has no short name for it";
    } else {
        wchar_t buffer[MAXERRORLENGTH] = {};
        if (!::mciGetErrorStringW(code, buffer, MAXERRORLENGTH)) return std::nullopt;
        text = utf8Text(buffer);
    }
    if (text.empty()) return std::nullopt;
    if (const auto file = failedFiles_.find(code); file != failedFiles_.end()) text += ": " + file->second;
    return text;
}

void MciMediaLayer::setVolume(std::uint32_t packed) { volume_.setVolume(packed); }

}  // namespace tb
