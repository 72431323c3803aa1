// The stack's change flags.
#include "core/system/ChangeFlags.h"


namespace {
int32_t g_stackChanged = 0;
int32_t g_cardChanged = 0;
int32_t g_stackModified = 0;
CardChangeCheck g_cardChangeCheck = nullptr;
}  // namespace

void SetCardChangeCheck(CardChangeCheck check) { g_cardChangeCheck = check; }

void MarkCardChanged() {
    // An edit may not leave the stack deeper than the display can show.
    if (g_cardChangeCheck)
        g_cardChangeCheck();
    g_cardChanged = 1;
}

void MarkStackChanged() {
    g_stackChanged = 1;
    g_cardChanged = 1;
}

void MarkStackModified() { g_stackModified = 1; }

void ClearCardChanged() { g_cardChanged = 0; }

void ClearStackChanged() {
    g_stackChanged = 0;
    g_stackModified = 0;
}

bool IsStackChanged() { return g_stackChanged != 0 || g_stackModified != 0; }

bool IsCardChanged() { return g_cardChanged != 0; }

int32_t* StackChangedFlagAddress() { return &g_stackChanged; }
int32_t* CardChangedFlagAddress() { return &g_cardChanged; }

ChangeFlags GetChangeFlags() { return {g_stackChanged, g_cardChanged}; }

void SetChangeFlags(const ChangeFlags& flags) {
    g_stackChanged = flags.stackChanged;
    g_cardChanged = flags.cardChanged;
}
