// The stand-in's effects through its dispatcher (its effect list is read through the binding in
// tests/cardview/transitions/QtEffect_win_test.cpp): sequences refusing what does not fit, frames that
// cross-fade or wipe from the chosen side, and the parameter dialog's edit of the description.
#include "quicktime/dll/QtStandInEffects.h"

#include <gtest/gtest.h>

#include <vector>

#include "quicktime/dll/QtStandIn.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Image {
    Image(int w, int h, uint8_t value) : pixels(size_t(w) * h * 4, value), world{nullptr, w, h, w * 4, kQtPixelFormatBGRA} {
        world.pixels = pixels.data();
    }
    Bytes pixels;
    QtPixelWorld world;
};

Bytes Description(const char (&code)[5], int side) {
    Bytes d;
    AppendQtAtomU32(&d, kStandInWhatAtom, 1, QtAtomType(code));
    if (side >= 0)
        AppendQtAtomU32(&d, kStandInSideAtom, 1, static_cast<uint32_t>(side));
    return d;
}

QtImageDescription ImageOf(uint32_t code, int w, int h) {
    QtImageDescription d{};
    d.idSize = sizeof d;
    d.cType = code;
    d.width = static_cast<int16_t>(w);
    d.height = static_cast<int16_t>(h);
    return d;
}

QtFrameTime At(int value, int duration) {
    QtFrameTime t{};
    t.valueLow = static_cast<uint32_t>(value);
    t.duration = duration;
    t.recordSize = sizeof t;
    return t;
}

int32_t Call(uint32_t selector, std::initializer_list<QtWord> args) {
    std::vector<QtWord> words(args);
    words.resize(16);
    return StandInDispatch(selector, words.data());
}

// Runs one sequence to the given fraction and gives the frame.
Bytes Frame(const char (&code)[5], int side, int value, int duration, const Image& a, const Image& b) {
    const Bytes d = Description(code, side);
    const QtImageDescription image = ImageOf(QtAtomType(code), a.world.width, a.world.height);
    const QtEffectSources s = {d.data(), uint32_t(d.size()), &image, &a.world, &b.world, 0};
    QtEffectSequence seq = 0;
    EXPECT_EQ(Call(kQtSelEffectSequenceBegin, {QtWord(&s), QtWord(&seq)}), kQtNoErr);
    const QtFrameTime t = At(value, duration);
    EXPECT_EQ(Call(kQtSelEffectDecompressFrame, {seq, QtWord(&t)}), kQtNoErr);
    EXPECT_EQ(Call(kQtSelEffectSequenceEnd, {seq}), kQtNoErr);
    return StandInLastFrame();
}

TEST(QtStandInEffects, SequencesRefuseWhatDoesNotFit) {
    Image a(8, 4, 10), small(4, 4, 0);
    const Bytes d = Description("smpt", 0);
    const QtImageDescription image = ImageOf(QtAtomType("dslv"), 8, 4);  // the code differs
    QtEffectSequence seq = 99;
    const QtEffectSources none = {nullptr, 0, &image, &a.world, &a.world, 0};
    const QtEffectSources mismatched = {d.data(), uint32_t(d.size()), &image, &a.world, &small.world, 0};
    const QtEffectSources wrongCode = {d.data(), uint32_t(d.size()), &image, &a.world, &a.world, 0};
    EXPECT_EQ(Call(kQtSelEffectSequenceBegin, {QtWord(&none), QtWord(&seq)}), kQtNilHandleErr);
    EXPECT_EQ(Call(kQtSelEffectSequenceBegin, {QtWord(&mismatched), QtWord(&seq)}), kQtParamErr);
    EXPECT_EQ(Call(kQtSelEffectSequenceBegin, {QtWord(&wrongCode), QtWord(&seq)}), kQtParamErr);
    EXPECT_EQ(seq + StandInOpenSequences(), 0u);
}

TEST(QtStandInEffects, FramesCrossFadeOrWipeFromTheirSide) {
    Image a(10, 6, 0), b(10, 6, 200);
    const Bytes half = Frame("dslv", -1, 15, 30, a, b);
    ASSERT_EQ(half.size(), 10u * 6 * 4);
    EXPECT_EQ(half[0], 100);
    EXPECT_EQ(half[239], 100);
    EXPECT_EQ(Frame("dslv", -1, 30, 30, a, b)[17], 200) << "the last frame is B";
    EXPECT_EQ(Frame("dslv", -1, 90, 30, a, b)[17], 200) << "past the duration stays B";
    struct Case {
        int side;
        int x, y;
        uint8_t expected;
    } cases[] = {
        {0, 4, 0, 200}, {0, 5, 0, 0},   // from the left: columns 0..4 are B at half
        {1, 4, 0, 0},   {1, 5, 0, 200}, // from the right
        {2, 0, 2, 200}, {2, 0, 3, 0},   // from the top: rows 0..2
        {3, 0, 2, 0},   {3, 0, 3, 200}, // from the bottom
    };
    for (const Case& c : cases) {
        const Bytes frame = Frame("smpt", c.side, 15, 30, a, b);
        EXPECT_EQ(frame[(size_t(c.y) * 10 + c.x) * 4], c.expected) << "side " << c.side << " at " << c.x << "," << c.y;
    }
}

bool g_dialogAccepts = true;
bool FakeDialog(std::span<const uint8_t>, QtWord owner, uint32_t* side) {
    EXPECT_EQ(owner, QtWord{42});
    EXPECT_EQ(*side, 1u) << "the dialog starts from the description's side";
    *side = 3;
    return g_dialogAccepts;
}

TEST(QtStandInEffects, ParameterDialogEditsTheSide) {
    const Bytes d = Description("slid", 1);
    Bytes edited(256, 0xEE);
    uint32_t size = 0;
    auto dialog = [&](const uint8_t* description, size_t length) {
        return Call(kQtSelEffectParameterDialog,
                    {QtWord(description), length, 42, QtWord(edited.data()), edited.size(), QtWord(&size)});
    };
    SetStandInParameterDialog(nullptr);
    EXPECT_EQ(dialog(d.data(), d.size()), kQtUserCanceled) << "no dialog: nothing accepted";
    SetStandInParameterDialog(FakeDialog);
    EXPECT_EQ(dialog(nullptr, 0), kQtNilHandleErr);
    g_dialogAccepts = false;
    EXPECT_EQ(dialog(d.data(), d.size()), kQtUserCanceled);
    g_dialogAccepts = true;
    ASSERT_EQ(dialog(d.data(), d.size()), kQtNoErr);
    const std::vector<QtAtom> atoms = ReadQtAtoms({edited.data(), size});
    EXPECT_EQ(QtAtomU32(atoms, kStandInSideAtom, 0), 3u);
    EXPECT_EQ(QtAtomU32(atoms, kStandInWhatAtom, 0), QtAtomType("slid"));
    EXPECT_EQ(size, d.size());
    SetStandInParameterDialog(nullptr);
}

}  // namespace
