#pragma once

#include "core/playback/media_layer.h"

#include <string>
#include <vector>

#include <windows.h>
#include <mmsystem.h>

namespace tb {

std::wstring wideText(const std::string& utf8);
std::string utf8Text(const wchar_t* text);

// One request as it crosses to a device's worker: the parameter block's inputs in the
// forms MCI takes, and its outputs.
struct MciRequest {
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

// The request for `params`; a notice, if asked for, goes to `noticeWindow`.
MciRequest mciRequestFor(mci::Command command, std::uint32_t flags, const MciParams& params, HWND noticeWindow);

// Sends the request to MCI with the parameter block its command takes.
void sendMci(MCIDEVICEID id, MciRequest& request);

// Closes an MCI device and waits for it; the answer is not looked at.
void closeMci(MCIDEVICEID id);

// What a player asks a device right after opening it (its length and mode, its five
// capabilities, the source rectangle of its picture), asked in one go on the device's
// worker right after the open. Until the device is told to do anything, MCI would give
// the same answers: a bell's questions at its second then cost no wait for the worker.
class MciAnswers final {
public:
    static MciAnswers ask(MCIDEVICEID id);
    // The answer to `request` when it is one of those questions, asked the same way.
    const MciRequest* find(const MciRequest& request) const;

private:
    std::vector<MciRequest> answered_;
};

}  // namespace tb
