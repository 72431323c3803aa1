// The once-per-run list of alerts: the string ids of once-only alerts already shown, so that
// each is shown at most once per run. Up to 500 ids in a 2000-byte handle, made on the first
// alert and freed at shut-down.
#pragma once

#include <cstdint>

inline constexpr int kAlertSuppressionCapacity = 500;

// Makes the list when it does not exist yet; false when it cannot be made.
bool EnsureAlertSuppressionList();

// For a once-only alert about to be shown: true when it must stay hidden (its id is already in
// the list, or the list is missing or cannot be locked); else records the id (while fewer than
// 500 are held) and gives false.
bool AlertAlreadyShown(uint32_t stringId);

int AlertSuppressionCount();
void FreeAlertSuppressionList();  // disposes the list and empties it
