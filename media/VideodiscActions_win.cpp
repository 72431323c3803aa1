// MINIMAL videodisc actions (see VideodiscActions.h).
#include "media/VideodiscActions.h"

namespace {
int g_asked = 0;
}  // namespace

void DoVideodiscAction(HWND, std::span<const uint8_t>) { ++g_asked; }

int VideodiscActionsAsked() { return g_asked; }
