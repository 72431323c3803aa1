// The colour chooser's conversions, arrows and wheel.
#include "cardview/colors/ColorChooserMath.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorChooserMath, ConvertsBetweenRgbAndHsb) {
    struct Case {
        ChooserRgb rgb;
        ChooserHsb hsb;
    };
    const Case cases[] = {
        {{255, 0, 0}, {0, 100, 100}},
        {{255, 254, 0}, {60, 100, 100}},  // green counts as a maximum
        {{128, 128, 128}, {0, 0, 50}},
        {{0, 255, 255}, {180, 100, 100}},  // blue's rule wins over green's
        {{0, 0, 0}, {0, 0, 0}},
        {{255, 0, 255}, {300, 100, 100}},
        {{0, 0, 255}, {240, 100, 100}},
        {{255, 128, 0}, {30, 100, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RgbToHsb(c.rgb), c.hsb) << int{c.rgb.red} << "," << int{c.rgb.green} << "," << int{c.rgb.blue};

    EXPECT_EQ(HsbToRgb({0, 100, 100}), (ChooserRgb{255, 0, 0}));
    EXPECT_EQ(HsbToRgb({180, 100, 100}), (ChooserRgb{0, 255, 255}));
    EXPECT_EQ(HsbToRgb({360, 100, 100}), HsbToRgb({0, 100, 100})) << "hue 360 converts as 0";
    EXPECT_EQ(HsbToRgb({200, 0, 50}), (ChooserRgb{127, 127, 127})) << "no saturation: grey of trunc(V x 255)";
    EXPECT_EQ(HsbToRgb({120, 50, 100}), (ChooserRgb{127, 255, 127}));
}

TEST(ColorChooserMath, FieldsClampAndArrowsWrapTheHueOnly) {
    EXPECT_EQ(StepChooserField(kFieldHue, 0, -1), 359);
    EXPECT_EQ(StepChooserField(kFieldHue, 359, 1), 0);
    EXPECT_EQ(StepChooserField(kFieldSaturation, 0, -1), 0);
    EXPECT_EQ(StepChooserField(kFieldBrightness, 100, 1), 100);
    EXPECT_EQ(StepChooserField(kFieldRed, 255, 1), 255);
    EXPECT_EQ(StepChooserField(kFieldBlue, 0, -1), 0);
    EXPECT_EQ(StepChooserField(kFieldGreen, 7, 1), 8);
    EXPECT_EQ(ClampChooserField(kFieldHue, 999), 360);
    EXPECT_EQ(ClampChooserField(kFieldRed, 300), 255);
    EXPECT_EQ(ClampChooserField(kFieldSaturation, -4), 0);
}

TEST(ColorChooserMath, WheelRingsSectorsAndPicks) {
    EXPECT_EQ(WheelRingSaturation(12, 11), 12);
    EXPECT_EQ(WheelRingSaturation(12, 0), 100);
    EXPECT_EQ(WheelRingSaturation(5, 4), 20);
    EXPECT_EQ(WheelCellHue(12, 1), 7);
    EXPECT_EQ(WheelCellHue(12, 47), 352);
    EXPECT_EQ(ChooserPaletteSize(12), 578);
    EXPECT_EQ(ChooserPaletteSize(5), 102);

    const std::vector<ChooserRgb> colors = ChooserPaletteColors(12, {1, 2, 3}, {4, 5, 6}, 100);
    ASSERT_EQ(colors.size(), 578u);
    EXPECT_EQ(colors[0], (ChooserRgb{1, 2, 3}));
    EXPECT_EQ(colors[1], (ChooserRgb{4, 5, 6}));
    EXPECT_EQ(colors[2], (ChooserRgb{255, 0, 0})) << "sector 0, ring 0: hue 0, saturation 100";
    EXPECT_EQ(colors[2 + 1 * 12 + 11], HsbToRgb({7, 12, 100})) << "sector 1, ring 11";

    const WheelRect wheel{10, 20, 110, 120};  // centre (60, 70), radius 50
    const WheelRect ring = WheelRingRect(wheel, 12, 3);
    EXPECT_EQ(ring.left, 10 + 3 * 4);
    EXPECT_EQ(ring.bottom, 120 - 3 * 4);

    const ChooserHsb kept{123, 40, 77};
    EXPECT_EQ(WheelPick(wheel, 60, 70, kept), (ChooserHsb{123, 0, 77})) << "the centre keeps the hue";
    EXPECT_EQ(WheelPick(wheel, 110, 70, kept), (ChooserHsb{0, 100, 77}));
    EXPECT_EQ(WheelPick(wheel, 60, 45, kept), (ChooserHsb{90, 50, 77})) << "above the centre";
    EXPECT_EQ(WheelPick(wheel, 35, 70, kept), (ChooserHsb{180, 50, 77}));
    EXPECT_EQ(WheelPick(wheel, 60, 95, kept), (ChooserHsb{270, 50, 77})) << "screen y grows downward";
    EXPECT_EQ(WheelPick(wheel, 200, 70, kept).saturation, 100) << "outside: clamped";
    EXPECT_TRUE(PointInWheel(wheel, 60, 70));
    EXPECT_FALSE(PointInWheel(wheel, 12, 22)) << "a corner of the rectangle lies outside the circle";

    const WheelPoint marker = WheelMarkerPoint(wheel, 90, 50);
    EXPECT_EQ(marker.x, 60);
    EXPECT_EQ(marker.y, 45);
    const WheelPoint centre = WheelMarkerPoint(wheel, 200, 0);
    EXPECT_EQ(centre.x, 60);
    EXPECT_EQ(centre.y, 70);
}

}  // namespace
