// The movie controller's state and actions.
#include "quicktime/dll/StandInController.h"

#include <algorithm>

namespace {

StandInBarPainter g_painter = nullptr;

StandInTime StepTime(const StandInMovie& m, StandInTime from, bool back) {
    static constexpr uint32_t kVideo[] = {kStandInVideo};
    const StandInTime t = StandInNextSampleTime(m, kVideo, from, back, false, nullptr);
    return t < 0 ? from : t;
}

}  // namespace

std::unique_ptr<StandInController> NewStandInController(QtWord movie, const StandInBox& rect, uint32_t flags,
                                                        QtWord port) {
    if (!FindStandInMovie(movie))
        return nullptr;
    auto c = std::make_unique<StandInController>();
    c->movie = movie;
    c->flags = flags;
    c->rect = rect;
    c->visible = !(flags & kMcNotVisible);
    c->port = port;
    PlaceStandInControllerMovie(c.get());
    return c;
}

void PlaceStandInControllerMovie(StandInController* c) {
    StandInMovie* m = FindStandInMovie(c->movie);
    if (!m)
        return;
    StandInBox box = c->rect;
    if (!(c->flags & kMcScaleMovieToFit)) {
        // Its own size, at the rectangle's top left or in its middle.
        if (!(c->flags & kMcTopLeftMovie)) {
            box.left += (c->rect.Width() - m->natural.Width()) / 2;
            box.top += (c->rect.Height() - m->natural.Height()) / 2;
        }
        box.right = box.left + m->natural.Width();
        box.bottom = box.top + m->natural.Height();
    }
    m->box = box;
    if (c->port)
        m->gworld = c->port;
    m->shownSample = -1;
}

StandInBox StandInControllerBounds(const StandInController& c) {
    const StandInMovie* m = FindStandInMovie(c.movie);
    StandInBox b = m ? m->box : c.rect;
    if (c.visible)
        b.bottom += kStandInBarHeight;
    return b;
}

StandInBox StandInBarRect(const StandInController& c) {
    const StandInBox b = StandInControllerBounds(c);
    return {b.left, b.bottom - kStandInBarHeight, std::max(b.right, b.left + 2 * kStandInBarHeight), b.bottom};
}

StandInBox StandInBarButton(const StandInController& c) {
    const StandInBox bar = StandInBarRect(c);
    return {bar.left, bar.top, bar.left + kStandInBarHeight, bar.bottom};
}

StandInBox StandInBarThumb(const StandInController& c) {
    const StandInBox bar = StandInBarRect(c);
    const StandInMovie* m = FindStandInMovie(c.movie);
    const int32_t left = bar.left + kStandInBarHeight + 2, width = std::max(bar.right - 2 - left - 8, 0);
    int32_t x = left;
    if (m && m->duration > 0)
        x += static_cast<int32_t>(StandInMovieTime(*m) * width / m->duration);
    return {x, bar.top + 3, x + 8, bar.bottom - 3};
}

