#include "host/requests/RequestRules.h"

namespace {

constexpr int kNamedTransitions = 27;
constexpr int kFirstRequestedEffect = kNamedTransitions + 1;

bool KnownSpeed(int speed) { return speed == 0 || speed == 8 || speed == 16 || speed == 32; }

}  // namespace

RequestedMove CheckRequestedMove(int transition, int speed, int effect, int effectCount) {
    const int last = kNamedTransitions + (effectCount > 0 ? effectCount : 0);
    if (transition < 1 || transition > last || !KnownSpeed(speed))
        return {};
    RequestedMove move;
    move.transition = transition;
    move.speed = speed;
    move.effect = transition >= kFirstRequestedEffect ? effect : 0;
    return move;
}
