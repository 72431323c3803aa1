// "Zoom in" and "Zoom out": inverted frames between the zoom centre and the rectangle, each
// erased four passes after it was drawn, then the card copied at once.
#include <windows.h>

#include "core/system/Ticks.h"
#include "core/ui/GdiGuards.h"
#include "cardview/transitions/TransitionContext.h"
#include "cardview/transitions/TransitionTiming.h"
#include "cardview/transitions/TransitionZoom.h"

void RunZoomTransition(const TransitionContext& c, bool zoomIn, POINT centre) {
    const Rect32 end = {c.rect.left, c.rect.top, c.rect.right, c.rect.bottom};
    const std::array<Rect32, kZoomFrames> frames = ZoomFrameRects(zoomIn, ZoomStartRect(centre.x, centre.y), end);
    {
        SelectedObject pen(c.dc, GetStockObject(WHITE_PEN));
        SelectedObject brush(c.dc, GetStockObject(HOLLOW_BRUSH));
        const int mix = SetROP2(c.dc, R2_XORPEN);
        auto frame = [&c](const Rect32& r) { Rectangle(c.dc, r.left, r.top, r.right, r.bottom); };
        for (int pass = 0; pass < kZoomPasses; ++pass) {
            const uint32_t start = GetTicks();
            if (pass < kZoomFrames)
                frame(frames[pass]);
            if (pass >= kZoomTrail)
                frame(frames[pass - kZoomTrail]);
            TransitionMediaIdle();
            WaitQuarterTicksSince(start, int64_t{4} * (c.speed + 1));
        }
        SetROP2(c.dc, mix);
    }
    // The card itself comes at once: "Fastest" from speed 8, which does not wait.
    TransitionContext card = c;
    card.speed = 8;
    RunFastest(card);
}
