// The slide show: dialog SLIDESHOW, then the cards with transition 28, timed or by key.
#include "host/dialogs/SlideShow.h"

#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "graphics/palette/AppPalette.h"
#include "host/dialogs/Printing.h"
#include "host/palettes/ToolPalette.h"
#include "host/player/CardNavigation.h"
#include "resources/print_ids.h"
#include "stack/cards/CardList.h"

namespace {

constexpr int kStartResult = 1;
constexpr int kFirstSpeed = 8;
constexpr int kNextSpeed = 4;
constexpr uint32_t kDefaultSeconds = 3;
constexpr int kSecondsChars = 4;

uint16_t CurrentCardId() { return GetCardId(GetCurrentCardRecord()); }

constexpr SlideShowMoves kNavigation{[](int t, int e, int s) { GoFirstCard({t, e, s}); },
                                     [](int t, int e, int s) { GoNextCard({t, e, s}); },
                                     [](uint16_t id, int t, int e, int s) { GoToCardId(id, {t, e, s}); },
                                     CurrentCardId, CountCards};
SlideShowMoves g_moves = kNavigation;

void FlushKeys(HWND window) {
    MSG msg;
    while (PeekMessageA(&msg, window, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
}

// The tool palette and the floating colours palette leave the screen for the show and come
// back as they were.
class PalettesAside {
public:
    PalettesAside() : tools_(Visible(GetToolPaletteWindow())), colors_(Visible(GetFcolorsWindow())) {
        if (tools_)
            HideToolPalette();
        if (colors_)
            ShowWindow(GetFcolorsWindow(), SW_HIDE);
    }
    ~PalettesAside() {
        if (tools_)
            ShowToolPalette();
        if (colors_ && GetFcolorsWindow())
            ShowWindow(GetFcolorsWindow(), SW_SHOWNA);
    }
    PalettesAside(const PalettesAside&) = delete;
    PalettesAside& operator=(const PalettesAside&) = delete;

private:
    static bool Visible(HWND window) { return window && IsWindowVisible(window); }
    bool tools_;
    bool colors_;
};

void EnableSeconds(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_SLIDE_SECONDS), IsDlgButtonChecked(dialog, IDC_SLIDE_TIMED) == BST_CHECKED);
}

INT_PTR CALLBACK SlideShowDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        SlideShowSettings s;
        GetSlideShowSettings(&s);
        const int display = s.stopAtEnd ? IDC_SLIDE_STOP_AT_END : IDC_SLIDE_CONTINUOUS;
        CheckRadioButton(dialog, IDC_SLIDE_CONTINUOUS, IDC_SLIDE_STOP_AT_END, display);
        SendDlgItemMessageA(dialog, IDC_SLIDE_SECONDS, EM_LIMITTEXT, kSecondsChars, 0);
        SetDlgItemInt(dialog, IDC_SLIDE_SECONDS, s.seconds, FALSE);
        CheckRadioButton(dialog, IDC_SLIDE_TIMED, IDC_SLIDE_BY_KEY, s.timed ? IDC_SLIDE_TIMED : IDC_SLIDE_BY_KEY);
        EnableSeconds(dialog);
        CenterWindowOnParent(dialog);
        SetFocus(GetDlgItem(dialog, display));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SLIDE_TIMED: case IDC_SLIDE_BY_KEY: EnableSeconds(dialog); return TRUE;
        case IDOK: {
            SlideShowSettings s;
            s.timed = IsDlgButtonChecked(dialog, IDC_SLIDE_TIMED) == BST_CHECKED;
            s.stopAtEnd = IsDlgButtonChecked(dialog, IDC_SLIDE_STOP_AT_END) == BST_CHECKED;
            BOOL valid = FALSE;
            const UINT seconds = GetDlgItemInt(dialog, IDC_SLIDE_SECONDS, &valid, FALSE);
            s.seconds = valid ? seconds : kDefaultSeconds;
            SetSlideShowSettings(s);
            EndDialog(dialog, kStartResult);
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

void SetSlideShowMoves(const SlideShowMoves* moves) { g_moves = moves ? *moves : kNavigation; }

int RunSlideShow(HWND window) {
    SlideShowSettings settings;
    if (!GetSlideShowSettings(&settings))
        return 0;
    PalettesAside aside;
    SetSlideShowSettings(SlideShowSettings{});
    FlushKeys(window);
    if (ResDialogBoxParam(window, SlideShowDlgProc, "SLIDESHOW", 0) != kStartResult)
        return 0;
    GetSlideShowSettings(&settings);
    const SlideShowMoves moves = g_moves;
    const uint16_t startId = moves.currentCardId();
    const int count = moves.countCards();
    moves.goFirst(kSlideTransition, 0, kFirstSpeed);
    bool escaped = false;
    for (int shown = 1;;) {
        const int key = settings.timed ? (WaitSecondsOrEscape(settings.seconds) ? VK_ESCAPE : kWaitTimedOut)
                                       : WaitForKeyOrTicks(0, true);
        if (key == VK_ESCAPE) {
            escaped = true;
            break;
        }
        if (key == kWaitQuit)
            break;
        if (settings.stopAtEnd && ++shown > count)
            break;
        moves.goNext(kSlideTransition, 0, kNextSpeed);
        FlushKeys(window);
    }
    FlushKeys(window);
    moves.goToId(startId, escaped ? kSlideEscTransition : kSlideTransition, 0, kFirstSpeed);
    return 1;
}
