// The step clock of the transitions: a fixed number of steps timed in quarter ticks against one
// start tick, so that slow drawing shortens the waits instead of lengthening the transition.
// Every step end moves the palette blend along (when asked), gives the media manager's movie
// controllers idle time and tells an observer (tests capture frames there). Ticks come from
// core/system/Ticks.h, whose millisecond source tests replace.
#pragma once

#include <cstdint>

// Quarter ticks per step: speed x 32 / n (integer division); 0 for no steps.
constexpr int TransitionStepTime(int speed, int stepCount) {
    return stepCount >= 1 ? speed * 32 / stepCount : 0;
}
// Whether step `step` (counted after it was taken) may end: 4 x elapsed >= time x step.
constexpr bool TransitionStepDue(uint32_t elapsedTicks, int stepTime, int step) {
    return int64_t{4} * elapsedTicks >= int64_t{stepTime} * step;
}
// The palette blend level at the end of step (0-based) of n: (step + 1) x 256 / n.
constexpr int TransitionBlendLevel(int step, int stepCount) {
    return stepCount >= 1 ? (step + 1) * 256 / stepCount : 256;
}

// What a step end calls besides waiting and the media idle time. Each may be null.
struct TransitionStepHooks {
    void (*blendStep)(int level);         // BlendPaletteStep, with the blend flag set
    void (*stepEnded)(int step, int stepCount, void* context);  // after the step, before the wait
    void* context;
};
// The hooks in force. The defaults: BlendPaletteStep, no observer.
TransitionStepHooks& TransitionHooks();
// Media idle time now (MediaIdleControllers; the copies of BlitTransitionRect call it too).
void TransitionMediaIdle();

// The speed in force for the steps (8, 16 or 32; "Fastest" lowers it for its bands).
void SetTransitionSpeed(int speed);
int TransitionSpeed();

// BeginTransitionSteps(n): step 0, start now, time per step from the speed.
void BeginTransitionSteps(int stepCount);
// Ends one step: blend (with the flag), media idle, observer, then the wait.
void WaitTransitionStep(int blend);
// Ends the steps not taken yet.
void FinishTransitionSteps(int blend);
// The step counters of the steps begun last.
int TransitionStepIndex();
int TransitionStepCount();
uint32_t TransitionStartTick();
// Waits until 4 x (now - start) >= quarterTicks; media idle is not given. Used by the fades
// and the zoom, which keep their own schedules.
void WaitQuarterTicksSince(uint32_t start, int64_t quarterTicks);
