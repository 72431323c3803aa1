// The sound dialog "TAPE": the deck picture with its four zones (record, stop, play, clear),
// the stored sounds of a source, the recorder, the volume and the name; OK stores the sound
// into the pending request (or a separate file).
//
// The pending request owns its data. OK replaces what an earlier OK left there; Cancel frees
// only what this run made and leaves an earlier OK's request as it was.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "actions/NbaChooser.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/files/FileTypes.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/RecorderRules.h"
#include "media/SoundRecorder.h"
#include "media/sounds/SoundResources.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"

namespace {

enum : int {
    kDeck = 50, kList = 51, kStoreIn = 52, kStoreLabel = 53, kVolume = 54, kMeter = 55, kName = 56,
    kSamples = 57, kInUse = 58, kDisk = 59, kBackgroundBox = 60, kPrompt = 61, kNameLabel = 62,
};
enum Zone : int { kZoneRecord = 0, kZoneStop = 1, kZonePlay = 2, kZoneClear = 3 };

constexpr uint32_t kStringStack = 2150, kStringSeparateFile = 2151, kStringChooseSound = 2406, kStringSoundFiles = 4150;
constexpr uint32_t kStringRecording = 4151;  // then 4152, 4153
constexpr uint32_t kAlertNameSound = 2202, kAlertReplaceSound = 2209, kAlertNoSounds = 2234;
constexpr uint16_t kFlagBackground = 2, kFlagMidi = 4;
constexpr int kDeckX = 4;
constexpr int kDeckY = 8;

// The open dialog's working state, kept with it.
struct Deck {
    HWND dialog = nullptr;
    HBITMAP bitmap = nullptr;
    int width = 0;   // half the bitmap: the picture, then its mask
    int height = 0;
    AudioDeckChoice* choice = nullptr;
    HWND focusBefore = nullptr;  // the control that had the keys before a recording
    bool holdsKeys = false;      // the dialog itself has the keys while it records
};

ResRequest g_pending{};

bool PendingHolds(const ResRequest& r) { return r.data != 0 || r.id != 0; }

void DropPending() {
    DisposeHandle(g_pending.data);
    g_pending = {};
}

std::string ItemText(HWND dialog, int id) {
    char text[kRecorderNameChars + 2] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void SetName(const std::string& name) {
    RecorderSound& s = CurrentRecorderSound();
    CopyPathText(name, s.name, sizeof s.name);
}

void PascalName(const char* name, uint8_t* out) {
    std::memset(out, 0, kResNameSize);
    const size_t n = std::min<size_t>(std::strlen(name), kResNameSize - 1);
    out[0] = static_cast<uint8_t>(n);
    std::memcpy(out + 1, name, n);
}

std::string ResourceName(uint32_t type, uint16_t id) {
    uint8_t name[kResNameSize] = {};
    GetResName(type, id, name);
    return std::string(reinterpret_cast<const char*>(name + 1), std::min<size_t>(name[0], kResNameSize - 1));
}

// A copy of the data; 0 when there is none or no memory for it (never the data itself, which
// stays its owner's).
Handle CopyOf(Handle data) {
    return data && HandToHand(&data) == 0 ? data : 0;
}

// A copy of a resource of the current file; 0 when there is none.
Handle CopyOfResource(uint32_t type, uint16_t id) { return CopyOf(GetResource(type, id)); }

// Runs f with the stack's own file current.
template <typename F>
auto InStackFile(F f) {
    const int32_t previous = CurrentResFile();
    if (GetStackResFile())
        UseResFile(GetStackResFile());
    auto result = f();
    UseResFile(previous);
    return result;
}

// The sound element of the deck's Play locks the data it plays until it is stopped: whatever
// frees or replaces the data stops the sounds first.
void DropSoundData() {
    if (CurrentRecorderSound().data)
        StopAllSounds(1);
    ClearRecorderSoundData();
}

// Makes the source's file current: the samples stack, or the stack last chosen on disk, opened
// again from where it was found; false when that stack does not open.
bool UseSource(int source) {
    if (source == kSourceDisk)
        return UseDiskStack(kSlotMediaFolder2);
    UseSamplesStack(source);
    return true;
}

// Counted in the stack's own file; the source's stack stays open (opened again, missing samples
// would repeat their alert at each recording).
void ProposeName(Deck& d) {
    std::vector<std::string> names = InStackFile([] {
        std::vector<std::string> all;
        if (!GetStackResFile())
            return all;
        const int count = CountResources(kSnd);
        for (int i = 1; i <= count; ++i)
            all.push_back(ResourceName(kSnd, GetIndResourceId(kSnd, i)));
        return all;
    });
    SetName(NextNewSoundName(names));
    SetDlgItemTextA(d.dialog, kName, CurrentRecorderSound().name);
    SendDlgItemMessageA(d.dialog, kName, EM_SETSEL, 0, -1);
}

// Clears the current sound; a new name is proposed when asked, or when the field still shows
// the sound's own name.
void ClearSound(Deck& d, bool all) {
    RecorderSound& s = CurrentRecorderSound();
    const bool nameShown = ItemText(d.dialog, kName) == s.name;
    DropSoundData();
    s.isFile = 0;
    if (all || nameShown)
        ProposeName(d);
}

bool CanStore() {
    const RecorderSound& s = CurrentRecorderSound();
    return s.data != 0 || s.isFile != 0 || s.id != 0;
}

void RedrawDeck(Deck& d) {
    InvalidateRect(GetDlgItem(d.dialog, kDeck), nullptr, FALSE);
    UpdateWindow(GetDlgItem(d.dialog, kDeck));
}

void UpdateOk(Deck& d) {
    EnableWindow(GetDlgItem(d.dialog, IDOK), CanStore());
    RedrawDeck(d);
}

void DrawRecordingBox(Deck& d, HDC dc, int left, int top) {
    RECT box{left + 14, top + 14, left + 162, top + 74};
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(d.dialog, WM_GETFONT, 0, 0)));
    for (int line = 0; line < 3; ++line) {
        const std::string text = ResText(kStringRecording + line);
        TextOutA(dc, box.left + 5, box.top + 4 + 16 * line, text.c_str(), int(text.size()));
    }
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

// The deck from its two halves, drawn transparently; the play zone checkered while OK is off.
void DrawDeck(Deck& d, HDC dc, const RECT& area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    if (d.bitmap) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, d.bitmap);
        BitBlt(dc, 0, 0, d.width, d.height, source, 0, 0, SRCINVERT);
        BitBlt(dc, 0, 0, d.width, d.height, source, d.width, 0, SRCAND);
        BitBlt(dc, 0, 0, d.width, d.height, source, 0, 0, SRCINVERT);
        SelectObject(source, old);
        DeleteDC(source);
    }
    if (!IsWindowEnabled(GetDlgItem(d.dialog, IDOK))) {
        static const WORD kRows[8] = {0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33, 0xCC, 0x33};
        HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kRows);
        HBRUSH brush = CreatePatternBrush(pattern);
        HGDIOBJ old = SelectObject(dc, brush);
        const int zone = (area.right - area.left) / 4;
        PatBlt(dc, area.left + zone * kZonePlay, area.top, zone, area.bottom - area.top, PATINVERT);
        SelectObject(dc, old);
        DeleteObject(brush);
        DeleteObject(pattern);
    }
    if (IsRecording())
        DrawRecordingBox(d, dc, 0, 0);
}

