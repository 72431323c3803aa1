// Object information: the cursor box of the information dialogs.
#pragma once

#include <windows.h>

#include <cstdint>

// When the box is checked, the icon and cursor chooser opens in cursor mode with the current
// cursor id; nothing chosen with no current cursor unchecks it again. Unchecked: the icon
// selection is cleared.
void ChooseIconIfChecked(HWND dialog, int item, uint16_t cursorId);

// MINIMAL until the icon and cursor chooser is built: an installed answer stands in for the
// chooser and returns the chosen cursor id (0: none); host/wiring installs none, so the
// chooser is cancelled.
using IconChooserAnswer = uint16_t (*)(uint16_t currentId);
void SetIconChooserAnswer(IconChooserAnswer answer);
