// The text form of an alert and the geometry of the box that shows it.
//
// An alert is one string-table entry: a size-class digit, an icon digit, the message, then each
// button label preceded by '~' (at most three used); a label starting with '^' is the default
// button. "44Sorry, some kind of error has occurred.~^OK" is class 4, the mascot, one default
// button "OK". The message may hold line feeds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr size_t kAlertTextMax = 999;  // characters of a string-table entry used
inline constexpr int kAlertMaxButtons = 3;
inline constexpr int kAlertMargin = 4;      // edges of the icon, message and button row
inline constexpr int kAlertButtonGap = 15;  // between neighbouring buttons

// Icon kinds as the box keeps them (the digit '2' is read as 4).
enum AlertIconKind : int16_t {
    kAlertIconNone = 0,
    kAlertIconStop = 1,
    kAlertIconExclamation = 3,
    kAlertIconMascot = 4,
};

struct AlertText {
    int sizeClass = 0;             // 0-9
    int iconKind = kAlertIconNone; // the digit's value, '2' read as 4
    std::string message;           // up to the first '~'
    int buttonCount = 0;           // 0-3
    std::array<std::string, kAlertMaxButtons> labels;  // without the '^'
    int defaultButton = 0;         // index of the default label (the last '^' wins), else 0
};

// Splits an alert text. False when it has no '~' (no buttons): such a text is not shown.
bool ParseAlertText(std::string_view text, AlertText* alert);

// The box size of a size class (classes out of range count as class 0).
struct AlertBoxSize {
    int width;
    int height;
};
AlertBoxSize AlertClassSize(int sizeClass);

// Fills the first two "%d" fields of a message (the minimum-card-size alerts); other text is
// kept as it stands, so a stray '%' never reads anything.
std::string FillTwoNumbers(std::string_view message, int first, int second);

// The minimum card size from the system's minimum window size: each raised to 40 at or below 40.
int MinimumCardExtent(int systemMinimum);

// Geometry of the standard box, in pixels.
struct AlertMetrics {
    int baseUnitX = 8;             // horizontal dialog base unit
    int designedButtonWidth = 0;   // width of button 52 in the template
    int buttonHeight = 0;
    int frameWidth = 0;            // dialog frame width
    int borderWidth = 0;
};

struct AlertRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Width of each label's button, 0 for unused places.
std::array<int, kAlertMaxButtons> AlertButtonWidths(const AlertText& alert, const AlertMetrics& m);

// Window size of the box: the class size, widened when the buttons need more room.
AlertBoxSize AlertWindowSize(const AlertText& alert, const AlertMetrics& m);

struct AlertLayout {
    AlertRect icon;                                   // control 50 (empty without an icon)
    AlertRect message;                                // control 51
    std::array<AlertRect, kAlertMaxButtons> buttons;  // controls 52-54, right to left
};

// Places the controls in a client area of the given size; the icon size is 0 x 0 without one.
AlertLayout LayoutAlert(const AlertText& alert, const AlertMetrics& m, int clientWidth,
                        int clientHeight, int iconWidth, int iconHeight);

// The alert that reports a file or resource error code: 0 for codes that show nothing (0, and
// -12 for an operation already reported), the code's own message for the listed codes (-2688,
// a file that cannot be written, has string 2688), else the generic error alert 2235.
uint32_t ErrorMessageStringId(int32_t code);
