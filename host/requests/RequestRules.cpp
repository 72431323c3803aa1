#include "host/requests/RequestRules.h"

#include "objects/text/FindText.h"

namespace {

constexpr int kNamedTransitions = 27;
constexpr int kFirstRequestedEffect = kNamedTransitions + 1;

bool KnownSpeed(int speed) { return speed == 0 || speed == 8 || speed == 16 || speed == 32; }

// The find request's option bits; both field bits together ask for all fields.
enum FindRequestOption : uint32_t {
    kFindRequestCase = 1,
    kFindRequestReadOnly = 2,
    kFindRequestEditable = 4,
    kFindRequestWrap = 8,
};

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

uint16_t FindFlagsOfRequest(uint32_t options) {
    const uint32_t fields = options & (kFindRequestReadOnly | kFindRequestEditable);
    uint16_t flags = fields == kFindRequestReadOnly   ? kFindReadOnly
                     : fields == kFindRequestEditable ? kFindEditable
                                                      : kFindAllFields;
    if (options & kFindRequestCase)
        flags |= kFindCaseSensitive;
    if (options & kFindRequestWrap)
        flags |= kFindWrap;
    return flags;
}