void DrawMeter(Deck& d, int level) {
    HWND meter = GetDlgItem(d.dialog, kMeter);
    RECT client{};
    GetClientRect(meter, &client);
    const int bar = MeterBarHeight(level, client.bottom);
    HDC dc = GetDC(meter);
    RECT white = client;
    white.bottom = client.bottom - bar;
    FillRect(dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT green = client;
    green.top = white.bottom;
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &green, brush);
    DeleteObject(brush);
    ReleaseDC(meter, dc);
}

// The list: a file's name alone, else the 'Snd ' then the 'Midi' resources of the current file.
int CountOf(uint32_t type) { return GetStackResFile() || CurrentResFile() ? CountResources(type) : 0; }

void FillList(Deck& d) {
    HWND list = GetDlgItem(d.dialog, kList);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const RecorderSound& s = CurrentRecorderSound();
    if (s.isFile) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.name));
        return;
    }
    SetResLoad(false);
    for (uint32_t type : {kSnd, kMidi}) {
        const int count = CountOf(type);
        for (int i = 1; i <= count; ++i)
            SendMessageA(list, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(ResourceName(type, GetIndResourceId(type, i)).c_str()));
    }
    SetResLoad(true);
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) > 0)
        return;
    if (PendingHolds(g_pending) && g_pending.name[0]) {
        const std::string name(reinterpret_cast<const char*>(g_pending.name + 1), g_pending.name[0]);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    } else if (s.source != kSourceDisk) {
        ShowAlertOn(d.dialog, kAlertNoSounds);
    }
}

