// The videodisc player over the MCI "videodisc" device (see Videodisc.h).
#include <windows.h>
#include <mmsystem.h>

#include <optional>
#include <string>

#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/WaitCursor.h"
#include "media/MediaManager.h"
#include "media/capture/Capture.h"
#include "media/videodisc/Videodisc.h"
#include "stack/depth/StackDepthChange.h"

namespace {

std::optional<VideodiscState> g_state;

constexpr int kFarSeek = 500;

struct ModeOf {
    DWORD mci;
    uint16_t mode;
};
constexpr ModeOf kMciModes[] = {
    {MCI_VD_MODE_PARK, kVdParked}, {MCI_MODE_NOT_READY, kVdNotReady}, {MCI_MODE_PLAY, kVdPlaying},
    {MCI_MODE_STOP, kVdStopped},   {MCI_MODE_PAUSE, kVdPaused},       {MCI_MODE_SEEK, kVdSeeking},
    {MCI_MODE_OPEN, kVdDoorOpen},
};

MCIERROR Send(const VideodiscState& st, UINT message, DWORD flags, void* parms) {
    return mciSendCommandA(st.device, message, flags, reinterpret_cast<DWORD_PTR>(parms));
}

MCIERROR Status(const VideodiscState& st, DWORD item, DWORD* value, DWORD extra = 0) {
    MCI_STATUS_PARMS p{};
    p.dwItem = item;
    const MCIERROR e = Send(st, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT | extra, &p);
    *value = e == 0 ? static_cast<DWORD>(p.dwReturn) : 0;
    return e;
}

MCIERROR SendString(const char* command) { return mciSendStringA(command, nullptr, 0, nullptr); }

bool IsClv(const VideodiscState& st) { return st.discType == kDiscClv; }

// A decimal position as MCI takes it: hms on CLV discs.
DWORD Target(const VideodiscState& st, std::string_view text) {
    const uint32_t value = LeadingDecimal(text.substr(0, 32));
    return IsClv(st) ? DecimalToHms(value) : value;
}

uint16_t Result(MCIERROR e) { return static_cast<uint16_t>(e); }

uint16_t Open(VideodiscSettings& s) {
    VideodiscState& st = s.state;
    if (!(st.flags & kVdDeviceOpen)) {
        WaitCursor busy;
        MCI_OPEN_PARMSA p{};
        p.lpstrDeviceType = "videodisc";
        if (const MCIERROR e = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE | MCI_WAIT,
                                               reinterpret_cast<DWORD_PTR>(&p)))
            return Result(e);
        st.flags |= kVdDeviceOpen;
        st.device = p.wDeviceID;
    }
    DWORD ready = 0;
    if (Status(st, MCI_STATUS_READY, &ready) != 0 || !ready)
        return 1;
    SendString("keylock videodisc off wait");
    return 0;
}

uint16_t ReadStatus(VideodiscSettings& s) {
    VideodiscState& st = s.state;
    st.flags = static_cast<uint16_t>((st.flags & ~kVdDiscPresent) | kVdStatusRead);
    DWORD mode = 0;
    if (const MCIERROR e = Status(st, MCI_STATUS_MODE, &mode))
        return Result(e);
    for (const ModeOf& m : kMciModes)
        if (m.mci == mode)
            st.mode = m.mode;
    st.flags = static_cast<uint16_t>(st.mode > kVdDoorOpen ? st.flags | kVdModeAboveZero : st.flags & ~kVdModeAboveZero);
    DWORD present = 0;
    Status(st, MCI_STATUS_MEDIA_PRESENT, &present);
    st.discType = kDiscUnknown;
    if (present) {
        st.flags |= kVdDiscPresent;
        DWORD type = 0;
        if (Status(st, MCI_VD_STATUS_MEDIA_TYPE, &type) == 0)
            st.discType = type == MCI_VD_MEDIA_CLV ? kDiscClv : type == MCI_VD_MEDIA_CAV ? kDiscCav : kDiscUnknown;
    }
    return 0;
}

