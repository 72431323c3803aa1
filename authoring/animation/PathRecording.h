// Recording a path with the mouse, without the window: the samples a stroke leaves (one each time
// the pointer has moved far enough), the Shift axis lock, and the path points made from them.
// The window side is AnimRecording_win.cpp.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "media/animation/AnimRecord.h"

// One sample as the recording buffer keeps it (16 bytes): milliseconds until the next sample,
// then where the pointer was.
struct PathSample {
    uint32_t time = 0;
    int32_t x = 0, y = 0;
    uint32_t unused = 0;
};
inline constexpr uint32_t kRecordingBufferBytes = 1u << 20;
inline constexpr uint32_t kMaxPathSamples = kRecordingBufferBytes / sizeof(PathSample);  // 65,536
// A move shorter than this (squared, in pixels) adds no sample.
inline constexpr int kMinSampleDistance2 = 31;
// Shift: how far the pointer goes from where it was pressed before an axis is chosen.
inline constexpr int kAxisLockDistance = 16;

struct PathRecorder {
    std::vector<PathSample> samples;  // never past kMaxPathSamples: later ones are dropped
    bool recording = false;
    bool strokeHasSample = false;     // the last sample belongs to the stroke under way
    uint32_t lastTaken = 0;           // when the last sample was taken
    bool anchored = false;            // Shift: the anchor is set
    int anchorX = 0, anchorY = 0;
    int lock = 0;                     // 0 none, 1 horizontal (y held), 2 vertical (x held)
    uint32_t dropped = 0;             // samples past the buffer
};

// A clean recorder; the buffer's room is taken once.
void ResetPathRecorder(PathRecorder* recorder);
// The left button pressed (a double click counts as a press): recording on, the lock cleared,
// then the point taken as a move. True when a sample was added.
bool RecorderPress(PathRecorder* recorder, int* x, int* y, bool shift, uint32_t now);
// The pointer moved: the lock applied to (x, y) (where the object is drawn); while recording, a
// sample when it is far enough from the last one. True when a sample was added.
bool RecorderMove(PathRecorder* recorder, int* x, int* y, bool shift, uint32_t now);
// The left button released: the lock applied; with more than two samples one more at the release
// point; recording off.
void RecorderRelease(PathRecorder* recorder, int* x, int* y, bool shift, uint32_t now);
// Modifier keys hold or change Shift but never end a recording.
bool IsModifierKey(uint32_t virtualKey);

// The path's points: the first sample always, then each sample that is not a quick small step
// from the last kept point (those only add their time), when its time is above 0.
std::vector<PathPoint> BuildRecordedPath(std::span<const PathSample> samples);
