// The step clock of the transitions: a fixed number of steps timed in quarter ticks against one
// start tick, so that slow drawing shortens the waits instead of lengthening the transition.
// The speed and the blend flag come with the transition's context (TransitionContext.h). Every
// step end moves the palette blend along (when asked), gives the media manager's movie
// controllers idle time and tells an observer, handing it the context (tests capture frames and
// the running move there). Ticks come from core/system/Ticks.h, whose millisecond source tests
// replace.
#pragma once

#include <cstdint>

struct TransitionContext;

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
    void (*blendStep)(int level);  // BlendPaletteStep, with the blend flag set
    // After the step, before the wait: the transition's context and the observer's own pointer.
    void (*stepEnded)(const TransitionContext& transition, int step, int stepCount, void* observer);
    void* observer;
};
// The hooks in force. The defaults: BlendPaletteStep, no observer.
TransitionStepHooks& TransitionHooks();
// Media idle time now (MediaIdleControllers; the copies of BlitTransitionRect call it too).
void TransitionMediaIdle();

// BeginTransitionSteps(c, n): step 0, start now, time per step from the context's speed.
void BeginTransitionSteps(const TransitionContext& c, int stepCount);
// Ends one step: blend (with the context's flag), media idle, observer, then the wait.
void WaitTransitionStep(const TransitionContext& c);
// Ends the steps not taken yet.
void FinishTransitionSteps(const TransitionContext& c);
// The step counters of the steps begun last.
int TransitionStepIndex();
int TransitionStepCount();
uint32_t TransitionStartTick();
// Waits until 4 x (now - start) >= quarterTicks; media idle is not given. Used by the fades
// and the zoom, which keep their own schedules.
void WaitQuarterTicksSince(uint32_t start, int64_t quarterTicks);
