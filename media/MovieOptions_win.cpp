// The movie options dialog "QT_OPTIONS": the movie plays in the preview area while the author
// sets how it plays; OK writes the choices into the global action block.
#include <windows.h>

#include "actions/ActionBlock.h"
#include "core/events/MessageLoops.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "media/MediaDialogs.h"
#include "media/support/MediaElement.h"
#include "media/support/MediaWindows.h"
#include "objects/ResizeTracking.h"
#include "quicktime/QtCalls.h"

namespace {

enum : int {
    kAnother = 50, kErase = 51, kOverObjects = 52, kUseController = 53, kLoop = 54, kFirstFrame = 55, kTryIt = 56,
    kPosition = 57, kPreview = 58, kBackgroundMusic = 59,
};
constexpr int kControllerHeight = 16;
constexpr int kOwnWindowControllerHeight = 26;

// The dialog as a target the element's window is a child of.
struct DialogTarget : Window {
    explicit DialogTarget(HWND dialog) { window = dialog; }
};

struct Options {
    MediaElement* element = nullptr;
    HWND dialog = nullptr;
    HWND card = nullptr;
    RECT saved{};
};

Options g_options;

bool SoundOnly() { return (g_options.element->state & kMediaStateSoundOnly) != 0; }
uint32_t ControllerFlag() {
    return (g_options.element->state & kMediaStateControllerType) ? kMediaFlagOwnController : kMediaFlagController;
}
bool Has(uint32_t flag) { return (g_options.element->flags & flag) != 0; }

void Tick(int id, bool on) { CheckDlgButton(g_options.dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }
void Enable(int id, bool on) { EnableWindow(GetDlgItem(g_options.dialog, id), on); }

// Sound-only movies can be placed and drawn only with their controller showing.
void EnableByController() {
    for (int id : {kPosition, kOverObjects, kFirstFrame})
        Enable(id, Has(kMediaFlagController));
}

void FitInPreview(RECT* rect) {
    HWND preview = GetDlgItem(g_options.dialog, kPreview);
    if (!preview)
        return;
    FitRectInWindow(rect, preview, true);
    RECT at{};
    GetWindowRect(preview, &at);
    MapWindowPoints(nullptr, g_options.dialog, reinterpret_cast<POINT*>(&at), 2);
    OffsetRect(rect, at.left, at.top);
}

void Refresh() {
    MediaElement& e = *g_options.element;
    InvalidateRect(GetDlgItem(g_options.dialog, kPreview), nullptr, TRUE);
    UpdateWindow(g_options.dialog);
    e.Update();
}

BOOL Open(HWND dialog) {
    MediaElement& e = *g_options.element;
    g_options.dialog = dialog;
    g_options.saved = e.rect;
    CenterWindowOnScreen(dialog);
    ShowWindow(dialog, SW_SHOW);
    if (GetDlgItem(dialog, kPreview)) {
        FitInPreview(&e.rect);
        DialogTarget target(dialog);
        e.Open(target, 1);
        e.Show(kMediaShow);
    }
    if (SoundOnly()) {
        EnableByController();
        Tick(kBackgroundMusic, Has(kMediaFlagBackground));
        ShowWindow(GetDlgItem(dialog, kBackgroundMusic), SW_SHOW);
        ShowWindow(GetDlgItem(dialog, kErase), SW_HIDE);
    } else {
        ShowWindow(GetDlgItem(dialog, kBackgroundMusic), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, kErase), SW_SHOW);
    }
    if (e.state & kMediaStateControllerType) {
        Enable(kErase, false);
        Enable(kLoop, false);
        Tick(kUseController, Has(kMediaFlagOwnController));
    } else {
        Tick(kErase, Has(kMediaFlagEraseWhenDone));
        Tick(kLoop, Has(kMediaFlagLoop));
        Tick(kUseController, Has(kMediaFlagController));
    }
    Tick(kOverObjects, Has(kMediaFlagOverObjects));
    Tick(kFirstFrame, Has(kMediaFlagFirstFrame));
    e.BringToTop();
    e.Update();
    return TRUE;
}

void ToggleController() {
    MediaElement& e = *g_options.element;
    const int extra = (e.state & kMediaStateOwnWindow) ? kOwnWindowControllerHeight : kControllerHeight;
    e.flags ^= ControllerFlag();
    const bool visible = Has(ControllerFlag());
    e.SetControllerVisible(visible ? 1 : 0);
    const int width = e.rect.right - e.rect.left;
    const int height = e.rect.bottom - e.rect.top;
    e.Resize(width, visible ? height + extra : height - extra);
    if (SoundOnly()) {
        FitInPreview(&e.rect);
        RECT& saved = g_options.saved;
        saved.bottom += visible ? extra : -extra;
        if (g_options.card)
            CentreRectInWindow(&saved, g_options.card);
        EnableByController();
    }
    Refresh();
}

// The movie Try It plays in the preview is idled here: the manager idles only the card's movies.
constexpr UINT_PTR kTryItTimer = 1;
constexpr UINT kTryItTick = 16;

void TryIt() {
    MediaElement& e = *g_options.element;
    if (e.Play() == 0 && dynamic_cast<QTElement*>(&e))
        SetTimer(g_options.dialog, kTryItTimer, kTryItTick, nullptr);
}

void IdleTryIt() {
    auto* movie = dynamic_cast<QTElement*>(g_options.element);
    if (!movie || !movie->controller || !movie->movie) {
        KillTimer(g_options.dialog, kTryItTimer);
        return;
    }
    MCIdle(movie->controller);
    if (IsMovieDone(movie->movie))
        KillTimer(g_options.dialog, kTryItTimer);
}

void Finish(int id) {
    KillTimer(g_options.dialog, kTryItTimer);
    MediaElement& e = *g_options.element;
    e.rect = g_options.saved;
    if (id == IDOK) {
        e.volume = static_cast<int16_t>(e.GetVolume());
        e.flags |= kMediaFlagApplyVolume;
        if (ActionBlock* block = GetActionBlock()) {
            block->movieSet = 1;
            block->movieOption = e.flags;
            block->movieOptionWord = static_cast<uint16_t>(e.volume);
            block->movieRect = {e.rect.left, e.rect.top, e.rect.right, e.rect.bottom};
        }
    } else if (id == IDCANCEL && g_options.card) {
        // The block is left as it was: a videodisc segment beside no movie stays.
        InvalidateRect(g_options.card, &e.rect, TRUE);
    }
    if (id != kPosition)
        e.Close();
    EndDialog(g_options.dialog, id);
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return Open(dialog);
    if (!g_options.element)
        return FALSE;
    MediaElement& e = *g_options.element;
    switch (message) {
    case WM_PAINT:
        // The dialog paints first; the movie then stays over it.
        DefWindowProcA(dialog, message, wParam, 0);
        e.BringToTop();
        e.Update();
        return TRUE;
    case WM_TIMER:
        if (wParam != kTryItTimer)
            return FALSE;
        IdleTryIt();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kErase: e.flags ^= kMediaFlagEraseWhenDone; return TRUE;
        case kOverObjects: e.flags ^= kMediaFlagOverObjects; return TRUE;
        case kLoop: e.flags ^= kMediaFlagLoop; return TRUE;
        case kFirstFrame: e.flags ^= kMediaFlagFirstFrame; return TRUE;
        case kBackgroundMusic: e.flags ^= kMediaFlagBackground; return TRUE;
        case kUseController: ToggleController(); return TRUE;
        case kTryIt: TryIt(); return TRUE;
        case kAnother:
        case kPosition:
        case IDOK:
        case IDCANCEL: Finish(LOWORD(wParam)); return TRUE;
        default: return FALSE;
        }
    default:
        return FALSE;
    }
}

}  // namespace

int RunMovieOptions(HWND card, MediaElement* element) {
    if (!element)
        return IDCANCEL;
    const Options before = g_options;
    g_options = {};
    g_options.element = element;
    g_options.card = card;
    const INT_PTR answer = ResDialogBoxParam(card, OptionsProc, "QT_OPTIONS", 0);
    g_options = before;
    return answer > 0 ? static_cast<int>(answer) : IDCANCEL;
}

void PlaceMovieRect(HWND card, RECT* rect, HBITMAP preview) {
    HBITMAP copy = rect && preview ? static_cast<HBITMAP>(CopyImage(preview, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    if (!copy) {
        const int idle = 1, handle = 0, status = 0;
        SetTrackState(&idle, nullptr, nullptr, &handle, &status);
        return;
    }
    if (BeginObjectResizeTracking(rect, &copy, nullptr, nullptr, 0))
        RunHookMessageLoop(card);
    if (copy)
        DeleteObject(copy);
}
