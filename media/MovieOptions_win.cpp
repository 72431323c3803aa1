// The movie options dialog "QT_OPTIONS": the movie plays in the preview area while the author
// sets how it plays; OK leaves the choices in the element, for the caller to take.
#include <windows.h>

#include "core/events/EditorGuard.h"
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

// What the open dialog works on, kept with it.
struct Options {
    MediaElement* element = nullptr;
    HWND dialog = nullptr;
    HWND card = nullptr;
    RECT saved{};
};

bool SoundOnly(const Options& o) { return (o.element->state & kMediaStateSoundOnly) != 0; }
uint32_t ControllerFlag(const Options& o) {
    return (o.element->state & kMediaStateControllerType) ? kMediaFlagOwnController : kMediaFlagController;
}
bool Has(const Options& o, uint32_t flag) { return (o.element->flags & flag) != 0; }

void Tick(const Options& o, int id, bool on) { CheckDlgButton(o.dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }
void Enable(const Options& o, int id, bool on) { EnableWindow(GetDlgItem(o.dialog, id), on); }

// Sound-only movies can be placed and drawn only with their controller showing.
void EnableByController(const Options& o) {
    for (int id : {kPosition, kOverObjects, kFirstFrame})
        Enable(o, id, Has(o, kMediaFlagController));
}

void FitInPreview(const Options& o, RECT* rect) {
    HWND preview = GetDlgItem(o.dialog, kPreview);
    if (!preview)
        return;
    FitRectInWindow(rect, preview, true);
    RECT at{};
    GetWindowRect(preview, &at);
    MapWindowPoints(nullptr, o.dialog, reinterpret_cast<POINT*>(&at), 2);
    OffsetRect(rect, at.left, at.top);
}

void Refresh(const Options& o) {
    MediaElement& e = *o.element;
    InvalidateRect(GetDlgItem(o.dialog, kPreview), nullptr, TRUE);
    UpdateWindow(o.dialog);
    e.Update();
}

BOOL Open(Options& o, HWND dialog) {
    MediaElement& e = *o.element;
    o.dialog = dialog;
    o.saved = e.rect;
    CenterWindowOnScreen(dialog);
    ShowWindow(dialog, SW_SHOW);
    if (GetDlgItem(dialog, kPreview)) {
        FitInPreview(o, &e.rect);
        DialogTarget target(dialog);
        e.Open(target, 1);
        e.Show(kMediaShow);
    }
    if (SoundOnly(o)) {
        EnableByController(o);
        Tick(o, kBackgroundMusic, Has(o, kMediaFlagBackground));
        ShowWindow(GetDlgItem(dialog, kBackgroundMusic), SW_SHOW);
        ShowWindow(GetDlgItem(dialog, kErase), SW_HIDE);
    } else {
        ShowWindow(GetDlgItem(dialog, kBackgroundMusic), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, kErase), SW_SHOW);
    }
    if (e.state & kMediaStateControllerType) {
        Enable(o, kErase, false);
        Enable(o, kLoop, false);
        Tick(o, kUseController, Has(o, kMediaFlagOwnController));
    } else {
        Tick(o, kErase, Has(o, kMediaFlagEraseWhenDone));
        Tick(o, kLoop, Has(o, kMediaFlagLoop));
        Tick(o, kUseController, Has(o, kMediaFlagController));
    }
    Tick(o, kOverObjects, Has(o, kMediaFlagOverObjects));
    Tick(o, kFirstFrame, Has(o, kMediaFlagFirstFrame));
    e.BringToTop();
    e.Update();
    return TRUE;
}

void ToggleController(Options& o) {
    MediaElement& e = *o.element;
    const int extra = (e.state & kMediaStateOwnWindow) ? kOwnWindowControllerHeight : kControllerHeight;
    e.flags ^= ControllerFlag(o);
    const bool visible = Has(o, ControllerFlag(o));
    e.SetControllerVisible(visible ? 1 : 0);
    const int width = e.rect.right - e.rect.left;
    const int height = e.rect.bottom - e.rect.top;
    e.Resize(width, visible ? height + extra : height - extra);
    if (SoundOnly(o)) {
        FitInPreview(o, &e.rect);
        RECT& saved = o.saved;
        saved.bottom += visible ? extra : -extra;
        if (o.card)
            CentreRectInWindow(&saved, o.card);
        EnableByController(o);
    }
    Refresh(o);
}

// The movie Try It plays in the preview is idled here: the manager idles only the card's movies.
constexpr UINT_PTR kTryItTimer = 1;
constexpr UINT kTryItTick = 16;

void TryIt(const Options& o) {
    MediaElement& e = *o.element;
    if (e.Play() == 0 && dynamic_cast<QTElement*>(&e))
        SetTimer(o.dialog, kTryItTimer, kTryItTick, nullptr);
}

void IdleTryIt(const Options& o) {
    auto* movie = dynamic_cast<QTElement*>(o.element);
    if (!movie || !movie->controller || !movie->movie) {
        KillTimer(o.dialog, kTryItTimer);
        return;
    }
    MCIdle(movie->controller);
    if (IsMovieDone(movie->movie))
        KillTimer(o.dialog, kTryItTimer);
}

void Finish(Options& o, int id) {
    KillTimer(o.dialog, kTryItTimer);
    MediaElement& e = *o.element;
    e.rect = o.saved;
    if (id == IDOK) {
        e.volume = static_cast<int16_t>(e.GetVolume());
        e.flags |= kMediaFlagApplyVolume;
    } else if (id == IDCANCEL && o.card) {
        InvalidateRect(o.card, &e.rect, TRUE);
    }
    if (id != kPosition)
        e.Close();
    EndDialog(o.dialog, id);
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Options* kept = KeptDialogState<Options>(dialog, message, lParam);
    if (!kept)
        return FALSE;
    Options& o = *kept;
    if (message == WM_INITDIALOG)
        return Open(o, dialog);
    if (!o.element)
        return FALSE;
    MediaElement& e = *o.element;
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
        IdleTryIt(o);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kErase: e.flags ^= kMediaFlagEraseWhenDone; return TRUE;
        case kOverObjects: e.flags ^= kMediaFlagOverObjects; return TRUE;
        case kLoop: e.flags ^= kMediaFlagLoop; return TRUE;
        case kFirstFrame: e.flags ^= kMediaFlagFirstFrame; return TRUE;
        case kBackgroundMusic: e.flags ^= kMediaFlagBackground; return TRUE;
        case kUseController: ToggleController(o); return TRUE;
        case kTryIt: TryIt(o); return TRUE;
        case kAnother:
        case kPosition:
        case IDOK:
        case IDCANCEL: Finish(o, LOWORD(wParam)); return TRUE;
        default: return FALSE;
        }
    default:
        return FALSE;
    }
}

}  // namespace

int RunMovieOptions(HWND card, MediaElement* element) {
    const EditorGuard guard;
    if (!element)
        return IDCANCEL;
    Options options;
    options.element = element;
    options.card = card;
    const INT_PTR answer = ResDialogBoxParam(card, OptionsProc, "QT_OPTIONS", reinterpret_cast<LPARAM>(&options));
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
