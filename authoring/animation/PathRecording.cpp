// Recording a path: samples, the Shift axis lock and the points built from the samples.
#include "authoring/animation/PathRecording.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Quick small steps (under this many milliseconds, within 3 by 10 or 10 by 3 pixels of the last
// kept point) only add their time to the next point kept.
constexpr uint32_t kMergeMilliseconds = 30;

void ApplyLock(PathRecorder* r, int* x, int* y, bool shift) {
    if (!shift) {
        r->anchored = false;
        r->lock = 0;
        return;
    }
    if (!r->anchored) {
        r->anchored = true;
        r->anchorX = *x;
        r->anchorY = *y;
        r->lock = 0;
        return;
    }
    if (r->lock == 0) {
        const int dx = std::abs(*x - r->anchorX), dy = std::abs(*y - r->anchorY);
        if (dx >= kAxisLockDistance || dy >= kAxisLockDistance)
            r->lock = dx >= dy ? 1 : 2;
    }
    if (r->lock == 1)
        *y = r->anchorY;
    else if (r->lock == 2)
        *x = r->anchorX;
}

bool AddSample(PathRecorder* r, int x, int y, uint32_t now, uint32_t ownTime) {
    if (r->samples.size() >= kMaxPathSamples) {
        ++r->dropped;
        return false;
    }
    if (r->strokeHasSample && !r->samples.empty())
        r->samples.back().time = now - r->lastTaken;
    r->samples.push_back({ownTime, x, y, 0});
    r->lastTaken = now;
    r->strokeHasSample = true;
    return true;
}

int16_t Clamp16(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

}  // namespace

void ResetPathRecorder(PathRecorder* recorder) {
    std::vector<PathSample> samples = std::move(recorder->samples);
    samples.clear();
    *recorder = PathRecorder{};
    recorder->samples = std::move(samples);
    recorder->samples.reserve(kMaxPathSamples);
}

bool RecorderPress(PathRecorder* recorder, int* x, int* y, bool shift, uint32_t now) {
    recorder->recording = true;
    recorder->anchored = false;
    recorder->lock = 0;
    recorder->strokeHasSample = false;
    return RecorderMove(recorder, x, y, shift, now);
}

bool RecorderMove(PathRecorder* recorder, int* x, int* y, bool shift, uint32_t now) {
    ApplyLock(recorder, x, y, shift);
    if (!recorder->recording)
        return false;
    if (recorder->strokeHasSample && !recorder->samples.empty()) {
        const PathSample& last = recorder->samples.back();
        const int64_t dx = *x - last.x, dy = *y - last.y;
        if (dx * dx + dy * dy < kMinSampleDistance2)
            return false;
    }
    return AddSample(recorder, *x, *y, now, 0);
}

void RecorderRelease(PathRecorder* recorder, int* x, int* y, bool shift, uint32_t now) {
    ApplyLock(recorder, x, y, shift);
    if (recorder->recording && recorder->samples.size() > 2)
        AddSample(recorder, *x, *y, now, std::max<uint32_t>(1, now - recorder->lastTaken));
    recorder->recording = false;
}

bool IsModifierKey(uint32_t virtualKey) {
    switch (virtualKey) {
    case 0x10: case 0x11: case 0x12:  // Shift, Ctrl, Alt
    case 0x14: case 0x90: case 0x91:  // Caps, Num and Scroll Lock
    case 0x5B: case 0x5C: case 0x5D:  // the Windows keys and the menu key
    case 0xA0: case 0xA1: case 0xA2: case 0xA3: case 0xA4: case 0xA5:
        return true;
    default:
        return false;
    }
}

std::vector<PathPoint> BuildRecordedPath(std::span<const PathSample> samples) {
    std::vector<PathPoint> points;
    if (samples.empty())
        return points;
    points.push_back({Clamp16(samples[0].x), Clamp16(samples[0].y), 0, samples[0].time, 0});
    PathSample kept = samples[0];
    uint32_t sum = 0;
    for (const PathSample& s : samples.subspan(1)) {
        const int dx = std::abs(s.x - kept.x), dy = std::abs(s.y - kept.y);
        const bool near = (dx <= 3 && dy <= 10) || (dx <= 10 && dy <= 3);
        if (near && s.time < kMergeMilliseconds) {
            sum += s.time;
            continue;
        }
        if (s.time == 0)
            continue;
        points.push_back({Clamp16(s.x), Clamp16(s.y), 0, s.time + sum, 0});
        sum = 0;
        kept = s;
    }
    return points;
}
