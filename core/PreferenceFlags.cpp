// The experienced-user flag: unforced alerts stay silent for an experienced user.
#include "core/PreferenceFlags.h"

namespace {
bool g_advancedUser = false;
}

bool IsAdvancedUser() { return g_advancedUser; }
void SetAdvancedUser(bool advanced) { g_advancedUser = advanced; }
