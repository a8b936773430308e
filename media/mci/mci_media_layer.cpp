#include "media/mci/mci_media_layer.h"

#include "core/worker.h"

#include <future>
#include <utility>

#include <windows.h>
#include <mmsystem.h>

namespace tb {
namespace {

const wchar_t* const kNoticeClass = L"TollbrookMciNotice";
constexpr UINT kQuit = WM_APP + 2;

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(static_cast<std::size_t>(size - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

// One request as it crosses to the device's worker: the parameter block's inputs in
// the forms MCI takes, and its outputs.
struct Request {
    mci::Command command{};
    DWORD flags = 0;
    DWORD_PTR callback = 0;
    std::wstring deviceType, element, alias;
    DWORD from = 0, to = 0, frames = 0, item = 0, track = 0;
    HWND window = nullptr;
    RECT rect{};
    // Out.
    DWORD_PTR returnValue = 0;
    MCIDEVICEID deviceId = 0;
    MCIERROR error = 0;
};

Request requestFor(mci::Command command, std::uint32_t flags, const MciParams& p, HWND noticeWindow) {
    Request r;
    r.command = command;
    r.flags = flags;
    r.callback = (flags & mci::NOTIFY) ? reinterpret_cast<DWORD_PTR>(noticeWindow) : 0;
    r.deviceType = wide(p.deviceType);
    r.element = wide(p.element);
    r.from = p.from;
    r.to = p.to;
    r.frames = p.frames;
    r.item = p.item;
    r.track = p.track;
    r.window = reinterpret_cast<HWND>(p.window);
    r.rect = RECT{p.rect.left, p.rect.top, p.rect.right, p.rect.bottom};
    return r;
}

// Sends the request to MCI with the parameter block its command takes.
void send(MCIDEVICEID id, Request& r) {
    const UINT message = static_cast<UINT>(r.command);
    auto go = [&](auto& block) {
        block.dwCallback = r.callback;
        r.error = ::mciSendCommandW(id, message, r.flags, reinterpret_cast<DWORD_PTR>(&block));
    };
    switch (r.command) {
        case mci::Command::Open: {
            MCI_OPEN_PARMSW b{};
            b.lpstrDeviceType = r.deviceType.empty() ? nullptr : r.deviceType.c_str();
            b.lpstrElementName = r.element.c_str();
            b.lpstrAlias = r.alias.empty() ? nullptr : r.alias.c_str();
            go(b);
            r.deviceId = b.wDeviceID;
            break;
        }
        case mci::Command::Play:
        case mci::Command::Record: {
            MCI_PLAY_PARMS b{};
            b.dwFrom = r.from;
            b.dwTo = r.to;
            go(b);
            break;
        }
        case mci::Command::Seek: {
            MCI_SEEK_PARMS b{};
            b.dwTo = r.to;
            go(b);
            break;
        }
        case mci::Command::Status: {
            MCI_STATUS_PARMS b{};
            b.dwItem = r.item;
            b.dwTrack = r.track;
            go(b);
            r.returnValue = b.dwReturn;
            break;
        }
        case mci::Command::GetDevCaps: {
            MCI_GETDEVCAPS_PARMS b{};
            b.dwItem = r.item;
            go(b);
            r.returnValue = b.dwReturn;
            break;
        }
        case mci::Command::Set: {
            MCI_SET_PARMS b{};
            b.dwTimeFormat = r.item;
            go(b);
            break;
        }
        case mci::Command::Step: {
            MCI_ANIM_STEP_PARMS b{};
            b.dwFrames = r.frames;
            go(b);
            break;
        }
        case mci::Command::Save: {
            MCI_SAVE_PARMSW b{};
            b.lpfilename = r.element.c_str();
            go(b);
            break;
        }
        case mci::Command::Window: {
            MCI_ANIM_WINDOW_PARMSW b{};
            b.hWnd = r.window;
            go(b);
            break;
        }
        case mci::Command::Put:
        case mci::Command::Where: {
            MCI_ANIM_RECT_PARMS b{};
            b.rc = r.rect;
            go(b);
            r.rect = b.rc;
            break;
        }
        default: {  // close, stop, pause, resume
            MCI_GENERIC_PARMS b{};
            go(b);
            break;
        }
    }
}

}  // namespace

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
                std::lock_guard lock(notices->mutex);
                const auto it = notices->receivers.find(id);
                if (it != notices->receivers.end()) receiver = it->second.lock();
            }
            if (receiver) receiver->mciNotify(code, id);
        });
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
        device.worker->post([id = id] {
            MCI_GENERIC_PARMS b{};
            ::mciSendCommandW(id, MCI_CLOSE, 0, reinterpret_cast<DWORD_PTR>(&b));
        });
        device.worker->retire();
    }
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

