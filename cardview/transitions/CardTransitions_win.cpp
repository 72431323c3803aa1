// RunTransition: the transition context, the table of the 29 slots and the copying transitions.
#include "cardview/transitions/CardTransitions.h"

#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "layers/CardView.h"
#include "graphics/palette/AppPalette.h"
#include "cardview/transitions/QtEffect.h"
#include "cardview/transitions/TransitionContext.h"
#include "cardview/transitions/TransitionTable.h"
#include "cardview/transitions/TransitionTiming.h"

namespace {

bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

Rect32 ToRect32(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void RunPlanned(const TransitionContext& c, int transition) {
    RunTransitionPlan(c, PlanStripTransition(transition, ToRect32(c.rect)));
}

void RunSlot(const TransitionContext& c, int transition) {
    switch (transition) {
    case kTransFastest: RunFastest(c); return;
    case kTransFadeToBlack:
    case kTransFadeToWhite:
    case kTransFadeToButtonColor: RunFadeTransition(c, transition); return;
    case kTransRain:
    case kTransDissolve:
    case kTransRazorLeft:
    case kTransRazorRight:
    case kTransBowTies:
    case kTransDiamondDissolve:
        if (!RunMaskedReveal(c, transition))
            RunFastest(c);
        return;
    case kTransZoomIn:
    case kTransZoomOut: {
        const RECT& r = c.rect;
        const POINT centre = c.move.zoomCentre.value_or(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        RunZoomTransition(c, transition == kTransZoomIn, centre);
        return;
    }
    case kTransFullScreen: RunFullScreenTransition(c); return;
    case kTransQuickTimeEffect:
        if (!QTRunTransitionEffect(c, c.source))
            RunFastest(c);
        return;
    default: RunPlanned(c, transition); return;
    }
}

}  // namespace

bool NeedsOldCard(const CardMove& move) {
    return ChooseTransition(move.transition, move.effect) == kTransQuickTimeEffect;
}

void BlitTransitionRect(const TransitionContext& c, const RECT& rect, HBITMAP source) {
    TransitionMediaIdle();
    if (!c.dc || EmptyRect(rect))
        return;
    if (source == c.source && c.sourceDC) {
        BitBlt(c.dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, c.sourceDC, rect.left,
               rect.top, SRCCOPY);
        return;
    }
    MemoryDC sourceDC(c.dc);
    SelectedPalette palette(sourceDC.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedObject selected(sourceDC.get(), source);
    if (selected)
        BitBlt(c.dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, sourceDC.get(),
               rect.left, rect.top, SRCCOPY);
}

void RunTransitionPlan(const TransitionContext& c, const TransitionPlan& plan) {
    BeginTransitionSteps(c, plan.stepCount);
    for (const TransitionGroup& group : plan.groups) {
        for (const Rect32& r : group.rects)
            BlitTransitionRect(c, RECT{r.left, r.top, r.right, r.bottom}, c.source);
        if (group.endsStep)
            WaitTransitionStep(c);
    }
}

void RunFastest(const TransitionContext& c) {
    if (GetCardZoom() > 1) {
        RedrawWindow(c.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
    }
    TransitionContext bands = c;
    bands.speed = c.speed == 8 ? 0 : c.speed / 2;
    RunPlanned(bands, kTransFastest);
}

void RunTransition(const CardMove& move, HWND window, const RECT& rect, HBITMAP bitmap, int blend) {
    if (!bitmap || EmptyRect(rect))
        return;
    WindowDC windowDC(window);
    MemoryDC sourceDC(windowDC.get());
    if (!windowDC || !sourceDC)
        return;
    SelectedPalette palette(windowDC.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedPalette sourcePalette(sourceDC.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedObject selected(sourceDC.get(), bitmap);
    const int slot = ChooseTransition(move.transition, move.effect);
    if (slot == kTransQuickTimeEffect && (move.effect & 0xFFFF) != 0)
        QTSelectEffect(static_cast<int16_t>(move.effect & 0xFFFF));
    const TransitionContext context = {window, windowDC.get(), rect,  bitmap,
                                       sourceDC.get(), blend, move, NormalizeTransitionSpeed(move.speed)};
    BeginTransitionSteps(context, 0);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RunSlot(context, slot);
    FinishTransitionSteps(context);
}
