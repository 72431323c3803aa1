// The actions menu of an object: the list of its actions that its context menu and the Edit
// menu's object sub-menu show, and the choice carried out on its action record.
//
//   ActionMenu.cpp        the entries of a record, in menu order (no Windows)
//   ActionMenu_win.cpp    the list handle, the object's record, DoActionChoice
//   ActionChoices_win.cpp the handlers of the choices
// The Windows side is declared in ActionChoices.h.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Menu codes 49 to 69; the text of code c is string c + kActionTextBase.
enum ActionChoice : int {
    kChoiceAnotherCard = 49, kChoiceNextCard = 50, kChoicePreviousCard = 51, kChoiceBack = 52, kChoiceHomeStack = 53,
    kChoiceLastMarked = 54, kChoiceAnotherStack = 55, kChoiceAnotherProgram = 56, kChoiceInternetSite = 57,
    kChoiceNone = 58, kChoiceSounds = 59, kChoiceLogo = 60, kChoiceNba = 61, kChoiceVideo = 62, kChoiceAnimation = 63,
    kChoiceTimer = 64, kChoiceTesting = 65, kChoiceStyle = 66, kChoiceIcons = 67, kChoiceFeatures = 68,
    kChoiceNewAction = 69,
};
inline constexpr int kActionTextBase = 15801;

// LoomLogo has no script editor, so its choice is listed grey and does nothing.
constexpr bool ActionChoiceGreyed(int code) { return code == kChoiceLogo; }

// The list handle: up to 21 entries of 68 bytes, the text (64 bytes, NUL-terminated) and the
// string id (32 bits, little-endian as the machine keeps it).
inline constexpr uint32_t kActionMenuMaxEntries = 21;
inline constexpr uint32_t kActionMenuEntryBytes = 68;
inline constexpr uint32_t kActionMenuTextBytes = 64;

// ---- ActionMenu.cpp ----
// The codes of an action record's actions in menu order: the sound, module, video, animation,
// script, testing and timer entries of the actions it holds (each with its chunk), then the
// destination's code, else "&Another Program" for a launch that asks for a program, else
// "N&one". An address has no entry. A record shorter than its fixed part gives "N&one".
std::vector<int> BuildActionMenuEntries(std::span<const uint8_t> record);
// The destination's code: -6 gives 55, -5 54, -4 52, -3 53, -2 51, -1 50, any other value (a
// card id, as the performer takes it) 49; 0 for none.
int DestinationChoice(int16_t destination);
// The special destination of codes 50 to 55 (the reverse of DestinationChoice); 0 otherwise.
int16_t ChoiceDestination(int code);