int32_t StandInControllerAction(StandInController* c, int16_t action, QtWord params) {
    StandInMovie* m = FindStandInMovie(c->movie);
    if (!m)
        return kQtInvalidMovie;
    switch (action) {
    case kStandInActionIdle:
        StandInControllerIdle(c);
        return kQtNoErr;
    case kStandInActionDraw:
        DrawStandInController(c);
        return kQtNoErr;
    case kStandInActionPlay: {
        const auto rate = static_cast<int32_t>(params);
        if (rate != 0 && IsStandInMovieDone(*m))
            SetStandInMovieTime(m, rate > 0 ? 0 : m->duration);
        SetStandInMovieRate(m, rate);
        if (rate != 0)
            StartStandInSound(c->movie, m);
        else
            StopStandInSound(c->movie, m);
        return kQtNoErr;
    }
    case kStandInActionGoToTime:
        if (params)
            SetStandInMovieTime(m, *reinterpret_cast<const int32_t*>(params));
        return kQtNoErr;
    case kStandInActionSetVolume:
        SetStandInMovieVolume(c->movie, m, static_cast<int16_t>(params));
        return kQtNoErr;
    case kStandInActionGetVolume:
        if (params)
            *reinterpret_cast<int16_t*>(params) = m->volume;
        return kQtNoErr;
    case kStandInActionStep: {
        // Stops, then moves by whole frames.
        StopStandInSound(c->movie, m);
        SetStandInMovieRate(m, 0);
        auto steps = static_cast<int32_t>(params);
        StandInTime t = StandInMovieTime(*m);
        for (int32_t i = 0; i < std::min(std::abs(steps), 10000); ++i)
            t = StepTime(*m, t, steps < 0);
        SetStandInMovieTime(m, t);
        return kQtNoErr;
    }
    case kStandInActionSetLooping:
        SetStandInMovieRate(m, m->rate);  // keep the time where it is under the new rule
        m->looping = (params & 0xFF) != 0;
        return kQtNoErr;
    case kStandInActionGetLooping:
        if (params)
            *reinterpret_cast<uint8_t*>(params) = m->looping;
        return kQtNoErr;
    case kStandInActionSetGrowBoxBounds:
        if (params) {
            const auto* r = reinterpret_cast<const int16_t*>(params);  // top, left, bottom, right
            c->growBounds = {r[1], r[0], r[3], r[2]};
        }
        return kQtNoErr;
    case kStandInActionSetKeysEnabled:
        c->keysEnabled = (params & 0xFF) != 0;
        return kQtNoErr;
    case kStandInActionGetKeysEnabled:
        if (params)
            *reinterpret_cast<uint8_t*>(params) = c->keysEnabled;
        return kQtNoErr;
    default:
        return kQtParamErr;
    }
}

bool StandInControllerClick(StandInController* c, int32_t h, int32_t v) {
    StandInMovie* m = FindStandInMovie(c->movie);
    if (!m || !c->visible)
        return false;
    const StandInBox bar = StandInBarRect(*c);
    if (h < bar.left || h >= bar.right || v < bar.top || v >= bar.bottom)
        return false;
    const StandInBox button = StandInBarButton(*c);
    if (h < button.right) {
        StandInControllerAction(c, kStandInActionPlay, m->rate != 0 ? 0 : static_cast<QtWord>(m->preferredRate));
    } else if (m->duration > 0) {
        const int32_t left = button.right + 2, width = std::max(bar.right - 2 - left - 8, 1);
        const StandInTime t = std::clamp<StandInTime>(StandInTime(h - left) * m->duration / width, 0, m->duration);
        SetStandInMovieTime(m, t);
        if (m->rate != 0)
            StartStandInSound(c->movie, m);
    }
    DrawStandInController(c);
    return true;
}

bool StandInControllerIdle(StandInController* c) {
    StandInMovie* m = FindStandInMovie(c->movie);
    if (!m)
        return false;
    StandInMoviesTask(c->movie);
    const StandInTime t = StandInMovieTime(*m);
    const bool changed = t != c->drawnTime || (m->rate != 0) != c->drawnPlaying;
    if (changed && c->visible && c->port)
        DrawStandInController(c);
    return changed;
}

void SetStandInBarPainter(StandInBarPainter painter) { g_painter = painter; }

void DrawStandInController(StandInController* c) {
    StandInMovie* m = FindStandInMovie(c->movie);
    if (!m || !c->port)
        return;
    const StandInTime t = StandInMovieTime(*m);
    StandInImage frame;
    if (m->active && StandInMovieFrame(m, t, &frame))
        PresentStandInFrame(c->port, frame, m->box, m->clip);
    c->drawnTime = t;
    c->drawnPlaying = m->rate != 0;
    if (c->visible && g_painter)
        g_painter(*c, c->drawnPlaying);
}