std::uint32_t MciMediaLayer::sendCommand(std::uint16_t deviceId, mci::Command command, std::uint32_t flags,
                                         MciParams& params) {
    if (command == mci::Command::Open) return open(flags, params);
    const auto it = devices_.find(deviceId);
    if (it == devices_.end()) return MCIERR_INVALID_DEVICE_ID;
    if (command == mci::Command::Close) return close(deviceId);
    if (flags & mci::NOTIFY) {
        std::lock_guard lock(notices_->mutex);
        notices_->receivers[deviceId] = params.callback;
    }
    auto request = std::make_shared<Request>(requestFor(command, flags, params, notices_->window));
    const auto done = it->second.worker->call<bool>(
        [request, deviceId] {
            send(deviceId, *request);
            return true;
        },
        options_.waitLimit);
    if (!done) return failed(kTimedOut, it->second.file);
    // What the caller asked of the status and the rectangle, and nothing of a request
    // that failed.
    if (request->error == 0) {
        params.returnValue = static_cast<std::uint32_t>(request->returnValue);
        if (command == mci::Command::Where) {
            params.rect = Rect{request->rect.left, request->rect.top, request->rect.right, request->rect.bottom};
        }
    }
    if (request->error != 0 && command == mci::Command::Play) return failed(request->error, it->second.file);
    return request->error;
}

std::uint32_t MciMediaLayer::open(std::uint32_t flags, MciParams& params) {
    auto worker = Worker::start();
    // MCI names a device after its file unless it is given an alias: a bell that
    // rings the file of the one before it, whose close is still under way on its
    // worker, would be refused as a duplicate. Each device gets a name of its own.
    auto request = std::make_shared<Request>(
        requestFor(mci::Command::Open, flags | mci::OPEN_ALIAS, params, notices_->window));
    request->alias = L"tollbrook" + std::to_wstring(++lastAlias_);
    auto notices = notices_;
    const auto callback = params.callback;
    const auto done = worker->call<bool>(
        [request, notices, callback] {
            send(0, *request);
            // Without a MIDI output device the sequencer "plays" for ever, silent and
            // without a notice (a machine without a synthesizer, Wine in a sandbox): a
            // bell that cannot sound is refused at its open.
            if (request->error == 0 && ::midiOutGetNumDevs() == 0) {
                MCI_GETDEVCAPS_PARMS caps{};
                caps.dwItem = MCI_GETDEVCAPS_DEVICE_TYPE;
                if (::mciSendCommandW(request->deviceId, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT,
                                      reinterpret_cast<DWORD_PTR>(&caps)) == 0 &&
                    caps.dwReturn == MCI_DEVTYPE_SEQUENCER) {
                    MCI_GENERIC_PARMS b{};
                    ::mciSendCommandW(request->deviceId, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&b));
                    request->error = kNoMidiOutput;
                    request->deviceId = 0;
                }
            }
            // Registered before the caller hears of the device, so that a notice of the
            // open itself finds its receiver.
            if (request->error == 0 && (request->flags & mci::NOTIFY)) {
                std::lock_guard lock(notices->mutex);
                notices->receivers[static_cast<std::uint16_t>(request->deviceId)] = callback;
            }
            return true;
        },
        options_.waitLimit);
    if (!done) {
        // The open goes on without a caller: whatever it opens is closed again, on the
        // worker, after it.
        worker->post([request] {
            if (request->error == 0 && request->deviceId != 0) {
                MCI_GENERIC_PARMS b{};
                ::mciSendCommandW(request->deviceId, MCI_CLOSE, 0, reinterpret_cast<DWORD_PTR>(&b));
            }
        });
        worker->retire();
        return failed(kTimedOut, params.element);
    }
    if (request->error != 0) {
        worker->retire();
        return failed(request->error, params.element);
    }
    const auto id = static_cast<std::uint16_t>(request->deviceId);
    params.deviceId = id;
    devices_[id] = Device{worker, params.element};
    return 0;
}

std::uint32_t MciMediaLayer::close(std::uint16_t id) {
    const auto it = devices_.find(id);
    const auto worker = it->second.worker;
    devices_.erase(it);
    {
        std::lock_guard lock(notices_->mutex);
        notices_->receivers.erase(id);
    }
    // Closing a playing device can take a while (0.4 s for a WAV under Wine): it ends
    // on its worker, and the next bell does not wait for it.
    worker->post([id] {
        MCI_GENERIC_PARMS b{};
        ::mciSendCommandW(id, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&b));
    });
    worker->retire();
    return 0;
}

std::optional<std::string> MciMediaLayer::errorText(std::uint32_t code) {
    std::string text;
    if (code == kTimedOut) {
        text = "The device did not answer in time";
    } else if (code == kNoMidiOutput) {
        text = "There is no MIDI output device to play this file on";
    } else {
        wchar_t buffer[MAXERRORLENGTH] = {};
        if (!::mciGetErrorStringW(code, buffer, MAXERRORLENGTH)) return std::nullopt;
        text = utf8(buffer);
    }
    if (text.empty()) return std::nullopt;
    if (const auto file = failedFiles_.find(code); file != failedFiles_.end()) text += ": " + file->second;
    return text;
}

void MciMediaLayer::setVolume(std::uint32_t packed) { volume_.setVolume(packed); }

}  // namespace tb