uint16_t SetUnit(VideodiscSettings& s, std::string_view unit) {
    VideodiscState& st = s.state;
    MCI_SET_PARMS p{};
    if (unit.substr(0, 2) == "CH") {
        p.dwTimeFormat = MCI_VD_FORMAT_TRACK;
        if (const MCIERROR e = Send(st, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &p))
            return Result(e);
        st.flags |= kVdChapterFormat;
    } else {
        st.flags &= static_cast<uint16_t>(~kVdChapterFormat);
        if (st.discType == kDiscUnknown)
            return 1;
        p.dwTimeFormat = IsClv(st) ? MCI_FORMAT_HMS : MCI_FORMAT_FRAMES;
        if (const MCIERROR e = Send(st, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &p))
            return Result(e);
    }
    if (unit.size() >= 2) {
        s.unitCode[0] = unit[0];
        s.unitCode[1] = unit[1];
    }
    return 0;
}

uint16_t SetAudio(VideodiscSettings& s, char digit) {
    VideodiscState& st = s.state;
    bool left = s.audioCode[0] == '3' || s.audioCode[0] == '2';  // channel 1
    bool right = s.audioCode[0] == '3' || s.audioCode[0] == '1';
    auto channel = [&](DWORD which, bool on, bool* kept) {
        MCI_SET_PARMS p{};
        p.dwAudio = which;
        const MCIERROR e = Send(st, MCI_SET, MCI_SET_AUDIO | (on ? MCI_SET_ON : MCI_SET_OFF) | MCI_WAIT, &p);
        if (e == 0)
            *kept = on;
        return e;
    };
    MCIERROR e = 0;
    if (digit == '0' || digit == '3') {
        const bool on = digit == '3';
        MCI_SET_PARMS p{};
        p.dwAudio = MCI_SET_AUDIO_ALL;
        e = Send(st, MCI_SET, MCI_SET_AUDIO | (on ? MCI_SET_ON : MCI_SET_OFF) | MCI_WAIT, &p);
        if (e == 0)
            left = right = on;
    } else if (digit == '1') {
        e = channel(MCI_SET_AUDIO_LEFT, false, &left);
        if (const MCIERROR e2 = channel(MCI_SET_AUDIO_RIGHT, true, &right); e == 0)
            e = e2;
    } else {
        e = channel(MCI_SET_AUDIO_LEFT, true, &left);
        if (const MCIERROR e2 = channel(MCI_SET_AUDIO_RIGHT, false, &right); e == 0)
            e = e2;
    }
    s.audioCode[0] = left && right ? '3' : left ? '2' : right ? '1' : '0';
    return Result(e);
}

uint16_t Seek(VideodiscSettings& s, std::string_view text) {
    VideodiscState& st = s.state;
    const int32_t value = static_cast<int32_t>(LeadingDecimal(text.substr(0, 32)));
    std::optional<WaitCursor> busy;
    if (std::abs(value - st.position) > kFarSeek || st.mode == kVdDoorOpen)
        busy.emplace();
    MCI_SEEK_PARMS p{};
    p.dwTo = Target(st, text);
    if (const MCIERROR e = Send(st, MCI_SEEK, MCI_TO | MCI_WAIT, &p))
        return Result(e);
    st.position = value;
    return 0;
}

uint16_t Play(VideodiscSettings& s, std::string_view text, bool full, bool reverse) {
    VideodiscState& st = s.state;
    MCI_VD_PLAY_PARMS p{};
    DWORD flags = MCI_VD_PLAY_SPEED;
    p.dwSpeed = full ? st.speed : st.speed / 2u;
    if (!text.empty()) {
        const int32_t value = static_cast<int32_t>(LeadingDecimal(text.substr(0, 32)));
        p.dwTo = Target(st, text);
        flags |= MCI_TO;
        reverse = value < st.position;
    }
    if (reverse)
        flags |= MCI_VD_PLAY_REVERSE;
    if (const MCIERROR e = Send(st, MCI_PLAY, flags, &p))
        return Result(e);
    st.mode = kVdPlaying;
    st.flags = static_cast<uint16_t>(reverse ? st.flags | kVdReverse : st.flags & ~kVdReverse);
    return 0;
}

uint16_t PositionInto(VideodiscSettings& s, DWORD item, bool decimal, uint32_t* out) {
    DWORD value = 0;
    const MCIERROR e = Status(s.state, item, &value);
    if (out)
        *out = decimal && IsClv(s.state) ? HmsToDecimal(value) : value;
    return Result(e);
}

}  // namespace

