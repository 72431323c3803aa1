// The movie controller as a component: NewMovieController makes an instance over a controller,
// its calls come here by component selector; and the MIDI importer and exporter components,
// which ConvertFileToMovieFile and ConvertMovieToFile are given.
#include <array>

#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/StandInController.h"

namespace {

StandInBox FromQtRect(const QtRect& r) { return {r.left, r.top, r.right, r.bottom}; }

intptr_t ControllerCall(void* state, int16_t what, const QtWord* p, int count) {
    auto* c = static_cast<StandInController*>(state);
    const auto need = [&](int n) { return count >= n; };
    switch (what) {
    case kMcSelIsPlayerEvent: {
        const auto* event = reinterpret_cast<const QtEventRecord*>(p[0]);
        if (!need(1) || !event)
            return 0;
        if (event->what == kQtMouseDown) {
            int32_t h = event->where.h, v = event->where.v;
            if (StandInMovieOutputs().toPortPoint)
                StandInMovieOutputs().toPortPoint(c->port, &h, &v);
            return StandInControllerClick(c, h, v);
        }
        if (event->what == kQtKeyDown && c->keysEnabled && (event->message & 0xFF) == ' ') {
            const StandInMovie* m = FindStandInMovie(c->movie);
            StandInControllerAction(c, kStandInActionPlay, m && m->rate == 0 ? static_cast<QtWord>(m->preferredRate) : 0);
            return 1;  // the space bar starts and stops the movie
        }
        if (event->what == kQtUpdateEvt)
            DrawStandInController(c);
        else if (event->what == kQtNullEvent)
            StandInControllerIdle(c);
        return 0;
    }
    case kMcSelDoAction:
        return need(2) ? StandInControllerAction(c, static_cast<int16_t>(p[0]), p[1]) : kQtParamErr;
    case kMcSelSetControllerPort:
        if (!need(1))
            return kQtParamErr;
        c->port = p[0];
        PlaceStandInControllerMovie(c);
        return kQtNoErr;
    case kMcSelSetVisible:
        if (!need(1))
            return kQtParamErr;
        c->visible = (p[0] & 0xFF) != 0;
        return kQtNoErr;
    case kMcSelGetControllerBoundsRect:
        if (auto* r = need(1) ? reinterpret_cast<QtRect*>(p[0]) : nullptr) {
            const StandInBox b = StandInControllerBounds(*c);
            *r = {static_cast<int16_t>(b.top), static_cast<int16_t>(b.left), static_cast<int16_t>(b.bottom),
                  static_cast<int16_t>(b.right)};
        }
        return kQtNoErr;
    case kMcSelDraw:
        if (StandInMovie* m = FindStandInMovie(c->movie))
            m->shownSample = -1;
        DrawStandInController(c);
        return kQtNoErr;
    case kMcSelIdle:
        StandInControllerIdle(c);
        return kQtNoErr;
    case kMcSelSetClip:
        c->clip = need(1) ? p[0] : 0;
        c->movieClip = need(2) ? p[1] : 0;
        if (StandInMovie* m = FindStandInMovie(c->movie)) {
            m->clip = c->movieClip ? c->movieClip : c->clip;
            m->shownSample = -1;
        }
        return kQtNoErr;
    default:
        return kQtBadComponentSelector;
    }
}

void ControllerClose(void* state) { delete static_cast<StandInController*>(state); }

constexpr StandInComponentKind kController{kQtMovieControllerType, nullptr, ControllerCall, ControllerClose};

}  // namespace

const StandInComponentKind* StandInControllerKind() { return &kController; }

// NewMovieController (movie, rect, flags): the movie is drawn in the current graphics world
// unless it has one of its own.
intptr_t DoNewMovieController(const QtWord* a) {
    const auto* rect = reinterpret_cast<const QtRect*>(a[1]);
    const StandInMovie* m = FindStandInMovie(a[0]);
    if (!m)
        return 0;
    const StandInBox box = rect ? FromQtRect(*rect) : m->natural;
    std::unique_ptr<StandInController> c =
        NewStandInController(a[0], box, static_cast<uint32_t>(a[2]), m->gworld ? m->gworld : StandInCurrentGWorld());
    if (!c)
        return 0;
    QtComponentInstance instance = StandInNewInstance(&kController, c.get());
    if (instance)
        c.release();
    return reinterpret_cast<intptr_t>(instance);
}

intptr_t DoDisposeMovieController(const QtWord* a) { return StandInDispatch(kQtSelCloseComponent, a); }
