// What the save dialog proposes: its title, filters and default names per mode, and the folder
// it starts in.
#include <array>
#include <cstdio>
#include <string_view>

#include "stack/save/SaveStack.h"

namespace {

constexpr std::array<SaveDialogSpec, 6> kModes = {{
    {2401, "STK", {4109, 4110, 4220, 4221}, kSlotSaveAs},
    {2403, "BMP", {4111, 4112, 0, 0}, kNoSlot},
    {2404, "TXT", {4113, 4114, 0, 0}, kNoSlot},
    {2402, "WAV", {4115, 4116, 0, 0}, kNoSlot},
    {2420, "AVI", {4171, 4172, 0, 0}, kNoSlot},
    {2402, "MID", {0, 0, 0, 0}, kNoSlot},
}};

// One counter for screens, one for texts, one shared by sounds and MIDI.
int g_counters[3] = {0, 0, 0};

int CounterOf(int mode) {
    switch (mode) {
    case kSaveScreen: return 0;
    case kSaveText: return 1;
    case kSaveSound:
    case kSaveMidi: return 2;
    default: return -1;
    }
}

}  // namespace

const SaveDialogSpec& SaveDialogSpecFor(int mode) {
    return kModes[mode >= 0 && mode < int(kModes.size()) ? size_t(mode) : 0];
}

std::string NextNumberedSaveName(int mode) {
    const int counter = CounterOf(mode);
    if (counter < 0)
        return {};
    int& n = g_counters[counter];
    n = n >= 99 ? 1 : n + 1;
    const char* base = mode == kSaveSound ? "wav" : mode == kSaveMidi ? "mid" : "";
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d.%s", base, n, SaveDialogSpecFor(mode).extension);
    return name;
}

void ResetSaveNameCounters() { g_counters[0] = g_counters[1] = g_counters[2] = 0; }

std::string SuggestSaveFolder(int mode, int fileKind, const char* remembered) {
    if (mode != kSaveStack || fileKind != 1 || !remembered || std::string_view(remembered) == "Bad")
        return {};
    return remembered;
}