uint16_t VideodiscCommand(int16_t code, std::string_view arg, VideodiscSettings& s, uint32_t* out) {
    VideodiscState& st = s.state;
    if (st.flags & kVdNoPlayer)
        return 0;
    const char first = arg.empty() ? '\0' : arg[0];
    switch (code) {
    case kVdOpen: return Open(s);
    case kVdStatus: return ReadStatus(s);
    case kVdSetUnit: return SetUnit(s, arg);
    case kVdSetSpeed:
        st.speed = arg.empty() ? kNormalSpeed : static_cast<uint16_t>(LeadingDecimal(arg));
        return 0;
    case kVdSetAudio: return SetAudio(s, first);
    case kVdSeek: return Seek(s, arg);
    case kVdPlayTo: return Play(s, arg, false, false);
    case kVdPause:
    case kVdPauseCav: {
        std::optional<WaitCursor> busy;
        if (st.mode == kVdDoorOpen)
            busy.emplace();
        MCI_GENERIC_PARMS p{};
        if (const MCIERROR e = Send(st, MCI_PAUSE, MCI_WAIT, &p))
            return Result(e);
        st.mode = kVdPaused;
        return 0;
    }
    case kVdEject:
    case kVdEject2: {
        MCI_SET_PARMS p{};
        if (const MCIERROR e = Send(st, MCI_SET, MCI_SET_DOOR_OPEN | MCI_WAIT, &p))
            return Result(e);
        st.mode = kVdDoorOpen;
        return 0;
    }
    case kVdSpinUp: {
        MCI_GENERIC_PARMS p{};
        return Result(Send(st, MCI_SPIN, MCI_VD_SPIN_UP | MCI_WAIT, &p));
    }
    case kVdStep: {
        if (st.flags & kVdChapterFormat)
            return Seek(s, std::to_string(st.position + (first == 'R' ? -1 : 1)));
        MCI_VD_STEP_PARMS p{};
        p.dwFrames = 1;
        return Result(Send(st, MCI_STEP, MCI_VD_STEP_FRAMES | (first == 'R' ? MCI_VD_STEP_REVERSE : 0) | MCI_WAIT, &p));
    }
    case kVdScan: return Result(SendString(first == 'R' ? "play videodisc scan reverse" : "play videodisc scan"));
    case kVdVideo: {
        MCI_SET_PARMS p{};
        return Result(Send(st, MCI_SET, MCI_SET_VIDEO | (first == '0' ? MCI_SET_OFF : MCI_SET_ON) | MCI_WAIT, &p));
    }
    case kVdNothing:
    case kVdNothing21:
    case kVdNothing23: return 0;
    case kVdPosition: return PositionInto(s, MCI_STATUS_POSITION, false, out);
    case kVdPositionDecimal: return PositionInto(s, MCI_STATUS_POSITION, true, out);
    case kVdTrack: return PositionInto(s, MCI_STATUS_CURRENT_TRACK, false, out);
    case kVdIndex: {
        const MCIERROR e = SendString(first == '0' ? "index videodisc off wait" : "index videodisc on wait");
        if (e == 0)
            s.indexCode[0] = first == '0' ? '0' : first;
        return Result(e);
    }
    case kVdPlayAtSpeed: return Play(s, {}, true, first == 'R');
    case kVdSetNoPlayer:
        if (!arg.empty() && first != '0')
            st.flags |= kVdNoPlayer;
        return 0;
    case kVdClose:
        if (st.flags & kVdDeviceOpen && st.device) {
            MCI_GENERIC_PARMS p{};
            Send(st, MCI_CLOSE, MCI_WAIT, &p);
        }
        st.flags &= static_cast<uint16_t>(~kVdDeviceOpen);
        st.device = 0;
        return 0;
    default: return 1;
    }
}

bool EnsureVideodiscReady(VideodiscSettings& s) {
    if (s.state.flags & (kVdNoPlayer | kVdDeviceOpen))
        return true;
    for (;;) {
        // "Try Again" repeats the open, which asks a device already open only whether it is ready.
        if (VideodiscCommand(kVdOpen, {}, s) == 0) {
            VideodiscCommand(kVdStatus, {}, s);
            return true;
        }
        const int answer = ShowAlert(kAlertNoVideodiscPlayer);
        if (answer == 1)  // Try Again
            continue;
        // A device that opened but is not ready is not kept.
        VideodiscCommand(kVdClose, {}, s);
        if (answer != 2)
            return false;
        VideodiscCommand(kVdSetNoPlayer, "1", s);  // Continue
        return true;
    }
}

const VideodiscState* VideodiscPlayerState() { return g_state ? &*g_state : nullptr; }

