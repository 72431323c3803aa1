#include "host/requests/RequestGuard.h"

#include <array>

#include "host/requests/HostRequests.h"

namespace {

constexpr GuardedRequest R = GuardedRequest::kRuns;
constexpr GuardedRequest W = GuardedRequest::kWaits;
constexpr GuardedRequest X = GuardedRequest::kRefused;

// Ten codes a row, 0 to 190. Waits: the moves (1-5, 190), redraws and updates (6, 38, 152,
// 170, 171), find (8, it shows the match), menu commands (10), object and field writes (26-30,
// 32, 34, 43, 44, 59, 109, 180, 183-185, 187), card order and marks (62-64, 70, 119, 131), the
// undo step (96), printing (99, 102, 164, it makes a field active), resources (127), the tool
// (146), transitions (151), the background and preview (159, 178), movie commands (160, they
// may close a movie a dialog holds), scripts (172, 174) and palettes (176, 177). Refused: the
// card's drawing targets (48, 86) and its rendering (115, which writes the card's layers into
// its record first): a module must not draw into the card under the author's edit; another
// stack's open (129).
constexpr std::array<GuardedRequest, kRequestCodeCount> kRules = {
    R, W, W, W, W, W, W, R, W, R,  // 0
    W, R, R, R, R, R, R, R, R, R,  // 10
    R, R, R, R, R, R, W, W, W, W,  // 20
    W, R, W, R, W, R, R, R, W, R,  // 30
    R, R, R, W, W, R, R, R, X, R,  // 40
    R, R, R, R, R, R, R, R, R, W,  // 50
    R, R, W, W, W, R, R, R, R, R,  // 60
    W, R, R, R, R, R, R, R, R, R,  // 70
    R, R, R, R, R, R, X, R, R, R,  // 80
    R, R, R, R, R, R, W, R, R, W,  // 90
    R, R, W, R, R, R, R, R, R, W,  // 100
    R, R, R, R, R, X, R, R, R, W,  // 110
    R, R, R, R, R, R, R, W, R, X,  // 120
    R, W, R, R, R, R, R, R, R, R,  // 130
    R, R, R, R, R, R, W, R, R, R,  // 140
    R, W, W, R, R, R, R, R, R, W,  // 150
    W, R, R, R, W, R, R, R, R, R,  // 160
    W, W, W, R, W, R, W, W, W, R,  // 170
    W, R, R, W, W, W, R, W, R, R,  // 180
    W,                             // 190
};

}  // namespace

GuardedRequest GuardedRequestRule(int code) {
    if (code < 0 || code >= kRequestCodeCount)
        return GuardedRequest::kRuns;
    return kRules[static_cast<size_t>(code)];
}

GuardedRequest GuardedRequestOf(int code, const NbaParamBlock& b) {
    const bool writes = code == 146 ? b.param1 == 1 : code == 183 ? b.param3 == 2 : code == 184 ? b.param2 == 1 : true;
    return writes ? GuardedRequestRule(code) : GuardedRequest::kRuns;
}
