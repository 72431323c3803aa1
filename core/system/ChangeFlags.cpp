// The stack's change flags.
#include "core/system/ChangeFlags.h"


namespace {
int32_t gStackChanged = 0;
int32_t gCardChanged = 0;
int32_t gStackModified = 0;
CardChangeCheck gCardChangeCheck = nullptr;
}  // namespace

void SetCardChangeCheck(CardChangeCheck check) { gCardChangeCheck = check; }

void MarkCardChanged() {
    // An edit may not leave the stack deeper than the display can show.
    if (gCardChangeCheck)
        gCardChangeCheck();
    gCardChanged = 1;
}

void MarkStackChanged() {
    gStackChanged = 1;
    gCardChanged = 1;
}

void MarkStackModified() { gStackModified = 1; }

void ClearCardChanged() { gCardChanged = 0; }

void ClearStackChanged() {
    gStackChanged = 0;
    gStackModified = 0;
}

bool IsStackChanged() { return gStackChanged != 0 || gStackModified != 0; }

bool IsCardChanged() { return gCardChanged != 0; }

ChangeFlags GetChangeFlags() { return {gStackChanged, gCardChanged}; }

void SetChangeFlags(const ChangeFlags& flags) {
    gStackChanged = flags.stackChanged;
    gCardChanged = flags.cardChanged;
}
