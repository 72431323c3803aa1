// Videodisc players: the MCI "videodisc" device driven for videodisc actions and the dialog that
// edits them.
//
//   VideodiscRecord.h/.cpp     the player state, the settings record and the command texts
//   VideodiscPlayer_win.cpp    the player state for the run, VideodiscCommand over MCI, actions
//   VideodiscDialog_win.cpp    "LaserPly", the remote control that edits an action
//
// The start-up and release steps (OpenVideodiscPlayer, CloseVideodiscPlayer,
// ClearVideodiscState) are declared with the media manager's; the live video click rectangle
// that a played segment sets is media/capture's.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>

#include "media/videodisc/VideodiscRecord.h"

inline constexpr uint32_t kAlertNoVideodiscPlayer = 2278, kAlertVideodiscFailed = 2337;

// ---- VideodiscPlayer_win.cpp ----
// Codes of VideodiscCommand (0-24).
enum VideodiscCode : int16_t {
    kVdOpen = 0, kVdStatus = 1, kVdSetUnit = 2, kVdSetSpeed = 3, kVdSetAudio = 4, kVdSeek = 5, kVdPlayTo = 6,
    kVdPause = 7, kVdPauseCav = 8, kVdEject = 9, kVdEject2 = 10, kVdSpinUp = 11, kVdStep = 12, kVdScan = 13,
    kVdVideo = 14, kVdNothing = 15, kVdPosition = 16, kVdPositionDecimal = 17, kVdTrack = 18, kVdIndex = 19,
    kVdPlayAtSpeed = 20, kVdNothing21 = 21, kVdSetNoPlayer = 22, kVdNothing23 = 23, kVdClose = 24,
};
// One videodisc operation on the settings (whose state copy follows the player): 0 done, else
// the MCI error or 1. The argument is a text, a digit or 'R'; codes 16-18 fill out.
uint16_t VideodiscCommand(int16_t code, std::string_view argument, VideodiscSettings& s, uint32_t* out = nullptr);
// True when work may go on: the device is open (or there is no player), else it is opened with
// alert 2278 offering "Try Again", "Continue" (no player from now on) and "Cancel".
bool EnsureVideodiscReady(VideodiscSettings& s);
// The player state kept for the run; null before the first success.
const VideodiscState* VideodiscPlayerState();
void SetVideodiscPlayerState(const VideodiscState& state);
// Performs a stored videodisc chunk (tag 119): 0 done.
uint16_t DoVideodiscAction(HWND window, std::span<const uint8_t> chunk);

// ---- VideodiscDialog_win.cpp ----
inline constexpr uint32_t kVdDialogModeless = 8;  // mode flag: modeless with a live video viewer
// "LaserPly" on an action's strings, rectangle and live video flag (copied back on OK only);
// true on OK. The player state follows the dialog either way.
bool RunVideodiscDialog(HWND parent, VideodiscCommandText& start, VideodiscCommandText& end, Rect32& rect,
                        bool useAction, uint32_t modeFlags, uint16_t& liveVideo);
// The open dialog's settings; null when none is open.
VideodiscSettings* GetVideodiscDialogSettings();
