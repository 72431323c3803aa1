// The stack's change flags.
#include "core/system/ChangeFlags.h"


namespace {
// Whether the stack and its current card need saving, and who checks a card edit first.
struct ChangeState {
    int32_t stackChanged = 0;
    int32_t cardChanged = 0;
    int32_t stackModified = 0;
    uint32_t count = 0;
    CardChangeCheck cardChangeCheck = nullptr;
} g_changes;
}  // namespace

void SetCardChangeCheck(CardChangeCheck check) { g_changes.cardChangeCheck = check; }

void MarkCardChanged() {
    // An edit may not leave the stack deeper than the display can show.
    if (g_changes.cardChangeCheck)
        g_changes.cardChangeCheck();
    g_changes.cardChanged = 1;
    ++g_changes.count;
}

void MarkStackChanged() {
    g_changes.stackChanged = 1;
    g_changes.cardChanged = 1;
    ++g_changes.count;
}

void MarkStackModified() {
    g_changes.stackModified = 1;
    ++g_changes.count;
}

uint32_t ChangeCount() { return g_changes.count; }

void ClearCardChanged() { g_changes.cardChanged = 0; }

void ClearStackChanged() {
    g_changes.stackChanged = 0;
    g_changes.stackModified = 0;
}

bool IsStackChanged() { return g_changes.stackChanged != 0 || g_changes.stackModified != 0; }

bool IsCardChanged() { return g_changes.cardChanged != 0; }

int32_t* StackChangedFlagAddress() { return &g_changes.stackChanged; }
int32_t* CardChangedFlagAddress() { return &g_changes.cardChanged; }

ChangeFlags GetChangeFlags() { return {g_changes.stackChanged, g_changes.cardChanged}; }

void SetChangeFlags(const ChangeFlags& flags) {
    if (flags.stackChanged || flags.cardChanged)
        ++g_changes.count;
    g_changes.stackChanged = flags.stackChanged;
    g_changes.cardChanged = flags.cardChanged;
}
