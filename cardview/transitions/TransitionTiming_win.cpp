// Transition step timing.
#include "cardview/transitions/TransitionTiming.h"

#include "core/system/Ticks.h"
#include "graphics/palette/PaletteBlend.h"
#include "media/MediaManager.h"

namespace {

struct StepState {
    int speed = 8;
    int count = 0;
    int step = 0;
    uint32_t start = 0;
    int time = 0;
};

StepState g_steps;

}  // namespace

TransitionStepHooks& TransitionHooks() {
    static TransitionStepHooks hooks = {BlendPaletteStep, nullptr, nullptr};
    return hooks;
}

void TransitionMediaIdle() { MediaIdleControllers(); }

void SetTransitionSpeed(int speed) { g_steps.speed = speed; }
int TransitionSpeed() { return g_steps.speed; }

void BeginTransitionSteps(int stepCount) {
    g_steps.step = 0;
    g_steps.count = stepCount;
    g_steps.start = GetTicks();
    g_steps.time = TransitionStepTime(g_steps.speed, stepCount);
}

void WaitQuarterTicksSince(uint32_t start, int64_t quarterTicks) {
    // The tick count wraps with the millisecond count; unsigned differences stay right.
    while (int64_t{4} * static_cast<uint32_t>(GetTicks() - start) < quarterTicks) {
    }
}

void WaitTransitionStep(int blend) {
    const TransitionStepHooks& hooks = TransitionHooks();
    if (blend && hooks.blendStep)
        hooks.blendStep(TransitionBlendLevel(g_steps.step, g_steps.count));
    TransitionMediaIdle();
    ++g_steps.step;
    if (hooks.stepEnded)
        hooks.stepEnded(g_steps.step, g_steps.count, hooks.context);
    WaitQuarterTicksSince(g_steps.start, int64_t{g_steps.time} * g_steps.step);
}

void FinishTransitionSteps(int blend) {
    while (g_steps.step < g_steps.count)
        WaitTransitionStep(blend);
}

int TransitionStepIndex() { return g_steps.step; }
int TransitionStepCount() { return g_steps.count; }
uint32_t TransitionStartTick() { return g_steps.start; }