void SetVideodiscPlayerState(const VideodiscState& state) { g_state = state; }

namespace {

VideodiscSettings SettingsOf(VideodiscAction& a, bool useAction) {
    return BuildVideodiscSettings(a.start, a.end, a.rect, a.flags, useAction, VideodiscPlayerState());
}

// Searches to the start frame with the action's unit, speed and audio.
uint16_t SendSegmentStart(VideodiscAction& a) {
    VideodiscSettings s = SettingsOf(a, true);
    if (!EnsureVideodiscReady(s))
        return 1;
    const std::string unit = UnitCode(a.end);
    uint16_t e = VideodiscCommand(kVdSetUnit, unit, s);
    if (e == 0 && unit != "TM")
        e = VideodiscCommand(kVdSetSpeed, CommandText(a.start), s);
    if (e == 0)
        e = VideodiscCommand(kVdSetAudio, std::string(1, AudioDigit(a.start)), s);
    if (e == 0) {
        const std::string_view text = CommandText(a.start);
        e = VideodiscCommand(kVdSeek, text.size() > kTplStartFrame ? text.substr(kTplStartFrame) : std::string_view{}, s);
    }
    if (e == 0)
        SetVideodiscPlayerState(s.state);
    return e;
}

uint16_t PlaySegment(HWND window, VideodiscAction& a) {
    RECT rect{a.rect.left, a.rect.top, a.rect.right, a.rect.bottom};
    if (a.flags & kVdActionLiveVideo && HaveCaptureDriver())
        OpenCaptureWindow(window, rect, 1);
    uint16_t e = 0;
    if (!(a.flags & kVdActionLiveOnly)) {
        VideodiscSettings s = SettingsOf(a, true);
        e = VideodiscCommand(kVdStatus, {}, s);
        const std::string_view startFrame = StartFrameDigits(a.start), endFrame = EndFrameDigits(a.end);
        // A text too short for its frame digits plays nothing.
        if (e == 0 && !startFrame.empty() && !endFrame.empty() && startFrame != endFrame) {
            e = VideodiscCommand(kVdPlayTo, CommandText(a.end), s);
            if (e == 0) {
                s.state.flags |= kVdNeedsInit;
                SetVideodiscPlayerState(s.state);
            }
        }
    }
    // Only an action with live video moves the click rectangle: a segment without it leaves the
    // live video another action shows taking presses.
    if (!(a.flags & kVdActionLiveVideo))
        return e;
    if (e == 0) {
        InflateRect(&rect, 2, 2);
        SetVideoClickRect(rect);
    } else {
        SetVideoClickRect({});
    }
    return e;
}

}  // namespace

uint16_t DoVideodiscAction(HWND window, std::span<const uint8_t> chunk) {
    VideodiscAction a = ReadVideodiscChunk(chunk);
    if (a.flags & kVdActionLiveOnly)
        return PlaySegment(window, a);
    uint16_t e = 0;
    {
        WaitCursor busy;
        e = OpenVideodiscPlayer();
        if (e == 0)
            e = SendSegmentStart(a);
        if (e == 0) {
            e = PlaySegment(window, a);
            if (e != 0)
                ShowAlert(kAlertVideodiscFailed);
        }
    }
    return e;
}

int OpenVideodiscPlayer() {
    if (!g_state || !(g_state->flags & kVdNeedsInit))
        return 0;
    VideodiscAction none;
    VideodiscSettings s = SettingsOf(none, true);
    uint16_t e = VideodiscCommand(kVdStatus, {}, s);
    if (e == 0)
        e = VideodiscCommand(IsClv(s.state) ? kVdPause : kVdPauseCav, {}, s);
    if (e == 0)
        s.state.flags &= static_cast<uint16_t>(~kVdNeedsInit);
    SetVideodiscPlayerState(s.state);
    return e == 0 ? 0 : 1;
}

int ChangeStackSizeSettlingPlayer(Handle oldHeader, Handle newHeader) {
    const int changed = ChangeStackSizeAndDepth(GetCardWindow(), oldHeader, newHeader);
    OpenVideodiscPlayer();
    return changed;
}

void CloseVideodiscPlayer() {
    if (!g_state)
        return;
    VideodiscAction none;
    VideodiscSettings s = SettingsOf(none, true);
    VideodiscCommand(kVdClose, {}, s);
    SetVideodiscPlayerState(s.state);
}

void ClearVideodiscState() { g_state.reset(); }
