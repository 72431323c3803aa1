// The animation world: the objects that play, in layers from bottom to top, each with the
// behaviour slots its template and settings chose, its three one-shot timers, and the drawing
// through a work copy of the background that only touches what changed.
#include "media/animation/AnimPlayback.h"

#include <algorithm>
#include <new>

#include "core/events/OneShotTimers.h"
#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

struct AnimLayer {
    AnimLayer* next = nullptr;  // upward
    AnimLayer* previous = nullptr;
    AnimSprite* first = nullptr;
    AnimSprite* last = nullptr;
    uint16_t number = 0;
};

// A timer slot as the one-shot timers write it: expiry sets the fired byte from another thread,
// so the slot lives in the object, which keeps its address from start to removal.
struct TimerSlot {
    alignas(4) uint8_t bytes[kTimerSlotBytes] = {};
    bool added = false;
    bool Fired() const { return reinterpret_cast<const volatile uint8_t*>(bytes)[kTimerSlotFiredOffset] != 0; }
    void ClearFired() { reinterpret_cast<volatile uint8_t*>(bytes)[kTimerSlotFiredOffset] = 0; }
};

using SpriteTest = bool (*)(AnimSprite& s);
using SpriteAction = void (*)(AnimSprite& s);
using SpriteDraw = int (*)(AnimSprite& s, PixMap* target, const ShortRect& source, const ShortRect& destination);

// The behaviour slots that are ever filled; the rest of the sixteen stay empty.
struct SpriteBehaviours {
    SpriteTest endTest = nullptr, frameStep = nullptr, innerPathStep = nullptr, pathStep = nullptr, layerHook = nullptr;
    SpriteAction onEnd = nullptr, frameRearm = nullptr, pathRearm = nullptr;
    SpriteDraw draw = nullptr;
};

struct AnimSprite {
    Handle header = 0, film = 0, path = 0;
    AnimSprite* next = nullptr;  // upward in its layer
    AnimSprite* previous = nullptr;
    AnimLayer* layer = nullptr;
    AnimPair identity;
    TimerSlot endTimer, frameTimer, pathTimer;
    SpriteBehaviours slots;
    bool locked = false;

    // The stored settings, read once when it starts.
    uint16_t templateNumber = 0, endCondition = 0, frameTiming = 0, frameStepKind = 0;
    uint16_t pathTiming = 0, pathSource = 0, pathStepKind = 0, layerKind = 0, layerNumber = 0;
    uint32_t seconds = 0, frameInterval = 0, frameRepeatsWanted = 0, firstFrame = 0, endFrame = 0;
    uint32_t pathIntervalSetting = 0, pathScale = 0, pathRepeatsWanted = 0, startPoint = 0, firstPoint = 0, endPoint = 0;
    int32_t frameIncrement = 0, pathIncrement = 0;
    uint32_t startFrame = 0;
    bool framesFollow = false, stayVisible = false, dontEraseGoing = false, dontEraseReturning = false;
    bool floatGoing = false, floatReturning = false, mirrorAtStart = false, mirrorAtEnd = false;

    // Run-time.
    int64_t frame = 0, point = 0;
    uint32_t frameRepeats = 0, pathRepeats = 0;
    ShortRect frameRect{};
    int16_t anchor[3] = {};
    ShortRect bounds{}, previousBounds{}, redraw{};
    bool alive = false, visible = false, changed = false, visibilityChanged = false;
    bool floatModeChanged = false, hiddenForTurn = false, dontErase = false, floatOver = false;
    bool frameDue = false, pathDue = false, frameEveryStep = false, pathEveryStep = false;
    uint32_t frameArmed = 0;
    int32_t pathArmed = 0;
};

struct AnimWorld {
    HWND window = nullptr;
    PixMap* windowMap = nullptr;
    PixMap* background = nullptr;
    PixMap work{};
    HBITMAP layerMask = nullptr;
    ShortRect bounds{};
    AnimLayer* first = nullptr;  // bottom
    AnimLayer* last = nullptr;
    AnimSprite* firstDue = nullptr;
    void (*step)(AnimWorld& world) = nullptr;
    void (*dispose)(AnimWorld& world) = nullptr;
};

