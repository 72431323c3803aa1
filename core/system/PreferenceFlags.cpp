// User and stack preferences in force.
#include "core/system/PreferenceFlags.h"

namespace {
// The preferences in force, one record: the user's, then the open stack's.
struct PreferencesInForce {
    bool advancedUser = false;
    bool stackLocked = false;
    bool cardNumberInTitle = false;
    bool timersOn = true;  // a new stack turns them on
    bool autoSave = false;
    bool clickFilter = false;
    Presentation presentation;
} g_inForce;
}  // namespace

bool IsAdvancedUser() { return g_inForce.advancedUser; }
void SetAdvancedUser(bool advanced) { g_inForce.advancedUser = advanced; }
bool IsStackLocked() { return g_inForce.stackLocked; }
void SetStackLocked(bool locked) { g_inForce.stackLocked = locked; }
bool IsCardNumberInTitle() { return g_inForce.cardNumberInTitle; }
void SetCardNumberInTitle(bool shown) { g_inForce.cardNumberInTitle = shown; }
bool AreTimersOn() { return g_inForce.timersOn; }
void SetTimersOn(bool on) { g_inForce.timersOn = on; }
bool IsAutoSave() { return g_inForce.autoSave; }
void SetAutoSave(bool on) { g_inForce.autoSave = on; }
bool IsClickFilterOn() { return g_inForce.clickFilter; }
void SetClickFilter(bool on) { g_inForce.clickFilter = on; }
Presentation& CurrentPresentation() { return g_inForce.presentation; }
