// User and stack preferences in force.
#include "core/system/PreferenceFlags.h"

namespace {
bool g_advancedUser = false;
bool g_stackLocked = false;
bool g_cardNumberInTitle = false;
bool g_timersOn = true;  // a new stack turns them on
bool g_autoSave = false;
bool g_clickFilter = false;
Presentation g_presentation;
}  // namespace

bool IsAdvancedUser() { return g_advancedUser; }
void SetAdvancedUser(bool advanced) { g_advancedUser = advanced; }
bool IsStackLocked() { return g_stackLocked; }
void SetStackLocked(bool locked) { g_stackLocked = locked; }
bool IsCardNumberInTitle() { return g_cardNumberInTitle; }
void SetCardNumberInTitle(bool shown) { g_cardNumberInTitle = shown; }
bool AreTimersOn() { return g_timersOn; }
void SetTimersOn(bool on) { g_timersOn = on; }
bool IsAutoSave() { return g_autoSave; }
void SetAutoSave(bool on) { g_autoSave = on; }
bool IsClickFilterOn() { return g_clickFilter; }
void SetClickFilter(bool on) { g_clickFilter = on; }
Presentation& CurrentPresentation() { return g_presentation; }
