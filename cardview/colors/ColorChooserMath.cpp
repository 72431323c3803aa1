// The colour chooser's arithmetic.
#include "cardview/colors/ColorChooserMath.h"

#include <algorithm>
#include <cmath>

namespace {

// The chooser's own constants, kept as they were tuned.
constexpr double kHalfPi = 1.570795;
constexpr double kDegreesPerRadian = 57.29582790879778;
constexpr double kRadiansPerDegree = 0.01745327777777778;
constexpr double kMaximumSlack = 0.01;

int Trunc(double v) { return static_cast<int>(v); }

uint8_t Channel(double v) { return static_cast<uint8_t>(std::clamp(Trunc(v * 255), 0, 255)); }

}  // namespace

ChooserHsb RgbToHsb(ChooserRgb rgb) {
    const double r = rgb.red / 255.0;
    const double g = rgb.green / 255.0;
    const double b = rgb.blue / 255.0;
    const double top = std::max({r, g, b});
    const double bottom = std::min({r, g, b});
    ChooserHsb hsb;
    hsb.brightness = Trunc(std::max({rgb.red, rgb.green, rgb.blue}) / 255.0 * 100);
    if (hsb.brightness == 0)
        return hsb;
    const double delta = top - bottom;
    hsb.saturation = Trunc(delta / top * 100);
    if (hsb.saturation == 0)
        return hsb;
    const double rc = (top - r) / delta;
    const double gc = (top - g) / delta;
    const double bc = (top - b) / delta;
    // A channel a unit or two below the top still counts as the top; blue wins over green,
    // green over red.
    auto counts = [&](double v) { return std::fabs(v - top) <= kMaximumSlack; };
    double h = 0;
    if (counts(b))
        h = 4 + gc - rc;
    else if (counts(g))
        h = 2 + rc - bc;
    else
        h = bc - gc;
    hsb.hue = Trunc(h * 60);
    if (hsb.hue < 0)
        hsb.hue += 360;
    return hsb;
}

ChooserRgb HsbToRgb(ChooserHsb hsb) {
    const double v = std::clamp(hsb.brightness, 0, 100) * 0.01;
    const double s = std::clamp(hsb.saturation, 0, 100) * 0.01;
    if (hsb.saturation <= 0) {
        const uint8_t grey = Channel(v);
        return {grey, grey, grey};
    }
    int hue = std::clamp(hsb.hue, 0, 360);
    if (hue == 360)
        hue = 0;
    const double h = hue / 60.0;
    const int sector = Trunc(h);
    const double f = h - sector;
    const double p = v * (1 - s);
    const double q = v * (1 - f * s);
    const double t = v * (1 - (1 - f) * s);
    switch (sector) {
    case 0: return {Channel(v), Channel(t), Channel(p)};
    case 1: return {Channel(q), Channel(v), Channel(p)};
    case 2: return {Channel(p), Channel(v), Channel(t)};
    case 3: return {Channel(p), Channel(q), Channel(v)};
    case 4: return {Channel(t), Channel(p), Channel(v)};
    default: return {Channel(v), Channel(p), Channel(q)};
    }
}

int ChooserFieldMaximum(ChooserField field) {
    switch (field) {
    case kFieldHue: return 360;
    case kFieldSaturation:
    case kFieldBrightness: return 100;
    default: return 255;
    }
}

int ClampChooserField(ChooserField field, long value) {
    return static_cast<int>(std::clamp<long>(value, 0, ChooserFieldMaximum(field)));
}

int StepChooserField(ChooserField field, int value, int delta) {
    value += delta;
    if (field == kFieldHue) {
        if (value < 0)
            return 359;
        return value > 359 ? value - 360 : value;
    }
    return std::clamp(value, 0, ChooserFieldMaximum(field));
}

WheelRect WheelRingRect(const WheelRect& wheel, int divisions, int ring) {
    if (divisions <= 0)
        return wheel;
    const int dx = ring * ((wheel.right - wheel.left) / (2 * divisions));
    const int dy = ring * ((wheel.bottom - wheel.top) / (2 * divisions));
    return {wheel.left + dx, wheel.top + dy, wheel.right - dx, wheel.bottom - dy};
}

double WheelSectorAngle(int divisions, int sector) {
    // s x 90 / d degrees, with pi / 2 as the chooser has always taken it.
    return divisions <= 0 ? 0 : sector * kHalfPi / divisions;
}

int WheelCellHue(int divisions, int sector) { return divisions <= 0 ? 0 : sector * 360 / (4 * divisions); }

int WheelRingSaturation(int divisions, int ring) {
    return divisions <= 0 ? 0 : std::max(0, 100 - ring * (100 / divisions));
}

int ChooserPaletteSize(int divisions) { return 4 * divisions * divisions + 2; }

std::vector<ChooserRgb> ChooserPaletteColors(int divisions, ChooserRgb original, ChooserRgb current, int brightness) {
    std::vector<ChooserRgb> colors(static_cast<size_t>(std::max(2, ChooserPaletteSize(divisions))));
    colors[0] = original;
    colors[1] = current;
    for (int s = 0; s < 4 * divisions; ++s)
        for (int k = 0; k < divisions; ++k)
            colors[static_cast<size_t>(2 + s * divisions + k)] =
                HsbToRgb({WheelCellHue(divisions, s), WheelRingSaturation(divisions, k), brightness});
    return colors;
}

namespace {
struct Centre {
    int x;
    int y;
};
Centre CentreOf(const WheelRect& w) { return {w.left + (w.right - w.left) / 2, w.top + (w.bottom - w.top) / 2}; }
}  // namespace

int WheelDistance(const WheelRect& wheel, int x, int y) {
    const Centre c = CentreOf(wheel);
    const double dx = c.x - x;
    const double dy = c.y - y;
    return Trunc(std::sqrt(dx * dx + dy * dy));
}

bool PointInWheel(const WheelRect& wheel, int x, int y) {
    const bool inRect = x >= wheel.left && x < wheel.right && y >= wheel.top && y < wheel.bottom;
    return inRect && WheelDistance(wheel, x, y) < (wheel.right - wheel.left) / 2;
}

ChooserHsb WheelPick(const WheelRect& wheel, int x, int y, ChooserHsb current) {
    const Centre c = CentreOf(wheel);
    const int radius = (wheel.right - wheel.left) / 2;
    const int distance = WheelDistance(wheel, x, y);
    ChooserHsb picked = current;
    picked.saturation = radius > 0 ? std::clamp(distance * 100 / radius, 0, 100) : 0;
    if (distance == 0)
        return picked;
    const int dy = std::abs(c.y - y);
    const int theta = Trunc(std::asin(std::min(1.0, static_cast<double>(dy) / distance)) * kDegreesPerRadian);
    if (x >= c.x)
        picked.hue = y <= c.y ? theta : 360 - theta;
    else
        picked.hue = y <= c.y ? 180 - theta : 180 + theta;
    if (picked.hue >= 360)
        picked.hue -= 360;
    return picked;
}

WheelPoint WheelMarkerPoint(const WheelRect& wheel, int hue, int saturation) {
    const Centre c = CentreOf(wheel);
    const double reach = (wheel.right - wheel.left) / 2.0 * saturation * 0.01;
    const double angle = hue * kRadiansPerDegree;
    return {c.x + static_cast<int>(std::lround(std::cos(angle) * reach)),
            c.y - static_cast<int>(std::lround(std::sin(angle) * reach))};
}
