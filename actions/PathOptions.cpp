// The path options' state read from a sprite header and written back (actions/PathOptions.h).
#include "actions/PathOptionsState.h"

#include <algorithm>
#include <cstdint>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

// Time scales of the recorded-speed choices, in their combo box's order.
constexpr uint32_t kSpeedScales[] = {400, 200, 100, 50, 33};

struct Header {
    explicit Header(Handle sprite) : lock(sprite), bytes(lock.bytes()) {
        if (bytes.size() < kSpriteHeaderBytes)
            bytes = {};
    }
    uint16_t Word(uint32_t at) const { return GetU16(bytes, at); }
    uint32_t Long(uint32_t at) const { return GetU32(bytes, at); }
    bool Byte(uint32_t at) const { return !bytes.empty() && bytes[at] != 0; }
    void SetWord(uint32_t at, uint16_t v) { SetU16(bytes, at, v); }
    void SetLong(uint32_t at, uint32_t v) { SetU32(bytes, at, v); }
    void SetByte(uint32_t at, bool v) {
        if (!bytes.empty())
            bytes[at] = v ? 1 : 0;
    }
    HandleLock lock;
    std::span<uint8_t> bytes;
};

// The path's point count and the sum of the recorded times of its points, each bounded by the
// handle's size.
struct PathFacts {
    uint32_t count = 0;
    uint64_t totalTime = 0;
};

PathFacts ReadPathFacts(Handle path) {
    PathFacts facts;
    if (!path)
        return facts;
    HandleLock lock(path);
    const std::span<const uint8_t> p = lock.bytes();
    if (p.size() < kPathFixedBytes)
        return facts;
    const uint32_t stored = GetU32(p, kPathPointCount);
    const uint32_t room = static_cast<uint32_t>((p.size() - kPathPoints) / kPathPointBytes);
    facts.count = std::min(stored, room);
    for (uint32_t i = 0; i < facts.count; ++i)
        facts.totalTime += GetU32(p, kPathPoints + kPathPointBytes * i + kPointTime);
    return facts;
}

// The state an end shows for a step kind.
int EndStateOfKind(uint16_t kind) {
    switch (kind) {
    case kPathStepBackAndForth: return kEndReverse;
    case kPathStepWrap: return kEndLoop;
    default: return kEndStop;
    }
}

int SpeedOfScale(uint32_t scale) {
    switch (scale) {
    case 400: return kSpeedQuarter;
    case 200: return kSpeedHalf;
    case 50: return kSpeedDouble;
    case 33: return kSpeedTriple;
    default: return kSpeedFull;
    }
}

}  // namespace

int ActivePathEnd(const PathOptionsState& s) { return s.startHere ? s.begin : s.end; }

bool ReturningEnabled(const PathOptionsState& s) { return ActivePathEnd(s) == kEndReverse; }
bool BeginTogglesEnabled(const PathOptionsState& s) { return s.startHere && s.begin == kEndReverse; }
bool EndTogglesEnabled(const PathOptionsState& s) { return !s.startHere && s.end == kEndReverse; }

PathOptionsState ReadPathOptions(Handle sprite, int keptEnd) {
    PathOptionsState s;
    Header h(sprite);
    if (h.bytes.empty())
        return s;
    const PathFacts path = ReadPathFacts(h.Long(kSpritePathHandle));
    const uint32_t count = std::max<uint32_t>(path.count, 1);

    const uint16_t source = h.Word(kSpritePathSource);
    const uint32_t interval = h.Long(kSpritePathInterval);
    if (source == kPathSourceRecorded) {
        s.move = kMoveRecordedSpeed;
        s.seconds = static_cast<uint32_t>(std::min<uint64_t>(path.totalTime / 1000, UINT32_MAX));
        s.timesPerSecond = s.seconds / count;
    } else {
        s.move = source == kPathSourceEndToEnd ? kMoveEndToEnd : kMoveTimesPerSecond;
        s.timesPerSecond = interval ? 1000 / interval : 0;
        // Rounded: the interval written for whole seconds was cut to whole milliseconds.
        s.seconds = static_cast<uint32_t>(std::min<uint64_t>((uint64_t{interval} * count + 500) / 1000, UINT32_MAX));
    }
    s.seconds = std::max<uint32_t>(s.seconds, 1);
    s.speed = SpeedOfScale(h.Long(kSpritePathScale));

    const uint16_t layer = h.Word(kSpriteLayer);
    s.layer = layer == kLayerTop ? kLayerChoiceTop : layer == kLayerBottom ? kLayerChoiceBottom : kLayerChoiceAny;

    const uint16_t kind = h.Word(kSpritePathStep);
    if (kind == kPathStepNone) {
        s.pathless = true;
        s.begin = kEndBegin;
        s.end = keptEnd >= kEndStop && keptEnd <= kEndLoop ? keptEnd : kEndStop;
        s.startHereEnabled = false;
    } else {
        const uint32_t end = h.Long(kSpriteEndPoint);
        const bool atLast = end > 0 && h.Long(kSpriteStartPoint) == end - 1 && end > h.Long(kSpriteFirstPoint) + 1;
        s.startHere = atLast;
        s.startHereEnabled = true;
        (atLast ? s.end : s.begin) = kEndBegin;
        (atLast ? s.begin : s.end) = EndStateOfKind(kind);
    }

    s.flipBeginH = h.Word(kSpriteAnglesAtEnd) == kAngleMirrored;
    s.flipBeginV = h.Word(kSpriteAnglesAtEnd + 2) == kAngleMirrored;
    s.flipEndH = h.Word(kSpriteAnglesElsewhere) == kAngleMirrored;
    s.flipEndV = h.Word(kSpriteAnglesElsewhere + 2) == kAngleMirrored;
    s.floatGoing = h.Byte(kSpriteFloatGoing);
    s.dontEraseGoing = h.Byte(kSpriteDontEraseGoing);
    s.floatReturning = h.Byte(kSpriteFloatReturning);
    s.dontEraseReturning = h.Byte(kSpriteDontEraseReturning);
    return s;
}

