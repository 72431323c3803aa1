// "LaserPly", the remote control that edits a videodisc action (see Videodisc.h).
#include <windows.h>
#include <windowsx.h>
#include <vfw.h>

#include <algorithm>
#include <cstring>

#include <cstdio>
#include <string>

#include "core/events/MessageLoops.h"
#include "core/events/MouseHooks.h"
#include "core/system/Ticks.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "core/ui/WindowUtils.h"
#include "layers/PaintGeometry.h"
#include "layers/PaintGeometry_win.h"
#include "media/capture/Capture.h"
#include "media/videodisc/Videodisc.h"

namespace {

enum Control : int {
    kTrySegment = 3,
    kUnit = 4,
    kEndEdit = 5,
    kStartEdit = 6,
    kBeginRadio = 7,
    kEndRadio = 8,
    kAudio = 9,
    kSpeedUp = 10,
    kSpeedDown = 11,
    kSpeedLabel = 12,
    kStepForward = 13,
    kStepBack = 14,
    kPlayForward = 15,
    kPlayBack = 16,
    kStepLabel = 17,
    kDisplay = 19,
    kPause = 21,
    kEjectStart = 22,
    kViewer = 23,
};
constexpr UINT_PTR kSeekTimer = 2;
constexpr UINT kSeekTimerMs = 500;
constexpr uint32_t kEditSettleMs = 1000;
constexpr uint32_t kRelabelMs = 500;
constexpr int kViewerId = 50;
constexpr uint16_t kModeNine = 9;  // a mode some players report while scanning

constexpr uint32_t kStringAudio[] = {4053, 4052, 4051, 4050};  // '0' to '3'
constexpr uint32_t kStringChapter = 4054, kStringTime = 4055, kStringFrame = 4056;
constexpr uint32_t kStringStep = 4057, kStringScan = 4058, kStringEject = 4173, kStringStart = 4174;

struct Dialog {
    VideodiscSettings* s = nullptr;
    HWND window = nullptr;
    HWND card = nullptr;  // the card window the dialog was asked for
    HWND viewer = nullptr;
    RECT viewerRect{};
    bool hookPushed = false;
    uint32_t lastRelabel = 0;
    // The rubber band of a drag from a handle.
    int handle = 0;
    POINT last{};
    bool dragging = false;
};
Dialog g;

VideodiscSettings& S() { return *g.s; }
uint16_t Cmd(int16_t code, std::string_view arg = {}, uint32_t* out = nullptr) {
    return VideodiscCommand(code, arg, S(), out);
}
bool IsCav() { return S().state.discType == kDiscCav; }
bool IsClv() { return S().state.discType == kDiscClv; }
bool Chapters() { return S().state.flags & kVdChapterFormat; }
bool Playing() { return S().state.mode == kVdPlaying || S().state.mode == kModeNine; }
char* TplStart() { return S().templates.data() + kTplStartFrame; }
char* TplEnd() { return S().templates.data() + kTplEnd; }

void SetText(int id, uint32_t stringId) { SetDlgItemTextA(g.window, id, ResText(stringId).c_str()); }

std::string EditText(int id) {
    char buffer[16] = {};
    GetDlgItemTextA(g.window, id, buffer, sizeof buffer);
    return buffer;
}

void LabelEjectStart() {
    SetText(kEjectStart, S().state.mode > kVdDoorOpen ? kStringEject : kStringStart);
    S().state.flags = static_cast<uint16_t>(S().state.mode > kVdDoorOpen ? S().state.flags | kVdModeAboveZero
                                                                          : S().state.flags & ~kVdModeAboveZero);
    g.lastRelabel = GetMilliseconds();
}

void LabelAudio() {
    const char digit = S().audioCode[0];
    SetText(kAudio, kStringAudio[digit >= '0' && digit <= '3' ? digit - '0' : 3]);
}

void LabelUnit() { SetText(kUnit, Chapters() ? kStringChapter : IsClv() ? kStringTime : kStringFrame); }

void ShowSpeed() { SetDlgItemTextA(g.window, kSpeedLabel, SpeedEntry(S().speedIndex).label); }

// The player's position into the field flag 0x0004 selects.
void ShowPosition() {
    uint32_t position = 0, decimal = 0, track = 0;
    Cmd(kVdStatus);
    Cmd(kVdPosition, {}, &position);
    Cmd(kVdPositionDecimal, {}, &decimal);
    Cmd(kVdTrack, {}, &track);
    const uint32_t shown = Chapters() ? track : IsCav() ? position : IsClv() ? decimal : 0;
    const bool begin = S().state.flags & kVdPositionToStart;
    if (begin && Chapters())
        S().state.position = static_cast<int32_t>(shown);
    char format[8], text[16];
    std::snprintf(format, sizeof format, "%%0%dlu", 5);
    std::snprintf(text, sizeof text, format, static_cast<unsigned long>(shown));
    SetDlgItemTextA(g.window, begin ? kStartEdit : kEndEdit, text);
}

// The position into both fields, the start's first; the flags stay as they were.
void ShowBothPositions() {
    const uint16_t flags = S().state.flags;
    S().state.flags |= kVdPositionToStart;
    ShowPosition();
    S().state.flags &= static_cast<uint16_t>(~kVdPositionToStart);
    ShowPosition();
    S().state.flags = flags;
}

// The settings' state follows a command that may have moved the player out of mode 0.
void TakeAsPaused() {
    if (S().state.mode == kVdDoorOpen) {
        S().state.mode = kVdPaused;
        LabelEjectStart();
    }
}

void RestoreSavedAudio() {
    if (S().savedAudio == '0')
        return;
    if (FiveDigitValue(EditText(kStartEdit)) <= FiveDigitValue(EditText(kEndEdit)))
        Cmd(kVdSetAudio, std::string(1, S().savedAudio));
    S().savedAudio = '0';
    LabelAudio();
}

void PreparePlayer() {
    Cmd(kVdStatus);
    const VideodiscState& st = S().state;
    if (!(st.flags & kVdDiscPresent) && st.discType != kDiscUnknown && st.mode != kVdDoorOpen && st.mode != kVdParked)
        return;
    if (st.discType == kDiscUnknown) {
        Cmd(kVdSpinUp);
        Cmd(kVdStatus);
    }
    if (IsCav()) {
        Cmd(kVdSetUnit, "FR");
        Cmd(kVdSetSpeed);
    } else if (IsClv()) {
        Cmd(kVdSetUnit, "TM");
    }
    Cmd(kVdIndex, "1");
    Cmd(kVdSetAudio, "3");
    Cmd(kVdVideo, "1");
}

void InitialisePlayer() {
    CheckRadioButton(g.window, kBeginRadio, kEndRadio, kBeginRadio);
    Cmd(kVdSetUnit, std::string_view(S().templates.data() + kTplUnit, 2));
    LabelUnit();
    const bool stepping = IsCav() || (std::string_view(S().unitCode, 2) != "TM" && !IsClv());
    SetText(kStepLabel, stepping ? kStringStep : kStringScan);
    for (int id : {kPlayBack, kSpeedUp, kSpeedDown, kSpeedLabel})
        ShowWindow(GetDlgItem(g.window, id), stepping ? SW_SHOW : SW_HIDE);
    if (stepping)
        ShowSpeed();
    Cmd(kVdStatus);
    if (Playing())
        Cmd(IsClv() ? kVdPause : kVdPauseCav);
    Cmd(kVdSeek, std::string_view(TplStart(), 5));
}

void ResetTemplates() {
    Cmd(kVdStatus);
    ResetVideodiscTemplates(S());
    Cmd(kVdIndex, "0");
    S().audioCode[0] = S().templates[5];
    S().speedIndex = static_cast<uint16_t>(SpeedIndexOf(std::string_view(S().templates.data(), 3)));
    std::memcpy(S().speedCode, SpeedEntry(S().speedIndex).code, 3);
}

void FillFields() {
    if (S().state.flags & kVdFromAction) {
        const std::string unit = UnitCode(S().end);
        S().templates[kTplUnit] = unit[0];
        S().templates[kTplUnit + 1] = unit[1];
        const std::string start(StartFrameDigits(S().start)), end(EndFrameDigits(S().end));
        SetDlgItemTextA(g.window, kStartEdit, start.c_str());
        SetDlgItemTextA(g.window, kEndEdit, end.c_str());
        std::memcpy(TplStart(), FiveDigits(FiveDigitValue(start)).c_str(), 5);
        std::memcpy(TplEnd(), FiveDigits(FiveDigitValue(end)).c_str(), 5);
        const std::string_view text = CommandText(S().start);
        if (text.size() >= 6) {
            std::memcpy(S().templates.data(), text.data(), 3);
            S().templates[5] = text[5];
        }
    } else {
        S().templates[kTplUnit] = 'F';
        S().templates[kTplUnit + 1] = 'R';
        ShowBothPositions();
        CheckRadioButton(g.window, kBeginRadio, kEndRadio,
                         S().state.flags & kVdPositionToStart ? kBeginRadio : kEndRadio);
        const std::string start = EditText(kStartEdit);
        if (!start.empty()) {
            S().state.position = static_cast<int32_t>(FiveDigitValue(start));
            std::memcpy(TplStart(), FiveDigits(FiveDigitValue(start)).c_str(), 5);
            std::memcpy(TplEnd(), FiveDigits(FiveDigitValue(start)).c_str(), 5);
        }
    }
    PreparePlayer();
}

// ---- the live video viewer ----

RECT CentredHalfCard() {
    const RECT card = CardAreaInWindow(g.card);
    return CentredOnCard(g.card, (card.right - card.left) / 2, (card.bottom - card.top) / 2);
}

void PlaceViewer() {
    RECT r = g.viewerRect;
    InflateRect(&r, -1, -1);
    MoveWindow(g.viewer, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void DrawBand() {
    HDC dc = GetDC(g.card);
    RECT r = g.viewerRect;
    InflateRect(&r, 2, 2);
    const int oldRop = SetROP2(dc, R2_NOT);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SetROP2(dc, oldRop);
    ReleaseDC(g.card, dc);
}

// Inside, the viewer moves.
HCURSOR CursorOf(int handle) { return handle == 9 ? LoadCursorA(nullptr, IDC_SIZEALL) : HandleCursor(handle); }

// The card window's hook while the viewer's rectangle may be dragged.
int ViewerHook(unsigned message, HWND__*, int x, int y) {
    if (!g.s || !(S().state.flags & kVdViewerTracked))
        return 0;
    switch (message) {
    case WM_LBUTTONDOWN:
        // The press on the viewer comes again, posted from the live video: the band is drawn once.
        if (g.dragging)
            return 1;
        g.handle = HitTestHandle(PaintRectOf(g.viewerRect), x, y);
        if (!g.handle)
            return 0;
        ShowWindow(g.viewer, SW_HIDE);
        SetCapture(g.card);
        g.dragging = true;
        g.last = {x, y};
        DrawBand();
        return 1;
    case WM_MOUSEMOVE:
        if (!g.dragging) {
            SetCursor(CursorOf(HitTestHandle(PaintRectOf(g.viewerRect), x, y)));
            return 0;
        }
        DrawBand();
        {
            const PaintRect r = ResizeRectByHandle(PaintRectOf(g.viewerRect), g.handle, x - g.last.x, y - g.last.y);
            g.viewerRect = {r.left, r.top, r.right, r.bottom};
        }
        g.last = {x, y};
        DrawBand();
        return 1;
    case WM_LBUTTONUP:
        if (!g.dragging)
            return 0;
        DrawBand();
        ReleaseCapture();
        g.dragging = false;
        PlaceViewer();
        SetVideoClickRect(g.viewerRect);
        ShowWindow(g.viewer, SW_SHOW);
        return 1;
    default: return 0;
    }
}

void ViewerOn() {
    const Rect32& r = S().rect;
    g.viewerRect = r.right > r.left && r.bottom > r.top ? RECT{r.left, r.top, r.right, r.bottom} : CentredHalfCard();
    SetVideoClickRect(g.viewerRect);
    PlaceViewer();
    ShowWindow(g.viewer, SW_SHOW);
    S().state.flags |= kVdViewerTracked;
    CheckDlgButton(g.window, kViewer, BST_CHECKED);
}

// The tracked rectangle into the settings; the card is redrawn where the viewer was.
void TakeViewerRect() {
    if (!(S().state.flags & kVdViewerTracked))
        return;
    S().rect = {g.viewerRect.left, g.viewerRect.top, g.viewerRect.right, g.viewerRect.bottom};
    InvalidateRect(g.card, nullptr, FALSE);
    S().state.flags &= static_cast<uint16_t>(~kVdViewerTracked);
}

void ViewerOff() {
    CheckDlgButton(g.window, kViewer, BST_UNCHECKED);
    ShowWindow(g.viewer, SW_HIDE);
    SetVideoClickRect({});
    TakeViewerRect();
}

void PrepareViewer() {
    if (S().state.flags & kVdModeless) {
        const RECT half = CentredHalfCard();
        g.viewer = CreateConnectedCaptureWindow("LMCapture", WS_CHILD, half, g.card, kViewerId);
        S().viewer = reinterpret_cast<uintptr_t>(g.viewer);
        SetMouseToParentWindow(g.viewer);
    }
    EnableWindow(GetDlgItem(g.window, kViewer), g.viewer != nullptr);
    const Rect32& r = S().rect;
    if (g.viewer && S().state.flags & kVdFromAction && r.right > r.left && r.bottom > r.top)
        ViewerOn();
}

void PlaceDialog() {
    if (!(S().state.flags & kVdModeless)) {
        CenterWindowOnScreen(g.window);
        return;
    }
    RECT card{}, self{};
    GetWindowRect(g.card, &card);
    GetWindowRect(g.window, &self);
    const int w = self.right - self.left, h = self.bottom - self.top;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    int x = card.right + 4 + w <= screenW ? card.right + 4 : std::max(0, static_cast<int>(card.left) - 4 - w);
    int y = std::clamp(static_cast<int>(card.top), 0, std::max(0, screenH - h));
    SetWindowPos(g.window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- commands ----

void ChangeSpeed(int step) {
    const int index = static_cast<int>(S().speedIndex) + step;
    if (index < 0 || index >= kSpeedCount)
        return;
    S().speedIndex = static_cast<uint16_t>(index);
    const VideodiscSpeed& speed = SpeedEntry(index);
    std::memcpy(S().speedCode, speed.code, 3);
    Cmd(kVdSetSpeed, speed.code);
    Cmd(kVdStatus);
    const bool reverse = S().state.flags & kVdReverse;
    if (Playing()) {
        if (index != kNormalSpeedIndex || reverse)
            Cmd(kVdPlayAtSpeed, reverse ? "R" : "F");
        else
            Cmd(kVdPlayTo);
    }
    SetDlgItemTextA(g.window, kSpeedLabel, speed.label);
    Cmd(kVdSetAudio, index == kNormalSpeedIndex && !reverse ? "3" : "0");
    LabelAudio();
}

void PlayForward() {
    Cmd(kVdStatus);
    const uint16_t mode = S().state.mode;
    if (mode >= kVdNotReady && mode != kVdStopped && mode != kVdPaused && !(S().state.flags & kVdReverse))
        return;
    if (mode < kVdPlaying)
        Cmd(kVdOpen);
    S().state.flags &= static_cast<uint16_t>(~kVdReverse);
    const bool slow = S().speedIndex != kNormalSpeedIndex;
    if (IsCav() && slow) {
        Cmd(kVdSetSpeed, SpeedEntry(S().speedIndex).code);
        Cmd(kVdPlayAtSpeed, "F");
    } else {
        Cmd(kVdPlayTo);
    }
    Cmd(kVdSetAudio, IsCav() && slow ? "0" : "3");
    LabelAudio();
    LabelEjectStart();
}

void PlayBackward() {
    Cmd(kVdStatus);
    if (S().state.mode < kVdPlaying)
        Cmd(kVdOpen);
    if (!IsCav() || (Playing() && S().state.flags & kVdReverse))
        return;
    if (Cmd(kVdPlayAtSpeed, "R") == 0) {
        S().savedAudio = S().audioCode[0];
        Cmd(kVdSetAudio, "0");
        LabelAudio();
    }
    LabelEjectStart();
}

void StepOrScan(char direction) {
    Cmd(IsCav() ? kVdStep : kVdScan, std::string(1, direction));
    TakeAsPaused();
    ShowPosition();
}

void CycleAudio() {
    if (S().speedIndex != kNormalSpeedIndex || S().state.flags & kVdReverse)
        return;
    const char next = S().audioCode[0] >= '3' ? '0' : static_cast<char>(S().audioCode[0] + 1);
    Cmd(kVdSetAudio, std::string(1, next));
    LabelAudio();
}

void NextUnit() {
    Cmd(kVdStatus);
    const bool chapters = std::string_view(S().unitCode, 2) == "CH";
    const char* next = !chapters ? "CH" : IsCav() ? "FR" : "TM";
    if (Cmd(kVdSetUnit, next) == 0) {
        LabelUnit();
        ShowBothPositions();
    } else {
        LabelUnit();
    }
}

void Pause() {
    const uint16_t before = S().state.mode;
    Cmd(IsClv() ? kVdPause : kVdPauseCav);
    if (S().state.mode != before)
        LabelEjectStart();
    ShowPosition();
}

void EjectOrStart() {
    if (S().state.mode > kVdDoorOpen) {
        Cmd(kVdEject);
        LabelEjectStart();
        return;
    }
    PreparePlayer();
    S().state.flags |= kVdChapterFormat;
    ResetTemplates();
    InitialisePlayer();
    LabelEjectStart();
}

void TryIt() {
    const uint32_t start = FiveDigitValue(EditText(kStartEdit)), end = FiveDigitValue(EditText(kEndEdit));
    const std::string speed(S().templates.data(), 3);
    const VideodiscCommandText startText = MakeStartCommand(SpeedEntry(S().speedIndex).code, S().audioCode[0], start);
    const VideodiscCommandText endText = MakeEndCommand(start, end, std::string_view(S().unitCode, 2));
    uint16_t e = 0;
    if (!IsClv())
        e = Cmd(kVdSetSpeed, CommandText(startText));
    if (e == 0)
        e = Cmd(kVdSetAudio, std::string(1, S().audioCode[0]));
    if (e == 0)
        e = Cmd(kVdSeek, FiveDigits(start));
    if (e != 0)
        return;
    TakeAsPaused();
    if (start != end)
        Cmd(kVdPlayTo, CommandText(endText));
}

void Close(int result) {
    Cmd(IsClv() ? kVdPause : kVdPauseCav);
    if (g.viewer)
        TakeViewerRect();
    if (result == IDOK) {
        const uint32_t start = FiveDigitValue(EditText(kStartEdit)), end = FiveDigitValue(EditText(kEndEdit));
        // Without a viewer the box could not be changed: the action keeps its live video.
        if (g.viewer)
            S().liveVideo = IsDlgButtonChecked(g.window, kViewer) == BST_CHECKED ? 1 : 0;
        S().start = MakeStartCommand(SpeedEntry(S().speedIndex).code, S().audioCode[0], start);
        S().end = MakeEndCommand(start, end, std::string_view(S().unitCode, 2));
    }
    Cmd(kVdIndex, "0");
    Cmd(kVdNothing);
    KillTimer(g.window, kSeekTimer);
    S().dialogResult = static_cast<uint16_t>(result);
    if (S().state.flags & kVdModeless)
        DestroyWindow(g.window);
    else
        EndDialog(g.window, result);
}

// However the dialog goes (OK, Cancel, a failed start, or with its card window), it leaves no
// viewer, hook or mouse redirection behind.
void OnDestroy() {
    KillTimer(g.window, kSeekTimer);
    SetMouseToParentWindow(nullptr);
    if (g.viewer && IsWindow(g.viewer)) {
        SendMessageA(g.viewer, WM_CAP_DRIVER_DISCONNECT, 0, 0);
        DestroyWindow(g.viewer);
        SetVideoClickRect({});  // the viewer took the presses there; the card takes them again
    }
    g.viewer = nullptr;
    if (g.hookPushed)
        PopMouseHook();
    g.hookPushed = false;
    g.s = nullptr;
}

void OnTimer() {
    const VideodiscState before = S().state;
    if (Cmd(kVdStatus) != 0) {
        S().state = before;
        return;
    }
    const uint32_t now = GetMilliseconds();
    const bool begin = S().state.flags & kVdPositionToStart;
    const HWND focus = GetFocus();
    const int focused = focus == GetDlgItem(g.window, kStartEdit) ? kStartEdit
                        : focus == GetDlgItem(g.window, kEndEdit) ? kEndEdit : 0;
    if (now - S().lastEditTick >= kEditSettleMs && EditText(begin ? kStartEdit : kEndEdit).size() == 5 && !Playing() &&
        !(S().state.flags & kVdSettingFocus) && focused) {
        const uint32_t value = FiveDigitValue(EditText(focused));
        if (Cmd(kVdSeek, FiveDigits(value)) == 0) {
            TakeAsPaused();
            if (IsClv())
                Cmd(kVdPlayTo);
        }
        if (value == 0)
            SetDlgItemTextA(g.window, focused, FiveDigits(0).c_str());
        S().lastEditTick = now;
    }
    const bool labelledEject = S().state.flags & kVdModeAboveZero;
    if (now - g.lastRelabel >= kRelabelMs && labelledEject != (S().state.mode > kVdDoorOpen))
        LabelEjectStart();
}

void FocusField(int edit) {
    S().state.flags |= kVdSettingFocus;
    SetFocus(GetDlgItem(g.window, edit));
    SendDlgItemMessageA(g.window, edit, EM_SETSEL, 0, -1);
    S().state.flags &= static_cast<uint16_t>(~kVdSettingFocus);
}

void OnEdit(int id, int code) {
    S().lastEditTick = GetMilliseconds();
    if (code == EN_SETFOCUS) {
        if (S().state.flags & kVdSettingFocus)
            return;
        CheckRadioButton(g.window, kBeginRadio, kEndRadio, id == kStartEdit ? kBeginRadio : kEndRadio);
        S().state.flags = static_cast<uint16_t>(id == kStartEdit ? S().state.flags | kVdPositionToStart
                                                                  : S().state.flags & ~kVdPositionToStart);
    } else if (code == EN_KILLFOCUS && SendDlgItemMessageA(g.window, id, EM_GETMODIFY, 0, 0)) {
        SetDlgItemTextA(g.window, id, FiveDigits(FiveDigitValue(EditText(id))).c_str());
        SendDlgItemMessageA(g.window, id, EM_SETMODIFY, FALSE, 0);
    }
}

bool OnInit(HWND window, VideodiscSettings* settings) {
    // The window the dialog was asked for: a card window inside a page is not the dialog's
    // parent, which is the page's frame, and the viewer stands in the card's coordinates.
    const HWND card = g.card;
    g = Dialog{};
    g.s = settings;
    g.window = window;
    g.card = card ? card : GetParent(window);
    if (!EnsureVideodiscReady(S()))
        return false;
    if (S().state.flags & kVdModeless)
        g.hookPushed = PushMouseHook(ViewerHook) != 0;
    if (!SetTimer(window, kSeekTimer, kSeekTimerMs, nullptr)) {
        ShowAlertOn(window, kAlertVideodiscFailed);
        return false;
    }
    WaitCursor busy;
    Cmd(kVdStatus);
    LabelEjectStart();
    FillFields();
    SendDlgItemMessageA(window, kStartEdit, EM_LIMITTEXT, 5, 0);
    SendDlgItemMessageA(window, kEndEdit, EM_LIMITTEXT, 5, 0);
    InitialisePlayer();
    if (!(S().state.flags & kVdFromAction))
        ResetTemplates();
    LabelAudio();
    ShowSpeed();
    PrepareViewer();
    PlaceDialog();
    SetFocus(GetDlgItem(window, IDOK));
    return true;
}

void OnCommand(int id, int code) {
    if (id != kPlayBack)
        RestoreSavedAudio();
    switch (id) {
    case IDOK:
    case IDCANCEL: Close(id); break;
    case kTrySegment: TryIt(); break;
    case kUnit: NextUnit(); break;
    case kStartEdit:
    case kEndEdit: OnEdit(id, code); break;
    case kBeginRadio:
    case kEndRadio:
        S().state.flags = static_cast<uint16_t>(id == kBeginRadio ? S().state.flags | kVdPositionToStart
                                                                   : S().state.flags & ~kVdPositionToStart);
        FocusField(id == kBeginRadio ? kStartEdit : kEndEdit);
        break;
    case kAudio: CycleAudio(); break;
    case kSpeedUp: ChangeSpeed(1); break;
    case kSpeedDown: ChangeSpeed(-1); break;
    case kStepForward: StepOrScan('F'); break;
    case kStepBack: StepOrScan('R'); break;
    case kPlayForward: PlayForward(); break;
    case kPlayBack: PlayBackward(); break;
    case kDisplay: Cmd(kVdIndex, S().indexCode[0] != '1' ? "1" : "0"); break;
    case kPause: Pause(); break;
    case kEjectStart: EjectOrStart(); break;
    case kViewer:
        if (IsDlgButtonChecked(g.window, kViewer) == BST_CHECKED)
            ViewerOn();
        else
            ViewerOff();
        break;
    default: break;
    }
}

INT_PTR CALLBACK VideodiscDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (!OnInit(window, reinterpret_cast<VideodiscSettings*>(lParam))) {
            g.s->dialogResult = IDCANCEL;
            if (g.s->state.flags & kVdModeless)
                DestroyWindow(window);
            else
                EndDialog(window, IDCANCEL);
        }
        return FALSE;
    case WM_COMMAND:
        if (g.s)
            OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_TIMER:
        if (g.s && wParam == kSeekTimer)
            OnTimer();
        return TRUE;
    case WM_DESTROY:
        if (g.window == window)
            OnDestroy();
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

VideodiscSettings* GetVideodiscDialogSettings() { return g.s; }

bool RunVideodiscDialog(HWND parent, VideodiscCommandText& start, VideodiscCommandText& end, Rect32& rect,
                        bool useAction, uint32_t modeFlags, uint16_t& liveVideo) {
    VideodiscCommandText startCopy = start, endCopy = end;
    VideodiscSettings s = BuildVideodiscSettings(startCopy, endCopy, rect, liveVideo, useAction, VideodiscPlayerState());
    s.dialogResult = IDCANCEL;
    g.card = parent;
    if (modeFlags & kVdDialogModeless) {
        s.state.flags |= kVdModeless;
        RunModelessLoop(ResCreateDialogParam(parent, VideodiscDialogProc, "LaserPly", reinterpret_cast<LPARAM>(&s)));
    } else {
        ResDialogBoxParam(parent, VideodiscDialogProc, "LaserPly", reinterpret_cast<LPARAM>(&s));
    }
    g.s = nullptr;
    s.state.flags &= static_cast<uint16_t>(~(kVdModeless | kVdViewerTracked | kVdFromAction));
    SetVideodiscPlayerState(s.state);
    if (s.dialogResult != IDOK)
        return false;
    liveVideo = s.liveVideo;
    rect = s.rect;
    start = s.start;
    end = s.end;
    return true;
}