namespace {

AnimWorld* g_world = nullptr;
bool g_stepping = false;
int g_started = 0;

bool IsEmpty(const ShortRect& r) { return r.right <= r.left || r.bottom <= r.top; }

ShortRect Union(const ShortRect& a, const ShortRect& b) {
    if (IsEmpty(a))
        return b;
    if (IsEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

ShortRect Intersection(const ShortRect& a, const ShortRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

template <class Each>
void ForEachSprite(AnimWorld& world, Each each) {
    for (AnimLayer* layer = world.first; layer;) {
        AnimLayer* above = layer->next;  // each may remove s, and with it its emptied layer
        for (AnimSprite* s = layer->first; s;) {
            AnimSprite* next = s->next;
            each(*s);
            s = next;
        }
        layer = above;
    }
}

// ---- timers ----

void AddSlot(TimerSlot& t) {
    if (!t.added)
        AddTimerSlot(t.bytes);
    t.added = true;
}

void Arm(TimerSlot& t, uint32_t milliseconds) {
    AddSlot(t);
    t.ClearFired();
    ArmOneShotTimer(t.bytes, milliseconds);
}

void CancelTimers(AnimSprite& s) {
    for (TimerSlot* t : {&s.endTimer, &s.frameTimer, &s.pathTimer}) {
        CancelOneShotTimer(t->bytes);
        t->added = false;
        t->ClearFired();
    }
}

// ---- frames ----

void LoadFrame(AnimSprite& s) {
    GetFilmFrameRect(s.film, static_cast<uint32_t>(s.frame), &s.frameRect);
    GetFilmFrameAnchor(s.film, static_cast<uint32_t>(s.frame), s.anchor);
}

// A step that left its range: the repeat is counted, then the end test sends the index round to
// restart, else back to where it was.
int64_t LeftRange(AnimSprite& s, uint32_t& repeats, int64_t index, int32_t increment, int64_t restart) {
    ++repeats;
    return s.slots.endTest(s) ? restart : index - increment;
}

bool FrameForward(AnimSprite& s) {
    const int64_t old = s.frame;
    const int64_t index = s.frame + s.frameIncrement;
    s.frame = index < s.endFrame ? index : LeftRange(s, s.frameRepeats, index, s.frameIncrement, s.firstFrame);
    LoadFrame(s);
    return s.frame != old;
}

bool FrameBackward(AnimSprite& s) {
    const int64_t old = s.frame;
    const int64_t index = s.frame + s.frameIncrement;
    s.frame = index >= s.firstFrame ? index
                                    : LeftRange(s, s.frameRepeats, index, s.frameIncrement, int64_t(s.endFrame) - 1);
    LoadFrame(s);
    return s.frame != old;
}

// No range test is asked for; past the film's frames it comes round to the first of the range
// rather than reading a frame that is not there.
bool FrameForwardUnchecked(AnimSprite& s) {
    const int64_t old = s.frame;
    s.frame += s.frameIncrement;
    if (s.frame < 0 || s.frame >= int64_t(GetFilmFrameCount(s.film)))
        s.frame = s.firstFrame;
    LoadFrame(s);
    return s.frame != old;
}

bool FrameHold(AnimSprite& s) {
    LoadFrame(s);
    return false;
}

bool FrameMovie(AnimSprite&) { return true; }

SpriteTest FrameStepOf(uint16_t kind) {
    switch (kind) {
    case kFrameStepForward: return FrameForward;
    case kFrameStepBackward: return FrameBackward;
    case kFrameStepUnchecked: return FrameForwardUnchecked;
    case kFrameStepHold: return FrameHold;
    case kFrameStepMovie: return FrameMovie;
    default: return nullptr;
    }
}

void ArmFrameTimer(AnimSprite& s) {
    Arm(s.frameTimer, s.frameArmed);
    s.frameDue = false;
}

void MarkFrameNotDue(AnimSprite& s) { s.frameDue = false; }

void MovieCheck(AnimSprite& s) {
    if (GetFilmKind(s.film) != kFilmMovie || !IsFilmMovieDone(s.film))
        return;
    ++s.frameRepeats;
    s.frameDue = true;
    RewindFilmMovie(s.film);
}

// ---- paths ----

void MoveToPoint(AnimSprite& s, int16_t x, int16_t y) {
    if (x == 0 && y == 0)
        return;
    const int16_t width = s.bounds.right - s.bounds.left, height = s.bounds.bottom - s.bounds.top;
    s.bounds.left = static_cast<int16_t>(x + s.anchor[0]);
    s.bounds.top = static_cast<int16_t>(y + s.anchor[1]);
    s.bounds.right = static_cast<int16_t>(s.bounds.left + width);
    s.bounds.bottom = static_cast<int16_t>(s.bounds.top + height);
    s.changed = true;
}

void MoveToCurrentPoint(AnimSprite& s) {
    PathPoint p;
    if (s.point >= 0 && GetPathPoint(s.path, static_cast<uint32_t>(s.point), &p))
        MoveToPoint(s, p.x, p.y);
}

bool PathForward(AnimSprite& s) {
    const int64_t index = s.point + s.pathIncrement;
    s.point = index < s.endPoint ? index : LeftRange(s, s.pathRepeats, index, s.pathIncrement, s.firstPoint);
    MoveToCurrentPoint(s);
    return true;
}

// Reaching the first point counts as passing the start: it is never shown.
bool PathBackward(AnimSprite& s) {
    const int64_t index = s.point + s.pathIncrement;
    s.point = index > s.firstPoint ? index
                                   : LeftRange(s, s.pathRepeats, index, s.pathIncrement, int64_t(s.endPoint) - 1);
    MoveToCurrentPoint(s);
    return true;
}

bool PathBackAndForth(AnimSprite& s) {
    if (s.hiddenForTurn) {
        s.hiddenForTurn = false;
        s.floatModeChanged = false;
        s.visible = true;
        s.visibilityChanged = true;
    }
    const bool startedAtEnd = s.startPoint + 1 == s.endPoint;
    int64_t index = s.point + s.pathIncrement;
    int turn = 0;  // 1 at the start of the range, 2 at its end
    if (s.pathIncrement < 1 && index <= s.firstPoint) {
        index = s.firstPoint;
        turn = 1;
    } else if (s.pathIncrement >= 1 && index >= s.endPoint) {
        index = int64_t(s.endPoint) - 1;
        turn = 2;
    }
    if (turn) {
        ++s.pathRepeats;
        s.pathIncrement = -s.pathIncrement;
        const bool returning = (turn == 1) == startedAtEnd;
        s.dontErase = returning ? s.dontEraseReturning : s.dontEraseGoing;
        s.floatOver = returning ? s.floatReturning : s.floatGoing;
        if (s.floatGoing != s.floatReturning) {
            s.floatModeChanged = true;
            s.hiddenForTurn = true;
            s.visible = false;
            s.visibilityChanged = true;
        }
        if (s.slots.endTest(s)) {
            const bool mirror = turn == 1 ? s.mirrorAtStart : s.mirrorAtEnd;
            if (mirror || IsFilmMirrored(s.film))
                ToggleFilmMirror(s.film, false);
            LoadFrame(s);
        }
    }
    s.point = index;
    MoveToCurrentPoint(s);
    return true;
}

bool PathWrap(AnimSprite& s) {
    int64_t index = s.point + s.pathIncrement;
    if (s.pathIncrement >= 0 && index >= s.endPoint) {
        index = s.firstPoint;
        ++s.pathRepeats;
    } else if (s.pathIncrement < 0 && index < s.firstPoint) {
        index = int64_t(s.endPoint) - 1;
        ++s.pathRepeats;
    }
    s.point = index;
    MoveToCurrentPoint(s);
    return true;
}

SpriteTest PathStepOf(uint16_t kind) {
    switch (kind) {
    case kPathStepForward: return PathForward;
    case kPathStepBackward: return PathBackward;
    case kPathStepBackAndForth: return PathBackAndForth;
    case kPathStepWrap: return PathWrap;
    default: return nullptr;
    }
}

bool InnerPathStepThenFrame(AnimSprite& s) {
    const bool moved = s.slots.innerPathStep(s);
    s.frameDue = true;
    return moved;
}

// 1 or more: due at once unless its timer runs; 0: due; below 0: no timer, not due.
void SetPathInterval(AnimSprite& s, int32_t interval) {
    s.pathArmed = interval;
    if (interval >= 1) {
        if (!IsTimerArmed(s.pathTimer.bytes))
            s.pathDue = true;
    } else if (interval == 0) {
        s.pathDue = true;
    } else {
        DisarmTimerSlot(s.pathTimer.bytes);
        s.pathDue = false;
    }
}

int32_t PointInterval(const AnimSprite& s, int64_t index) {
    if (index < 0)
        return 0;
    const uint64_t scaled = uint64_t(GetPathPointTime(s.path, static_cast<uint32_t>(index))) * s.pathScale / 100;
    return static_cast<int32_t>(std::min<uint64_t>(scaled, INT32_MAX));
}

void ArmPathTimer(AnimSprite& s) {
    s.pathDue = false;
    if (s.pathArmed >= 1)
        Arm(s.pathTimer, static_cast<uint32_t>(s.pathArmed));
}

void ArmPathTimerForPoint(AnimSprite& s) {
    s.pathArmed = PointInterval(s, s.point);
    ArmPathTimer(s);
}

bool NeverOnLayer(AnimSprite&) { return false; }

// ---- end tests, the end, drawing ----

bool PlaysOn(AnimSprite&) { return true; }
bool UntilEndTimer(AnimSprite& s) { return !s.endTimer.Fired(); }
bool UntilFrameRepeats(AnimSprite& s) { return s.frameRepeats < s.frameRepeatsWanted; }
bool UntilPathRepeats(AnimSprite& s) {
    return s.pathRepeats / (s.pathStepKind == kPathStepBackAndForth ? 2u : 1u) < s.pathRepeatsWanted;
}
bool UntilMovieEnds(AnimSprite& s) { return !IsFilmMovieDone(s.film); }

SpriteTest EndTestOf(uint16_t condition) {
    switch (condition) {
    case kEndsAfterSeconds: return UntilEndTimer;
    case kEndsAfterFrameRepeats: return UntilFrameRepeats;
    case kEndsAfterPathRepeats: return UntilPathRepeats;
    case kEndsWithMovie: return UntilMovieEnds;
    default: return PlaysOn;
    }
}

void OnEnd(AnimSprite& s) {
    if (s.templateNumber == kTemplateFramesOnly)
        StopFilmMovie(s.film);
    if (s.visible != s.stayVisible)
        s.visibilityChanged = true;
    s.visible = s.stayVisible;
}

int DrawFromFilm(AnimSprite& s, PixMap* target, const ShortRect& source, const ShortRect& destination) {
    return DrawFilmFrame(s.film, static_cast<uint32_t>(s.frame), target, source, destination);
}
int DrawNothing(AnimSprite&, PixMap*, const ShortRect&, const ShortRect&) { return 0; }

// ---- the object's life ----

void ReadSettings(AnimSprite& s) {
    const Handle h = s.header;
    s.film = GetSpriteFilm(h);
    s.path = GetSpritePath(h);
    s.templateNumber = GetSpriteWord(h, kSpriteTemplate);
    s.endCondition = GetSpriteWord(h, kSpriteEndCondition);
    s.seconds = GetSpriteLong(h, kSpriteSeconds);
    s.frameTiming = GetSpriteWord(h, kSpriteFrameTiming);
    s.frameStepKind = GetSpriteWord(h, kSpriteFrameStep);
    s.framesFollow = GetSpriteByte(h, kSpriteFramesFollow) != 0;
    s.frameInterval = GetSpriteLong(h, kSpriteFrameInterval);
    s.frameIncrement = static_cast<int32_t>(GetSpriteLong(h, kSpriteFrameIncrement));
    s.frameRepeatsWanted = GetSpriteLong(h, kSpriteFrameRepeats);
    s.startFrame = GetSpriteLong(h, kSpriteStartFrame);
    s.firstFrame = GetSpriteLong(h, kSpriteFirstFrame);
    s.endFrame = GetSpriteLong(h, kSpriteEndFrame);
    s.pathTiming = GetSpriteWord(h, kSpritePathTiming);
    s.pathSource = GetSpriteWord(h, kSpritePathSource);
    s.pathStepKind = GetSpriteWord(h, kSpritePathStep);
    s.pathIntervalSetting = GetSpriteLong(h, kSpritePathInterval);
    s.pathScale = GetSpriteLong(h, kSpritePathScale);
    s.pathIncrement = static_cast<int32_t>(GetSpriteLong(h, kSpritePathIncrement));
    s.pathRepeatsWanted = GetSpriteLong(h, kSpritePathRepeats);
    s.startPoint = GetSpriteLong(h, kSpriteStartPoint);
    s.firstPoint = GetSpriteLong(h, kSpriteFirstPoint);
    s.endPoint = GetSpriteLong(h, kSpriteEndPoint);
    s.stayVisible = GetSpriteByte(h, kSpriteStayVisible) != 0;
    s.dontEraseGoing = GetSpriteByte(h, kSpriteDontEraseGoing) != 0;
    s.dontEraseReturning = GetSpriteByte(h, kSpriteDontEraseReturning) != 0;
    s.floatGoing = GetSpriteByte(h, kSpriteFloatGoing) != 0;
    s.floatReturning = GetSpriteByte(h, kSpriteFloatReturning) != 0;
    s.mirrorAtStart = GetSpriteByte(h, kSpriteMirrorAtStart) != 0;
    s.mirrorAtEnd = GetSpriteByte(h, kSpriteMirrorAtEnd) != 0;
    s.layerKind = GetSpriteWord(h, kSpriteLayer);
    s.layerNumber = GetSpriteWord(h, kSpriteLayerNumber);
    // Ranges kept inside what the film and the path hold.
    const uint32_t frames = s.film ? GetFilmFrameCount(s.film) : 0;
    s.endFrame = std::min(s.endFrame, frames);
    s.firstFrame = std::min(s.firstFrame, s.endFrame ? s.endFrame - 1 : 0);
    s.startFrame = std::clamp(s.startFrame, s.firstFrame, s.endFrame ? s.endFrame - 1 : s.firstFrame);
    const uint32_t points = s.path ? GetPathPointCount(s.path) : 0;
    s.endPoint = std::min(s.endPoint, points);
    s.firstPoint = std::min(s.firstPoint, s.endPoint ? s.endPoint - 1 : 0);
    s.startPoint = std::clamp(s.startPoint, s.firstPoint, s.endPoint ? s.endPoint - 1 : s.firstPoint);
}

}  // namespace

void InstallSpriteBehaviours(AnimSprite* sprite) {
    AnimSprite& s = *sprite;
    const uint16_t t = s.templateNumber;
    const bool hasFrameStep = t == kTemplateFramesOnly || t == kTemplateFramesAndPath || t == kTemplateFramesFollow,
               hasPathStep = t != kTemplateStill && t <= kTemplateFramesFollow;
    s.slots = {};
    s.slots.onEnd = OnEnd;
    s.slots.draw = GetSpriteLong(s.header, kSpriteExtraHandle) ? DrawNothing : DrawFromFilm;
    s.slots.frameRearm = t == kTemplateFramesOnly ? MovieCheck : nullptr;
    s.slots.layerHook = NeverOnLayer;
    s.frameEveryStep = s.pathEveryStep = false;
    const bool follows = t == kTemplateFramesFollow || s.framesFollow;
    if (hasFrameStep && s.film) {
        s.slots.frameStep = FrameStepOf(s.frameStepKind);
        if (s.frameTiming == kTimingEveryStep && !follows) {
            s.frameEveryStep = true;
        } else if (s.frameTiming == kTimingTimer && !follows) {
            s.slots.frameRearm = ArmFrameTimer;
            AddSlot(s.frameTimer);
            s.frameArmed = s.frameInterval;
            s.frameDue = false;
        }
    }
    if (hasPathStep && s.path) {
        s.slots.pathStep = PathStepOf(s.pathStepKind);
        if (follows && s.slots.pathStep) {
            s.slots.innerPathStep = s.slots.pathStep;
            s.slots.pathStep = InnerPathStepThenFrame;
            s.slots.frameRearm = MarkFrameNotDue;
        }
        if (s.pathTiming == kTimingEveryStep) {
            s.pathEveryStep = true;
        } else if (s.pathTiming == kTimingTimer) {
            AddSlot(s.pathTimer);
            if (s.pathSource == kPathSourceRecorded) {
                SetPathInterval(s, PointInterval(s, s.startPoint));
                s.slots.pathRearm = ArmPathTimerForPoint;
            } else {
                SetPathInterval(s, static_cast<int32_t>(s.pathIntervalSetting));
                s.slots.pathRearm = ArmPathTimer;
            }
            s.pathDue = false;
        }
    }
    s.slots.endTest = EndTestOf(s.endCondition);
    if (s.endCondition == kEndsAfterSeconds) {
        AddSlot(s.endTimer);
        s.endTimer.ClearFired();
    }
}

namespace {

// 0, or -1 when the mirrored copy cannot be made.
int ResetSprite(AnimSprite& s) {
    InstallSpriteBehaviours(&s);
    s.frame = s.startFrame;
    s.frameRepeats = s.pathRepeats = 0;
    s.point = s.startPoint;
    s.floatModeChanged = s.hiddenForTurn = false;
    s.dontErase = s.dontEraseGoing;
    s.floatOver = s.floatGoing;
    if (s.mirrorAtStart || s.mirrorAtEnd) {
        const uint32_t angles = s.startPoint + 1 == s.endPoint ? kSpriteAnglesAtEnd : kSpriteAnglesElsewhere;
        if (PrepareFilmMirror(s.film, GetSpriteWord(s.header, angles) == kAngleMirrored,
                              GetSpriteWord(s.header, angles + 2) == kAngleMirrored) != 0)
            return -1;
    }
    s.alive = true;
    return 0;
}

// The start frame with its anchor on the start point (or where the record's bounds put it).
void PlaceAtStart(AnimSprite& s) {
    LoadFrame(s);
    const ShortRect stored = GetSpriteBounds(s.header);
    const int16_t width = s.frameRect.right - s.frameRect.left, height = s.frameRect.bottom - s.frameRect.top;
    s.bounds = {stored.left, stored.top, static_cast<int16_t>(stored.left + width), static_cast<int16_t>(stored.top + height)};
    if (s.path)
        MoveToCurrentPoint(s);
    s.previousBounds = s.redraw = s.bounds;
}

void LockSprite(AnimSprite& s) {
    if (s.locked)
        return;
    LockFilm(s.film);
    AnimLockHandle(s.path);
    s.locked = true;
}

void UnlockSprite(AnimSprite& s) {
    if (!s.locked)
        return;
    UnlockFilm(s.film);
    AnimUnlockHandle(s.path);
    s.locked = false;
}

// Timers first, so that nothing writes into the object once it is gone.
void FreeSprite(AnimSprite* s) {
    CancelTimers(*s);
    ToggleFilmMirror(s->film, true);
    UnlockSprite(*s);
    DisposeSprite(s->header);
    delete s;
}

void AddSpriteToLayers(AnimWorld& world, AnimSprite& s) {
    const auto newLayer = [&world](uint16_t number, bool atTop) -> AnimLayer* {
        auto* layer = new (std::nothrow) AnimLayer;
        if (!layer)
            return nullptr;
        layer->number = number;
        if (atTop) {
            layer->previous = world.last;
            (world.last ? world.last->next : world.first) = layer;
            world.last = layer;
        } else {
            layer->next = world.first;
            (world.first ? world.first->previous : world.last) = layer;
            world.first = layer;
        }
        return layer;
    };
    const bool several = world.first && world.first != world.last;
    AnimLayer* layer = nullptr;
    if (!world.first) {
        layer = newLayer(0, true);
    } else if (s.layerKind == kLayerAny || (s.layerKind >= 4 && s.layerKind <= 6)) {  // 4 to 6 as any
        layer = several ? world.first->next : newLayer(0, true);
    } else if (s.layerKind == kLayerTop) {
        layer = several ? world.last : newLayer(0, true);
    } else if (s.layerKind == kLayerBottom) {
        layer = newLayer(0, false);
    } else if (s.layerKind == kLayerByNumber) {
        for (AnimLayer* l = world.first; l && !layer; l = l->next)
            if (l->number == s.layerNumber)
                layer = l;
        if (!layer)
            layer = newLayer(s.layerNumber, true);
    } else {
        layer = world.first;
    }
    if (!layer)
        layer = world.last;  // no memory for a new layer: the top one serves
    s.layer = layer;
    s.previous = layer->last;
    s.next = nullptr;
    (layer->last ? layer->last->next : layer->first) = &s;
    layer->last = &s;
}

void Unlink(AnimWorld& world, AnimSprite& s) {
    AnimLayer* layer = s.layer;
    if (!layer)
        return;
    (s.previous ? s.previous->next : layer->first) = s.next;
    (s.next ? s.next->previous : layer->last) = s.previous;
    s.next = s.previous = nullptr;
    s.layer = nullptr;
    if (world.firstDue == &s)
        world.firstDue = nullptr;
    if (layer->first)
        return;
    (layer->previous ? layer->previous->next : world.first) = layer->next;
    (layer->next ? layer->next->previous : world.last) = layer->previous;
    delete layer;
}

void FreeWorld(AnimWorld& world) {
    ForEachSprite(world, [&world](AnimSprite& s) { RemoveSprite(&world, &s); });
    EndAnimDrawing(&world);
    DisposeWindowPixMap(&world.windowMap);
    DisposePixMap(&world.work);
    if (g_world == &world)
        g_world = nullptr;
    delete &world;
}

void BeginMaps(AnimWorld& world) {
    BeginPixMapDraw(world.windowMap);
    BeginPixMapDraw(&world.work);
}

void EndMaps(AnimWorld& world) {
    EndPixMapDraw(&world.work);
    EndPixMapDraw(world.windowMap);
}

void CopyToWindow(AnimWorld& world, const AnimSprite& s, const ShortRect& rect) {
    const ShortRect r = Intersection(rect, world.bounds);
    if (IsEmpty(r))
        return;
    const bool overCard = s.floatOver || s.floatModeChanged;
    CopyPixMapRect(&world.work, world.windowMap, r, r, overCard ? nullptr : world.layerMask);
}

void Advance(AnimWorld& world) {
    world.firstDue = nullptr;
    ForEachSprite(world, [&world](AnimSprite& s) {
        if (s.slots.pathStep && (s.pathDue || s.pathEveryStep || s.pathTimer.Fired())) {
            s.pathTimer.ClearFired();
            s.pathDue = false;
            s.slots.pathStep(s);
            if (s.slots.pathRearm)
                s.slots.pathRearm(s);
            if (!world.firstDue)
                world.firstDue = &s;
        }
        if (s.slots.frameStep && (s.frameDue || s.frameEveryStep || s.frameTimer.Fired())) {
            s.frameTimer.ClearFired();
            const ShortRect old = s.bounds;
            if (s.slots.frameStep(s)) {
                s.bounds = {old.left, old.top, static_cast<int16_t>(old.left + s.frameRect.right - s.frameRect.left),
                            static_cast<int16_t>(old.top + s.frameRect.bottom - s.frameRect.top)};
                s.changed = true;
            }
            if (s.slots.frameRearm)
                s.slots.frameRearm(s);
            else
                s.frameDue = false;
        }
        s.alive = s.slots.endTest(s);
        if (!s.alive)
            s.slots.onEnd(s);
    });
}

void Redraw(AnimWorld& world) {
    std::vector<AnimSprite*> chain;
    ForEachSprite(world, [&](AnimSprite& s) {
        if ((s.changed && s.visible) || (s.visibilityChanged && !s.visible)) {
            s.redraw = Union(s.previousBounds, s.bounds);
            CopyPixMapRect(world.background, &world.work, s.previousBounds, s.previousBounds, nullptr);
            chain.push_back(&s);
        }
    });
    ForEachSprite(world, [&](AnimSprite& s) {
        if (!s.visible)
            return;
        const bool wasChained = std::find(chain.begin(), chain.end(), &s) != chain.end();
        if (s.changed || wasChained) {
            s.slots.draw(s, &world.work, s.frameRect, s.bounds);
            if (s.dontErase)
                s.slots.draw(s, world.background, s.frameRect, s.bounds);
            return;
        }
        for (const AnimSprite* c : chain) {
            const ShortRect o = Intersection(s.bounds, c->redraw);
            if (IsEmpty(o))
                continue;
            // The overlap measured in the frame, which need not start at its picture's corner.
            const int16_t dx = static_cast<int16_t>(s.frameRect.left - s.bounds.left);
            const int16_t dy = static_cast<int16_t>(s.frameRect.top - s.bounds.top);
            const ShortRect source = {static_cast<int16_t>(o.left + dx), static_cast<int16_t>(o.top + dy),
                                      static_cast<int16_t>(o.right + dx), static_cast<int16_t>(o.bottom + dy)};
            s.slots.draw(s, &world.work, source, o);
        }
    });
    for (AnimSprite* s : chain) {
        CopyToWindow(world, *s, s->redraw);
        s->previousBounds = s->bounds;
        s->changed = s->visibilityChanged = false;
    }
}

void AnimWorldStep(AnimWorld& world) {
    if (world.first) {
        BeginMaps(world);
        Advance(world);
        Redraw(world);
        EndMaps(world);
        ForEachSprite(world, [&world](AnimSprite& s) {
            if (!s.alive)
                RemoveSprite(&world, &s);
        });
    }
    if (!world.first)
        world.dispose(world);
}

int NewAnimWorld(AnimWorld** out, HWND window, PixMap* background, HBITMAP layerMask) {
    *out = nullptr;
    auto* world = new (std::nothrow) AnimWorld;
    if (!world)
        return -1;
    world->window = window;
    world->background = background;
    world->layerMask = layerMask;
    world->bounds = PixMapBounds(*background);
    world->step = AnimWorldStep;
    world->dispose = FreeWorld;
    if (NewPixMapForWindow(window, &world->windowMap) != 0 || CopyPixMapRecord(*background, &world->work) != 0) {
        DisposeWindowPixMap(&world->windowMap);
        delete world;
        return -1;
    }
    *out = world;
    return 0;
}

}  // namespace

int StartSprite(HWND window, PixMap* background, HBITMAP layerMask, std::span<const uint8_t> record, uint16_t id) {
    if (!IsSpriteRecord(record))
        return 1;
    const AnimPair identity{GetBE32(record, 10), id};
    AnimSprite* playing = nullptr;
    if (g_world && record.size() > kSpriteAllowClones && !record[kSpriteAllowClones] &&
        FindSpriteByIdentity(g_world, identity, &playing))
        return 0;
    Handle header = 0;
    if (LoadAnimRecord(record.data(), static_cast<uint32_t>(record.size()), &header) != 0)
        return -1;
    ++g_started;
    if (!g_world && (!background || NewAnimWorld(&g_world, window, background, layerMask) != 0)) {
        DisposeSprite(header);
        return -1;
    }
    auto* s = new (std::nothrow) AnimSprite;
    if (!s) {
        DisposeSprite(header);
        if (!g_world->first)
            g_world->dispose(*g_world);
        return -1;
    }
    s->header = header;
    s->identity = identity;
    SetSpriteLong(header, 14, id);
    ReadSettings(*s);
    const bool reset = ResetSprite(*s) == 0;
    AddSpriteToLayers(*g_world, *s);
    if (!reset) {
        Unlink(*g_world, *s);
        FreeSprite(s);
        if (!g_world->first)
            g_world->dispose(*g_world);
        return -1;
    }
    LockSprite(*s);
    PlaceAtStart(*s);
    s->visible = s->changed = s->visibilityChanged = true;
    if (s->slots.frameRearm == ArmFrameTimer)
        Arm(s->frameTimer, s->frameArmed);
    if (s->pathTiming == kTimingTimer && s->slots.pathStep) {
        if (s->pathArmed >= 1)
            ArmPathTimer(*s);
        else
            s->pathDue = s->pathArmed == 0;
    }
    if (s->endCondition == kEndsAfterSeconds)
        Arm(s->endTimer, static_cast<uint32_t>(std::min<uint64_t>(uint64_t(s->seconds) * 1000, UINT32_MAX)));
    return 0;
}

void StepAnimWorld() {
    if (!g_world || g_stepping)
        return;
    g_stepping = true;
    g_world->step(*g_world);
    g_stepping = false;
}

void DisposeAnimWorld() {
    if (g_world)
        g_world->dispose(*g_world);
}

bool AnimWorldExists() { return g_world != nullptr; }

bool IsSpriteRunning(uint16_t id) {
    bool running = false;
    if (g_world)
        ForEachSprite(*g_world, [&](AnimSprite& s) {
            running = running || ((id == 0 || s.identity.number == id) && s.endCondition != kEndsNever && s.alive);
        });
    return running;
}

int InitAnimTimer() {
    DisposeAnimWorld();
    InitTimerResolution();
    return GetTimerResolution() ? 0 : 5402;
}

int DrawSpriteFirstFrame(std::span<const uint8_t> record, PixMap* target) {
    if (!IsSpriteRecord(record))
        return 1;
    if (record.size() <= kSpriteShowFirstFrame || !record[kSpriteShowFirstFrame] || !target)
        return 0;
    auto* s = new (std::nothrow) AnimSprite;
    if (!s)
        return -1;
    if (LoadAnimRecord(record.data(), static_cast<uint32_t>(record.size()), &s->header) != 0) {
        delete s;
        return -1;
    }
    ReadSettings(*s);
    const int result = ResetSprite(*s);
    if (result == 0) {
        LockSprite(*s);
        PlaceAtStart(*s);
        s->slots.draw(*s, target, s->frameRect, s->bounds);
    }
    FreeSprite(s);
    return result;
}

int CountStartedSprites() { return g_started; }

AnimWorld* GetAnimWorld() { return g_world; }

void RedrawAllSprites(AnimWorld* world) {
    if (!world)
        return;
    BeginMaps(*world);
    CopyPixMapRect(world->background, &world->work, world->bounds, world->bounds, nullptr);
    ForEachSprite(*world, [world](AnimSprite& s) {
        if (s.visible)
            s.slots.draw(s, &world->work, s.frameRect, s.bounds);
    });
    CopyPixMapRect(&world->work, world->windowMap, world->bounds, world->bounds, nullptr);
    EndMaps(*world);
}

void RemoveSprite(AnimWorld* world, AnimSprite* sprite) {
    if (!world || !sprite)
        return;
    Unlink(*world, *sprite);
    FreeSprite(sprite);
}

void BeginAnimDrawing(AnimWorld* world) {
    if (!world)
        return;
    BeginMaps(*world);
    ForEachSprite(*world, LockSprite);
}

void EndAnimDrawing(AnimWorld* world) {
    if (!world)
        return;
    ForEachSprite(*world, UnlockSprite);
    EndMaps(*world);
}

bool FindSpriteByIdentity(AnimWorld* world, AnimPair identity, AnimSprite** sprite) {
    *sprite = nullptr;
    if (world)
        ForEachSprite(*world, [&](AnimSprite& s) {
            if (!*sprite && s.identity.kind == identity.kind && s.identity.number == identity.number)
                *sprite = &s;
        });
    return *sprite != nullptr;
}

std::vector<AnimLayerView> DescribeAnimLayers() {
    std::vector<AnimLayerView> layers;
    if (g_world)
        for (AnimLayer* l = g_world->first; l; l = l->next) {
            AnimLayerView view{l->number, {}};
            for (AnimSprite* s = l->first; s; s = s->next)
                view.ids.push_back(s->identity.number);
            layers.push_back(view);
        }
    return layers;
}

Handle GetSpriteHeader(const AnimSprite* sprite) { return sprite->header; }
bool IsSpriteVisible(const AnimSprite* sprite) { return sprite->visible; }
void SetSpriteVisible(AnimSprite* sprite, bool visible) {
    if (sprite->visible != visible)
        sprite->visibilityChanged = true;
    sprite->visible = visible;
    sprite->changed = sprite->changed || visible;
}
bool IsSpriteAlive(const AnimSprite* sprite) { return sprite->alive; }
uint32_t GetSpriteFrameIndex(const AnimSprite* sprite) { return static_cast<uint32_t>(sprite->frame); }
void SetSpriteFrameIndex(AnimSprite* sprite, uint32_t index) {
    sprite->frame = index;
    LoadFrame(*sprite);
}
uint32_t GetSpritePointIndex(const AnimSprite* sprite) { return static_cast<uint32_t>(sprite->point); }
ShortRect GetSpriteCurrentBounds(const AnimSprite* sprite) { return sprite->bounds; }
void MoveSpriteToPoint(AnimSprite* sprite, int16_t x, int16_t y) { MoveToPoint(*sprite, x, y); }