void WritePathOptions(Handle sprite, const PathOptionsState& s) {
    Header h(sprite);
    if (h.bytes.empty())
        return;
    const PathFacts path = ReadPathFacts(h.Long(kSpritePathHandle));

    switch (s.move) {
    case kMoveRecordedSpeed:
        h.SetWord(kSpritePathSource, kPathSourceRecorded);
        h.SetLong(kSpritePathScale, kSpeedScales[std::clamp(s.speed, 0, 4)]);
        break;
    case kMoveEndToEnd:
        // The seconds the whole path takes, spread over its points.
        h.SetWord(kSpritePathSource, kPathSourceEndToEnd);
        h.SetLong(kSpritePathInterval,
                  static_cast<uint32_t>(std::min<uint64_t>(uint64_t{s.seconds} * 1000 / std::max<uint32_t>(path.count, 1),
                                                           UINT32_MAX)));
        break;
    default:
        h.SetWord(kSpritePathSource, kPathSourceInterval);
        h.SetLong(kSpritePathInterval, 1000 / std::max<uint32_t>(s.timesPerSecond, 1));
        break;
    }

    h.SetWord(kSpriteLayer, s.layer == kLayerChoiceBottom ? kLayerBottom : s.layer == kLayerChoiceTop ? kLayerTop : kLayerAny);

    const uint32_t first = h.Long(kSpriteFirstPoint);
    const uint32_t end = h.Long(kSpriteEndPoint);
    uint16_t kind;
    if (h.Word(kSpritePathStep) == kPathStepNone || s.end != kEndBegin || end == 0) {
        h.SetLong(kSpriteStartPoint, first);
        h.SetLong(kSpritePathIncrement, 1);
        kind = kPathStepForward;
    } else {
        h.SetLong(kSpriteStartPoint, end - 1);
        h.SetLong(kSpritePathIncrement, static_cast<uint32_t>(-1));
        kind = kPathStepBackward;
    }
    if (s.begin == kEndReverse || s.end == kEndReverse) {
        kind = kPathStepBackAndForth;
        h.SetByte(kSpriteMirrorAtStart, s.flipBeginH || s.flipBeginV);
        h.SetByte(kSpriteMirrorAtEnd, s.flipEndH || s.flipEndV);
    } else if (s.begin == kEndLoop || s.end == kEndLoop) {
        // Round again from the start, in the direction chosen.
        kind = kPathStepWrap;
    }
    h.SetWord(kSpritePathStep, kind);

    h.SetWord(kSpriteAnglesAtEnd, s.flipBeginH ? kAngleMirrored : 0);
    h.SetWord(kSpriteAnglesAtEnd + 2, s.flipBeginV ? kAngleMirrored : 0);
    h.SetWord(kSpriteAnglesElsewhere, s.flipEndH ? kAngleMirrored : 0);
    h.SetWord(kSpriteAnglesElsewhere + 2, s.flipEndV ? kAngleMirrored : 0);

    h.SetByte(kSpriteFloatGoing, s.floatGoing);
    h.SetByte(kSpriteDontEraseGoing, s.dontEraseGoing);
    if (kind == kPathStepBackAndForth) {
        h.SetByte(kSpriteFloatReturning, s.floatReturning);
        h.SetByte(kSpriteDontEraseReturning, s.dontEraseReturning);
    }
}

bool ClickPathEnd(PathOptionsState* s, bool endButton) {
    int& state = endButton ? s->end : s->begin;
    if (state == kEndBegin)
        return false;
    state = state == kEndLoop ? kEndStop : state + 1;
    return true;
}

void SetPathStartHere(PathOptionsState* s, bool on) {
    if (on == s->startHere)
        return;
    s->startHere = on;
    if (on) {
        s->begin = s->end;
        s->end = kEndBegin;
        s->flipBeginH = s->flipEndH;
        s->flipBeginV = s->flipEndV;
    } else {
        s->end = s->begin;
        s->begin = kEndBegin;
        s->flipEndH = s->flipBeginH;
        s->flipEndV = s->flipBeginV;
    }
}
