// Transition step timing.
#include "cardview/transitions/TransitionTiming.h"

#include "cardview/transitions/TransitionContext.h"
#include "core/system/Ticks.h"
#include "graphics/palette/PaletteBlend.h"
#include "media/MediaManager.h"

namespace {

struct StepState {
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

void BeginTransitionSteps(const TransitionContext& c, int stepCount) {
    g_steps.step = 0;
    g_steps.count = stepCount;
    g_steps.start = GetTicks();
    g_steps.time = TransitionStepTime(c.speed, stepCount);
}

void WaitQuarterTicksSince(uint32_t start, int64_t quarterTicks) {
    // The tick count wraps with the millisecond count; unsigned differences stay right.
    while (int64_t{4} * static_cast<uint32_t>(GetTicks() - start) < quarterTicks) {
    }
}

void WaitTransitionStep(const TransitionContext& c) {
    const TransitionStepHooks& hooks = TransitionHooks();
    if (c.blend && hooks.blendStep)
        hooks.blendStep(TransitionBlendLevel(g_steps.step, g_steps.count));
    TransitionMediaIdle();
    ++g_steps.step;
    if (hooks.stepEnded)
        hooks.stepEnded(c, g_steps.step, g_steps.count, hooks.observer);
    WaitQuarterTicksSince(g_steps.start, int64_t{g_steps.time} * g_steps.step);
}

void FinishTransitionSteps(const TransitionContext& c) {
    while (g_steps.step < g_steps.count)
        WaitTransitionStep(c);
}

int TransitionStepIndex() { return g_steps.step; }
int TransitionStepCount() { return g_steps.count; }
uint32_t TransitionStartTick() { return g_steps.start; }
