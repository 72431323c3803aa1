// The modeless dialogs every message loop must offer its messages to (keyboard navigation
// works in them only so), in the order they were added (ModelessDialogs.cpp). Windows are kept
// as opaque pointers so the list runs headless; OfferToModelessDialogs is MessageLoops.h.
#pragma once

inline constexpr int kMaxModelessDialogs = 20;

// Appends the window; false for a null window and when the list is full (it is refused rather
// than written past the list). A window already listed stays where it is (true).
bool AddModelessDialog(void* window);
// Removes the first equal entry and closes the gap.
void RemoveModelessDialog(void* window);
int ModelessDialogCount();
void* ModelessDialogAt(int index);  // 0-based; null outside the list
void ClearModelessDialogs();