// The recorder's sound file imported as the current sound (its type from its extension).
bool ImportFileSound() {
    RecorderSound& s = CurrentRecorderSound();
    DropSoundData();
    char name[kFileSpecNameSize] = {};
    GetPathFileName(s.file, name, sizeof name);
    const std::string lower = [&] {
        std::string n = name;
        std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        return n;
    }();
    SetRecorderSoundType(lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".mid") == 0 ? kMidi : kSnd);
    // The author chose the file on this machine: it is looked for here, not beside the stack.
    char found[kFileSpecPathSize] = {};
    s.data = ImportSoundPath(s.file, found, sizeof found, true, true);
    if (found[0])
        CopyPathText(found, s.file, sizeof s.file);
    s.isFile = s.data ? 1 : 0;
    SetName(name);
    return s.data != 0;
}

// A list entry (1-based) made the current sound.
void ChooseEntry(Deck& d, int position) {
    RecorderSound& s = CurrentRecorderSound();
    if (!GetStackResFile() && s.source == kSourceInUse)
        return;
    DropSoundData();
    if (s.source == kSourceDisk && s.isFile) {
        ImportFileSound();
        return;
    }
    const int sounds = CountOf(kSnd);
    SetRecorderSoundType(position <= sounds ? kSnd : (CountOf(kMidi) > 0 ? kMidi : kSnd));
    const int index = s.type == kSnd ? position : position - sounds;
    s.id = GetIndResourceId(s.type, index);
    char text[256] = {};
    SendDlgItemMessageA(d.dialog, kList, LB_GETTEXT, WPARAM(position - 1), reinterpret_cast<LPARAM>(text));
    SetName(text);
    SetDlgItemTextA(d.dialog, kName, s.name);
    s.data = s.id ? CopyOfResource(s.type, s.id) : 0;
    if (!s.data && PendingHolds(g_pending) && !GetStackResFile() && g_pending.data) {
        s.data = CopyOf(g_pending.data);
        SetRecorderSoundType(g_pending.type);
        s.id = g_pending.id;
    }
}

void ChooseSource(Deck& d, int newSource) {
    RecorderSound& s = CurrentRecorderSound();
    std::string filter = ResText(kStringSoundFiles);
    filter += '\0';
    filter += "*.wav;*.aif;*.au;*.mid";
    filter += '\0';
    const FileRequest request{kStringChooseSound, filter.c_str(), 0, 0, kSlotMediaFolder2, 0};
    int source = s.source;
    if (SetMediaSourceRadio(&source, newSource, kSamples, request, 0, d.dialog)) {
        s.source = uint16_t(source);
        // The disk's choice is remembered in the sound slot for the next choice.
        const FileSpec* chosen = GetFileSpec(kSlotMediaFolder2);
        if (source == kSourceDisk && chosen && IsSoundFileType(NameOf(*chosen))) {
            CopyPathText(PathOf(*chosen), s.file, sizeof s.file);
            ImportFileSound();
            FillList(d);
            SendDlgItemMessageA(d.dialog, kList, LB_SETCURSEL, 0, 0);
            SetDlgItemTextA(d.dialog, kName, s.name);
        } else {
            s.isFile = 0;
            FillList(d);
        }
    }
    MSG msg;
    while (PeekMessageA(&msg, d.dialog, WM_LBUTTONUP, WM_LBUTTONDBLCLK, PM_REMOVE)) {
    }
    UpdateOk(d);
}

void GiveBackFocus(Deck& d) {
    d.holdsKeys = false;
    if (d.focusBefore && IsChild(d.dialog, d.focusBefore))
        SetFocus(d.focusBefore);
    d.focusBefore = nullptr;
}

