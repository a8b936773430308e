#include "media/mci/mci_request.h"

namespace tb {

std::wstring wideText(const std::string& text) {
    if (text.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string utf8Text(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(static_cast<std::size_t>(size - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

MciRequest mciRequestFor(mci::Command command, std::uint32_t flags, const MciParams& p, HWND noticeWindow) {
    MciRequest r;
    r.command = command;
    r.flags = flags;
    r.callback = (flags & mci::NOTIFY) ? reinterpret_cast<DWORD_PTR>(noticeWindow) : 0;
    r.deviceType = wideText(p.deviceType);
    r.element = wideText(p.element);
    r.from = p.from;
    r.to = p.to;
    r.frames = p.frames;
    r.item = p.item;
    r.track = p.track;
    r.window = reinterpret_cast<HWND>(p.window);
    r.rect = RECT{p.rect.left, p.rect.top, p.rect.right, p.rect.bottom};
    return r;
}

void sendMci(MCIDEVICEID id, MciRequest& r) {
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

void closeMci(MCIDEVICEID id) {
    MCI_GENERIC_PARMS b{};
    ::mciSendCommandW(id, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&b));
}

}  // namespace tb

namespace tb {

MciAnswers MciAnswers::ask(MCIDEVICEID id) {
    MciAnswers answers;
    const auto question = [&](mci::Command command, DWORD flags, DWORD item) {
        MciRequest r;
        r.command = command;
        r.flags = flags;
        r.item = item;
        sendMci(id, r);
        answers.answered_.push_back(r);
    };
    question(mci::Command::Status, MCI_STATUS_ITEM | MCI_WAIT, MCI_STATUS_LENGTH);
    for (const DWORD item : {MCI_GETDEVCAPS_CAN_PLAY, MCI_GETDEVCAPS_CAN_RECORD, MCI_GETDEVCAPS_CAN_EJECT,
                             MCI_GETDEVCAPS_HAS_VIDEO, MCI_GETDEVCAPS_DEVICE_TYPE}) {
        question(mci::Command::GetDevCaps, MCI_GETDEVCAPS_ITEM | MCI_WAIT, item);
    }
    question(mci::Command::Where, MCI_WAIT | MCI_ANIM_WHERE_SOURCE, 0);
    question(mci::Command::Status, MCI_STATUS_ITEM | MCI_WAIT, MCI_STATUS_MODE);
    return answers;
}

const MciRequest* MciAnswers::find(const MciRequest& request) const {
    for (const auto& a : answered_) {
        if (a.command == request.command && a.flags == request.flags && a.item == request.item &&
            a.track == request.track && request.callback == 0) {
            return &a;
        }
    }
    return nullptr;
}

}  // namespace tb
