// The arithmetic of the colour chooser: red, green and blue to hue, saturation and brightness
// and back, the number fields' arrows, and the hue/saturation wheel (rings, sectors, the chooser
// palette's entries, clicks and the marker). Platform-neutral; the dialog is in
// ColorChooserDialog_win.cpp.
#pragma once

#include <cstdint>
#include <vector>

struct ChooserRgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const ChooserRgb&, const ChooserRgb&) = default;
};

struct ChooserHsb {
    int hue = 0;         // 0..359
    int saturation = 0;  // 0..100
    int brightness = 0;  // 0..100
    friend bool operator==(const ChooserHsb&, const ChooserHsb&) = default;
};

ChooserHsb RgbToHsb(ChooserRgb rgb);
// Hue 360 counts as 0; values out of range are clamped first.
ChooserRgb HsbToRgb(ChooserHsb hsb);

// The six number fields in the order of their edit ids 51..53 then 57..59.
enum ChooserField : int { kFieldHue, kFieldSaturation, kFieldBrightness, kFieldRed, kFieldGreen, kFieldBlue };
// The largest value a field takes (360 for the hue as typed, 255 or 100 for the others).
int ChooserFieldMaximum(ChooserField field);
// A typed number clamped to its field's range.
int ClampChooserField(ChooserField field, long value);
// An arrow click: +1 or -1; below 0 the hue wraps to 359 and the others stay at 0; above its
// top the hue loses 360 and the others stay at their top.
int StepChooserField(ChooserField field, int value, int delta);

// The wheel of d rings and 4d sectors inside the rectangle (l, t, r, b).
struct WheelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
// Ring k's ellipse: the rectangle inset by k x ((r - l) / 2d) and k x ((b - t) / 2d).
WheelRect WheelRingRect(const WheelRect& wheel, int divisions, int ring);
// A sector's first direction in radians, counter-clockwise from 3 o'clock.
double WheelSectorAngle(int divisions, int sector);
int WheelCellHue(int divisions, int sector);
int WheelRingSaturation(int divisions, int ring);
// The chooser palette: entry 0 the original colour, 1 the new one, then 2 + s x d + k for each
// sector s and ring k at the brightness; 4d^2 + 2 entries.
int ChooserPaletteSize(int divisions);
std::vector<ChooserRgb> ChooserPaletteColors(int divisions, ChooserRgb original, ChooserRgb current, int brightness);

// The distance of the point from the wheel's centre, truncated, and whether it lies inside.
int WheelDistance(const WheelRect& wheel, int x, int y);
bool PointInWheel(const WheelRect& wheel, int x, int y);
// A drag on the wheel at (x, y): the saturation from the distance, the hue from the direction
// (kept at the centre); the brightness is kept.
ChooserHsb WheelPick(const WheelRect& wheel, int x, int y, ChooserHsb current);
// The marker's place for the hue and saturation.
struct WheelPoint {
    int x = 0;
    int y = 0;
};
WheelPoint WheelMarkerPoint(const WheelRect& wheel, int hue, int saturation);