void Record(Deck& d) {
    StopAllSounds(1);
    ClearSound(d, false);
    SendDlgItemMessageA(d.dialog, kList, LB_SETCURSEL, WPARAM(-1), 0);
    UpdateOk(d);
    const int quality = RecordingQualityFromKeys();
    {
        HWND deck = GetDlgItem(d.dialog, kDeck);
        HDC dc = GetDC(deck);
        DrawRecordingBox(d, dc, 0, 0);
        ReleaseDC(deck, dc);
    }
    // The dialog takes the keys while it records, so that a key stops the recording rather
    // than typing into the name; taken first, as the control's losing them is a command,
    // which would stop it.
    d.focusBefore = GetFocus();
    d.holdsKeys = true;
    SetFocus(d.dialog);
    if (!StartRecording(d.dialog, quality))
        GiveBackFocus(d);
    RedrawDeck(d);
}

void ClickDeck(Deck& d, POINT at) {
    const RECT deck = DialogItemRect(d.dialog, kDeck);
    if (!PtInRect(&deck, at) || deck.right <= deck.left)
        return;
    RecorderSound& s = CurrentRecorderSound();
    switch ((at.x - deck.left) * 4 / (deck.right - deck.left)) {
    case kZoneRecord:
        Record(d);
        break;
    case kZoneStop:
        StopAllSounds(1);
        break;
    case kZonePlay:
        if (IsWindowEnabled(GetDlgItem(d.dialog, IDOK)) && s.data)
            MediaPlaySound(s.data, s.volume, s.flags | (s.type == kMidi ? kSoundMidi : 0));
        break;
    case kZoneClear:
        StopAllSounds(1);
        ClearSound(d, true);
        SendDlgItemMessageA(d.dialog, kList, LB_SETCURSEL, WPARAM(-1), 0);
        UpdateOk(d);
        break;
    default:
        break;
    }
}

void Scroll(Deck& d, WPARAM wParam) {
    HWND bar = GetDlgItem(d.dialog, kVolume);
    int position = GetScrollPos(bar, SB_CTL);
    switch (LOWORD(wParam)) {
    case SB_LINEUP: position -= 1; break;
    case SB_LINEDOWN: position += 1; break;
    case SB_PAGEUP: position -= 16; break;
    case SB_PAGEDOWN: position += 16; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: position = HIWORD(wParam); break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = 255; break;
    default: return;
    }
    position = std::clamp(position, 0, 255);
    RecorderSound& s = CurrentRecorderSound();
    if (255 - position != s.volume) {
        s.volume = int16_t(255 - position);
        SetScrollPos(bar, SB_CTL, position, TRUE);
        MediaSetSoundVolume(s.volume);
    }
}

