// Alerts: the modal message boxes through which the system asks questions and reports errors.
//
// Texts come from the string table in the `AlertText` form (core/ui/AlertText.h). The standard box
// (template "DOGIEHELP") shows the help mascot or a system icon, the message and up to three
// buttons; the tall box ("BIGLMMSG") shows up to twelve lines from consecutive string ids.
// Unforced boxes stay silent for an experienced user (core/system/PreferenceFlags.h), and once-only boxes
// are shown at most once per run (core/ui/AlertsOnce.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "core/ui/AlertsOnce.h"

// String ids the alert code itself uses.
inline constexpr uint32_t kAlertGenericError = 2235;  // "Sorry, some kind of error has occurred."
inline constexpr uint32_t kStringErrorCaption = 4132;  // "Pageloom Error"
inline constexpr uint32_t kStringMascotFile = 2532;    // "mascot.bmp"
inline constexpr uint32_t kAlertCardSizeTooSmall = 2295;
inline constexpr uint32_t kAlertStackCardSizeTooSmall = 2334;
inline constexpr uint32_t kAlertPendingText = 0;       // the id of a box showing a given text

// Button ids of the standard box; the first label takes kAlertButton1.
inline constexpr int kAlertButton1 = 52;
inline constexpr int kAlertButton2 = 53;
inline constexpr int kAlertButton3 = 54;

// Standard box (Alerts_win.cpp). Returns the pressed button's id, 52 to 54; 52 when the box was
// not shown (experienced user, or a once-only box already shown). A text that cannot be loaded
// shows the generic error alert instead; a text without buttons is not shown.
int MascotMessageBox(HWND owner, uint32_t stringId, bool once, bool force, int16_t iconFlag);
// A forced box on the card window: 1, 2 or 3, the position of the pressed label.
int ShowAlert(uint32_t stringId);
int ShowAlertOn(HWND owner, uint32_t stringId);  // a null owner means the card window

// A forced standard box showing text (in the `AlertText` form, at most kAlertTextMax characters
// read) instead of a string of the table; its string id reads kAlertPendingText. Returns the
// pressed button's id like MascotMessageBox; ShowAlertText the label's position, like ShowAlertOn.
int MascotTextBox(HWND owner, const char* text, int16_t iconFlag);
int ShowAlertText(HWND owner, const char* text);  // a null owner means the card window
// A forced box of a string of the table whose "%s" is filled with `name` (a file's path); its
// string id reads as the string's. The label's position, like ShowAlertOn.
int ShowAlertNaming(HWND owner, uint32_t stringId, std::string_view name);

// For an open standard box: the string id it shows (0 for a given text), or -1 when the
// window is no standard alert box.
int32_t AlertBoxStringId(HWND dialog);

// Tall box (AlertsBig_win.cpp): lines from firstId on (at most 12), each starting with an
// alignment digit ('1' centred, '2' right). 1 (OK) or 2 (Cancel); 1 when not shown.
int BigMascotMessageBox(HWND owner, uint32_t firstId, uint8_t lineCount, bool once, bool force,
                        bool cancel);

// Error reports (AlertsErrors_win.cpp).
// Shows the message of a file or resource error code; 0 and -12 (already reported) show nothing,
// codes without a message of their own show the generic error alert.
void ShowErrorMessage(int32_t code);
// A plain stop box on the card window captioned "Pageloom Error"; the box's result.
int ShowErrorBox(const char* text);

// The help mascot's picture (AlertsMascot_win.cpp): "mascot.bmp" in the program folder drawn
// through a mask of its corner colour, else the bitmap "DOGGIE" (image left, mask right).
struct MascotPicture {
    HBITMAP image = nullptr;
    HBITMAP mask = nullptr;  // white where the background shows through
    int imageLeft = 0;       // x of the picture inside `image`
    int maskLeft = 0;        // x of the mask inside `mask` (the right half when both are one)
    int width = 0;
    int height = 0;
    bool ownsMask = false;   // false when mask and image are one bitmap
};
bool LoadMascotPicture(MascotPicture* picture);
void DrawMascotPicture(HDC dc, int x, int y, const MascotPicture& picture);
void FreeMascotPicture(MascotPicture* picture);
