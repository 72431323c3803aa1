// RunTransition: the transition context, the table of the 29 slots and the copying transitions.
#include "graphics/transitions/CardTransitions.h"

#include <optional>

#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/layers/CardView.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/transitions/QtEffect.h"
#include "graphics/transitions/TransitionContext.h"
#include "graphics/transitions/TransitionTable.h"
#include "graphics/transitions/TransitionTiming.h"

namespace {

TransitionContext g_context;
RECT g_lastRect = {};
COLORREF g_transitionColor = RGB(0, 0, 0);
std::optional<POINT> g_zoomCentre;

bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

Rect32 ToRect32(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void RunPlanned(int transition) { RunTransitionPlan(PlanStripTransition(transition, ToRect32(g_context.rect))); }

void RunSlot(int transition) {
    switch (transition) {
    case kTransFastest: RunFastest(); return;
    case kTransFadeToBlack:
    case kTransFadeToWhite:
    case kTransFadeToButtonColor: RunFadeTransition(transition); return;
    case kTransRain:
    case kTransDissolve:
    case kTransRazorLeft:
    case kTransRazorRight:
    case kTransBowTies:
    case kTransDiamondDissolve:
        if (!RunMaskedReveal(transition))
            RunFastest();
        return;
    case kTransZoomIn:
    case kTransZoomOut: {
        const RECT& r = g_context.rect;
        const POINT centre = g_zoomCentre ? *g_zoomCentre : POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        RunZoomTransition(transition == kTransZoomIn, centre);
        return;
    }
    case kTransFullScreen: RunFullScreenTransition(); return;
    case kTransQuickTimeEffect:
        if (!QTRunTransitionEffect(g_context.source))
            RunFastest();
        QTFreeCapturedImage();
        return;
    default: RunPlanned(transition); return;
    }
}

}  // namespace

TransitionContext& CurrentTransition() { return g_context; }

void SetTransitionColor(COLORREF color) { g_transitionColor = color; }
COLORREF GetTransitionColor() { return g_transitionColor; }

void SetZoomCentre(POINT centre) {
    g_zoomCentre = centre;
}

bool GetZoomCentre(POINT* centre) {
    if (g_zoomCentre && centre)
        *centre = *g_zoomCentre;
    return g_zoomCentre.has_value();
}

void BlitTransitionRect(const RECT& rect, HBITMAP source) {
    TransitionMediaIdle();
    if (!g_context.dc || EmptyRect(rect))
        return;
    if (source == g_context.source && g_context.sourceDC) {
        BitBlt(g_context.dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, g_context.sourceDC,
               rect.left, rect.top, SRCCOPY);
        return;
    }
    MemoryDC sourceDC(g_context.dc);
    SelectedPalette palette(sourceDC.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedObject selected(sourceDC.get(), source);
    if (selected)
        BitBlt(g_context.dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, sourceDC.get(),
               rect.left, rect.top, SRCCOPY);
}

void RunTransitionPlan(const TransitionPlan& plan) {
    BeginTransitionSteps(plan.stepCount);
    for (const TransitionGroup& group : plan.groups) {
        for (const Rect32& r : group.rects)
            BlitTransitionRect(RECT{r.left, r.top, r.right, r.bottom}, g_context.source);
        if (group.endsStep)
            WaitTransitionStep(g_context.blend);
    }
}

void RunFastest() {
    if (GetCardZoom() > 1) {
        RedrawWindow(g_context.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
    }
    const int speed = TransitionSpeed();
    SetTransitionSpeed(speed == 8 ? 0 : speed / 2);
    RunPlanned(kTransFastest);
    SetTransitionSpeed(speed);
}

void RunTransition(int transition, int effectId, int speed, HWND window, const RECT& rect, HBITMAP bitmap,
                   int blend) {
    if (!bitmap)
        return;
    WindowDC windowDC(window);
    MemoryDC sourceDC(windowDC.get());
    if (!windowDC || !sourceDC)
        return;
    SelectedPalette palette(windowDC.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedPalette sourcePalette(sourceDC.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedObject selected(sourceDC.get(), bitmap);
    if (!EmptyRect(rect))
        g_lastRect = rect;
    int slot = ChooseTransition(transition, effectId);
    if (slot == kTransQuickTimeEffect && (effectId & 0xFFFF) != 0)
        QTSelectEffect(static_cast<int16_t>(effectId & 0xFFFF));
    g_context = {window, windowDC.get(), g_lastRect, bitmap, sourceDC.get(), blend};
    SetTransitionSpeed(NormalizeTransitionSpeed(speed));
    BeginTransitionSteps(0);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RunSlot(slot);
    FinishTransitionSteps(blend);
    g_context = {};
    g_transitionColor = RGB(0, 0, 0);
}