// The deck keeps its place over the bitmap whatever the dialog font.
void LayOut(Deck& d) {
    HWND dialog = d.dialog;
    const RECT prompt = DialogItemRect(d.dialog, kPrompt);
    if (d.width > prompt.left) {
        const int grow = d.width - prompt.left;
        RECT box{};
        GetWindowRect(dialog, &box);
        SetWindowPos(dialog, nullptr, 0, 0, box.right - box.left + grow + 13, box.bottom - box.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        for (int id : {kPrompt, kList, kSamples, kInUse, kDisk, kNameLabel, kBackgroundBox}) {
            const RECT r = DialogItemRect(d.dialog, id);
            SetWindowPos(GetDlgItem(dialog, id), nullptr, r.left + grow + 10, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
    }
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    const int x4 = std::max<int>(1, units.right);
    const int y8 = std::max<int>(1, units.bottom);
    for (int id : {kDeck, kName, kVolume, kMeter}) {
        const RECT r = DialogItemRect(d.dialog, id);
        SetWindowPos(GetDlgItem(dialog, id), nullptr, r.left * 7 / x4 + kDeckX, r.top * 13 / y8 + kDeckY,
                     (r.right - r.left) * 7 / x4, (r.bottom - r.top) * 13 / y8, SWP_NOZORDER);
    }
}

void StartingSound(Deck& d) {
    RecorderSound& s = CurrentRecorderSound();
    int selection = -1;
    if (s.isFile) {
        s.source = kSourceDisk;
        const bool read = ImportFileSound();
        if (!read) {
            ShowAlertOn(d.dialog, kAlertUnreadableSound);
            ClearRecorderSoundData();
            s.isFile = 0;
        }
        // The file is the list's one entry, chosen, under its source's radio.
        CheckRadioRange(kSamples, s.source, d.dialog);
        FillList(d);
        if (read)
            SendDlgItemMessageA(d.dialog, kList, LB_SETCURSEL, 0, 0);
        return;
    }
    bool fromPending = false;
    if (s.id && GetStackResFile()) {
        const int index = InStackFile([&] { return GetStackResIndex(s.type, s.id); });
        if (index > 0) {
            selection = (s.type == kMidi ? InStackFile([] { return CountResources(kSnd); }) : 0) + index - 1;
            s.source = kSourceInUse;
        }
    } else if (s.id && PendingHolds(g_pending) && !GetStackResFile() && g_pending.data) {
        s.data = CopyOf(g_pending.data);
        s.id = g_pending.id;
        SetRecorderSoundType(g_pending.type);
        SetName(std::string(reinterpret_cast<const char*>(g_pending.name + 1), g_pending.name[0]));
        s.source = kSourceInUse;
        selection = 0;
        fromPending = true;
    }
    if (selection < 0 && s.source != kSourceInUse && !UseSource(s.source)) {
        s.source = kSourceSamples;  // the disk stack is gone
        UseSource(s.source);
    }
    if (s.source == kSourceInUse)
        CloseSamplesStacks();
    if (s.id && !s.data && !fromPending)
        s.data = InStackFile([&] { return CopyOfResource(s.type, s.id); });
    CheckRadioRange(kSamples, s.source, d.dialog);
    FillList(d);
    HWND list = GetDlgItem(d.dialog, kList);
    if (selection < 0 && s.source != kSourceInUse && SendMessageA(list, LB_GETCOUNT, 0, 0) > 0)
        selection = 0;
    if (selection >= 0) {
        SendMessageA(list, LB_SETCURSEL, WPARAM(selection), 0);
        if (!PendingHolds(g_pending) || !fromPending) {
            if (!s.data || s.source != kSourceInUse)
                ChooseEntry(d, selection + 1);
            else {
                char text[256] = {};
                SendMessageA(list, LB_GETTEXT, WPARAM(selection), reinterpret_cast<LPARAM>(text));
                SetName(text);
            }
        }
    }
}

BOOL Open(Deck& d, HWND dialog) {
    d.dialog = dialog;
    d.bitmap = static_cast<HBITMAP>(LoadImageA(GetResModule() ? GetResModule() : GetAppInstance(), "TAPEDECK",
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!d.bitmap && GetResModule())
        d.bitmap = static_cast<HBITMAP>(LoadImageA(GetAppInstance(), "TAPEDECK", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (d.bitmap && GetObjectA(d.bitmap, sizeof info, &info)) {
        d.width = info.bmWidth / 2;
        d.height = info.bmHeight;
    }
    LayOut(d);
    for (uint32_t id : {kStringStack, kStringSeparateFile})
        SendDlgItemMessageA(dialog, kStoreIn, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ResText(id).c_str()));
    CenterWindowOnScreen(dialog);
    const bool advanced = IsAdvancedUser();
    for (int id : {kStoreIn, kStoreLabel, kBackgroundBox})
        ShowWindow(GetDlgItem(dialog, id), advanced ? SW_SHOW : SW_HIDE);

    RecorderSound& s = CurrentRecorderSound();
    StartingSound(d);
    SendDlgItemMessageA(dialog, kName, EM_LIMITTEXT, kRecorderNameChars, 0);
    SetDlgItemTextA(dialog, kName, s.name);
    SendDlgItemMessageA(dialog, kStoreIn, CB_SETCURSEL, s.isFile ? 1 : 0, 0);
    CheckDlgButton(dialog, kBackgroundBox, (s.flags & kFlagBackground) ? BST_CHECKED : BST_UNCHECKED);
    if (s.volume == 0)
        s.volume = 127;
    HWND bar = GetDlgItem(dialog, kVolume);
    SetScrollRange(bar, SB_CTL, 0, 255, FALSE);
    SetScrollPos(bar, SB_CTL, 255 - s.volume, TRUE);
    MediaSetSoundVolume(s.volume);
    EnableWindow(GetDlgItem(dialog, IDOK), CanStore());
    return TRUE;
}

bool SameData(Handle a, Handle b) { return a && b && EqualHandles(a, b) != 0; }

// OK's store into the stack: false when nothing may be stored yet (the dialog stays open).
bool StoreToStack(Deck& d) {
    RecorderSound& s = CurrentRecorderSound();
    if (!s.name[0]) {
        ShowAlertOn(d.dialog, kAlertNameSound);
        return false;
    }
    uint8_t name[kResNameSize];
    PascalName(s.name, name);
    s.storeFlags = 0;
    if (GetStackResFile() && s.data) {
        const int32_t previous = CurrentResFile();
        UseResFile(GetStackResFile());
        const uint16_t named = GetNamedResourceId(s.type, name);
        bool stop = false;
        if (named) {
            Handle stored = GetResource(s.type, named);
            if (SameData(stored, s.data)) {
                s.id = named;
                DisposeHandleAndClear(&s.data);
                stop = true;
            } else if (ShowAlertOn(d.dialog, kAlertReplaceSound) == 1) {
                s.storeFlags |= kResRequestReplace;
                s.id = named;
            } else {
                UseResFile(previous);
                return false;
            }
        } else if (s.id && SameData(GetResource(s.type, s.id), s.data)) {
            s.storeFlags |= kResRequestRenameOnly;
        }
        if (!stop && !s.id)
            s.id = NextUniqueResId(FindResFile(GetStackResFile()));
        UseResFile(previous);
        if (stop) {
            DropPending();
            s.isFile = 0;
            return true;
        }
    }
    DropPending();
    if (s.data) {
        g_pending.type = s.type;
        g_pending.id = s.id;
        g_pending.attributes = 0;
        g_pending.data = s.data;  // the request's own from now on
        g_pending.flags = s.storeFlags | kResRequestCarryOut;
        std::memcpy(g_pending.name, name, kResNameSize);
        s.data = 0;
    }
    s.isFile = 0;
    return true;
}

// OK's store into a file of its own: false when the save dialog was cancelled, or when the file
// could not be written (said so; the sound stays, to be stored elsewhere).
bool StoreToFile(Deck& d) {
    RecorderSound& s = CurrentRecorderSound();
    char current[kFileSpecNameSize] = {};
    GetPathFileName(s.file, current, sizeof current);
    if (s.isFile && std::strcmp(current, s.name) == 0)
        return true;
    if (!s.data)
        return true;
    const int mode = s.type == kMidi ? kSaveMidi : kSaveSound;
    char path[kFileSpecPathSize] = {};
    if (!AskSaveStackFile(d.dialog, mode, path, sizeof path))
        return false;
    bool written = false;
    bool told = false;  // the file's own failure was told, naming it
    if (s.type == kMidi) {
        written = ExportThroughPath(path, [&](const char* newPath) { return MediaExportMidiFile(s.data, newPath) == 0; });
        told = !written;
    } else if (Handle wave = ExportSoundToWave(s.data, nullptr)) {
        written = WriteHandleToPath(wave, path, GetHandleSize(wave)) == 0;
        told = !written;
        DisposeHandle(wave);
    }
    if (!written) {
        if (!told)
            ShowErrorBox(ResText(kStringSoundFileFailed).c_str());
        return false;
    }
    CopyPathText(path, s.file, sizeof s.file);
    SetFileSpecFromPath(kSlotMediaFolder2, path);  // remembered for the next choice
    s.isFile = 1;
    DropSoundData();
    return true;
}

void Close(Deck& d, int id) {
    HWND dialog = d.dialog;
    RecorderSound& s = CurrentRecorderSound();
    StopAllSounds(1);
    CloseSamplesStacks();
    int where = 0;
    if (IsAdvancedUser())
        where = int(SendDlgItemMessageA(dialog, kStoreIn, CB_GETCURSEL, 0, 0));
    if (id == IDOK) {
        SetName(ItemText(dialog, kName));
        if (IsDlgButtonChecked(dialog, kBackgroundBox) == BST_CHECKED)
            s.flags |= kFlagBackground;
        else
            s.flags &= uint16_t(~kFlagBackground);
        if (!(where == 1 ? StoreToFile(d) : StoreToStack(d))) {
            UseSource(s.source);  // the dialog stays, its list over its source's stack
            return;
        }
    }
    DisposeHandleAndClear(&s.data);  // the id goes back to the caller
    EndDialog(dialog, id == IDOK);
}

void Command(Deck& d, WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (IsRecording()) {
        KillTimer(d.dialog, kRecorderMeterTimer);
        StopAllSounds(1);
        SetRecorderSoundType(kSnd);
        SendDlgItemMessageA(d.dialog, kStoreIn, CB_SETCURSEL, 0, 0);
        return;
    }
    switch (id) {
    case IDOK:
    case IDCANCEL:
        Close(d, id);
        break;
    case kList:
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            const int selection = int(SendDlgItemMessageA(d.dialog, kList, LB_GETCURSEL, 0, 0));
            if (selection >= 0)
                ChooseEntry(d, selection + 1);
            UpdateOk(d);
        }
        break;
    case kSamples:
    case kInUse:
    case kDisk:
        if (HIWORD(wParam) == BN_CLICKED)
            ChooseSource(d, id - kSamples);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK DeckProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Deck* kept = KeptDialogState<Deck>(dialog, message, lParam);
    if (!kept)
        return FALSE;
    Deck& d = *kept;
    switch (message) {
    case WM_INITDIALOG:
        return Open(d, dialog);
    case WM_DRAWITEM:
        if (wParam == kDeck) {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            DrawDeck(d, item->hDC, item->rcItem);
            return TRUE;
        }
        return FALSE;
    case WM_SETFOCUS:
        return d.holdsKeys;  // the keys stay with the dialog, not its last control
    case WM_KEYDOWN:
        if (IsRecording()) {
            KillTimer(dialog, kRecorderMeterTimer);
            StopAllSounds(1);
        }
        return TRUE;
    case WM_COMMAND:
        Command(d, wParam);
        return TRUE;
    case WM_TIMER:
        if (wParam == kRecorderMeterTimer && IsRecording())
            DrawMeter(d, RecorderLevel());
        return TRUE;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, kVolume))
            Scroll(d, wParam);
        return TRUE;
    case WM_LBUTTONUP:
        if (IsRecording()) {
            KillTimer(dialog, kRecorderMeterTimer);
            StopAllSounds(1);
        } else {
            ClickDeck(d, POINT{short(LOWORD(lParam)), short(HIWORD(lParam))});
        }
        return TRUE;
    case MM_WIM_DATA:
        if (RecorderBufferDone(dialog, reinterpret_cast<WAVEHDR*>(lParam))) {
            DrawMeter(d, 0);
            UpdateOk(d);
            GiveBackFocus(d);
        }
        return TRUE;
    case WM_DESTROY:
        CloseRecording();
        if (d.bitmap)
            DeleteObject(d.bitmap);
        d.bitmap = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

int RunAudioDeckDialog(HWND window, AudioDeckChoice* choice) {
    const EditorGuard guard;
    if (!choice)
        return 0;
    RecorderSound& s = CurrentRecorderSound();
    ClearRecorderSoundData();
    s.id = choice->soundId;
    s.isFile = choice->isFile;
    CopyPathText(choice->isFile ? choice->file : "", s.file, sizeof s.file);
    s.flags = choice->typeFlags;
    s.volume = int16_t(choice->parameter);
    s.type = (s.flags & kFlagMidi) ? kMidi : kSnd;
    const ResRequest before = g_pending;
    Deck deck;
    deck.choice = choice;
    const INT_PTR result = ResDialogBoxParam(window, DeckProc, "TAPE", reinterpret_cast<LPARAM>(&deck));
    if (result != 1) {
        // Only this run's own data goes; an earlier OK's request stays as it was.
        if (g_pending.data != before.data)
            DisposeHandle(g_pending.data);
        g_pending = PendingHolds(before) ? before : ResRequest{};
        DropSoundData();  // a dialog destroyed with its page may have left it playing
        return 0;
    }
    choice->soundId = s.id;
    choice->isFile = uint16_t(s.isFile);
    CopyPathText(s.isFile ? s.file : "", choice->file, sizeof choice->file);
    choice->typeFlags = s.flags;
    choice->parameter = uint16_t(s.volume);
    return 1;
}

bool TakeAudioDeckRequest(ResRequest* request) {
    if (!request || !PendingHolds(g_pending))
        return false;
    *request = g_pending;
    g_pending = {};
    return true;
}
