// Card picture storage: the picture block after a replace (bytes, pad, lengths), colour tables
// for a depth, the checks on stored JPEG descriptions, and the conversion tables.
#include "stack/pictures/CardPictureStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/files/JpegDescription.h"
#include "core/memory/ByteReader.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A host-order kind-1 record: header, an empty picture block (flags as given), one object of
// 30 bytes tagged 0x5A, the trailer.
Bytes PictureRecord(uint16_t blockFlags) {
    Bytes r(kCardHeaderBytes + kPictureBlockHeaderBytes, 0);
    SetU16(r, kCardKind, kCardKindPicture);
    SetU16(r, kPictureBlockOffset + kBlockFlags, blockFlags);
    SetU32(r, kPictureBlockOffset + kBlockLength, kPictureBlockHeaderBytes);
    Bytes object(30, 0x5A);
    SetU16(object, kObjectKind, kObjectButton);
    SetU32(object, kObjectLength, 30);
    r.insert(r.end(), object.begin(), object.end());
    r.insert(r.end(), {0, 0, 0xFA, 0xCE});
    SetU32(r, kCardLength, static_cast<uint32_t>(r.size()));
    return r;
}

Bytes Seq(size_t n, uint8_t start) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(start + i);
    return b;
}

TEST(CardPictureStoreTest, ReplacedBlockHoldsTableDataPadAndLengths) {
    struct Case {
        const char* name;
        size_t table, data;
        uint16_t flagsBefore;
        bool padded;
    };
    const Case cases[] = {
        {"odd data gets a pad byte", 136, 17, 0, true},
        {"even data clears a stale pad flag", 136, 18, kPicturePadFlag, false},
        {"odd table and even data", 9, 20, 0, true},
        {"no table", 0, 16, 0, false},
    };
    for (const Case& c : cases) {
        Bytes record = PictureRecord(c.flagsBefore);
        const Bytes table = Seq(c.table, 0x10), data = Seq(c.data, 0x80);
        // Replace twice: the second replace must find the first one's block, not the old one.
        ASSERT_TRUE(ReplacePictureBytes(record, Seq(40, 1), Seq(41, 2), 8, 2)) << c.name;
        ASSERT_TRUE(ReplacePictureBytes(record, table, data, 16, kPictureFormatPacked)) << c.name;

        const size_t total = c.table + c.data + (c.padded ? 1 : 0);
        EXPECT_EQ(GetU16(record, kCardDepth), 16) << c.name;
        EXPECT_EQ(GetU16(record, 96), 8) << c.name;
        EXPECT_EQ(GetU16(record, 98), kPictureFormatPacked) << c.name;
        EXPECT_EQ((record[107] & 0x02) != 0, c.padded) << c.name;
        EXPECT_EQ(GetU32(record, 108), kPictureBlockHeaderBytes + total) << c.name;
        EXPECT_EQ(GetU32(record, 112), c.table) << c.name;
        Bytes expected = table;
        expected.insert(expected.end(), data.begin(), data.end());
        if (c.padded)
            expected.push_back(0);
        ASSERT_EQ(record.size(), 120 + total + 30 + 4) << c.name;
        EXPECT_EQ(Bytes(record.begin() + 120, record.begin() + 120 + total), expected) << c.name;
        EXPECT_EQ(record[120 + total + 2 + 1], 0x5A) << c.name << ": the object follows the block";
        EXPECT_EQ(GetU32(record, kCardLength), record.size()) << c.name;

        PictureBlockView view;
        ASSERT_TRUE(ReadPictureBlock(record, view)) << c.name;
        EXPECT_EQ(Bytes(view.data.begin(), view.data.end()), data) << c.name;
    }
}

TEST(CardPictureStoreTest, ReplaceRefusesBlocksThatDoNotFit) {
    Bytes record = PictureRecord(0);
    SetU32(record, kPictureBlockOffset + kBlockLength, 5000);
    const Bytes before = record;
    EXPECT_FALSE(ReplacePictureBytes(record, Seq(8, 0), Seq(8, 0), 8, 2));
    EXPECT_EQ(record, before);
    SetU16(record, kCardKind, kCardKindPlain);
    EXPECT_FALSE(ReplacePictureBytes(record, Seq(8, 0), Seq(8, 0), 8, 2));
}

TEST(CardPictureStoreTest, ColorTableForDepth) {
    std::vector<PaletteColor> picture(300), defaults(256);
    for (int i = 0; i < 300; ++i)
        picture[i] = {uint8_t(i), 1, 2, 0};
    for (int i = 0; i < 256; ++i)
        defaults[i] = {9, uint8_t(i), 7, 0};
    struct Case {
        int source, target;
        size_t entries, own;  // entries, and how many of them are the picture's
    };
    const Case cases[] = {{4, 4, 16, 16}, {8, 4, 16, 16}, {1, 8, 256, 2}, {4, 8, 256, 16}, {8, 16, 256, 256},
                          {16, 32, 256, 256}};
    for (const Case& c : cases) {
        const Bytes t = BuildColorTableForDepth(picture, defaults, c.source, c.target);
        const std::string name = std::to_string(c.source) + " -> " + std::to_string(c.target);
        ASSERT_EQ(t.size(), 8 + 8 * c.entries) << name;
        EXPECT_EQ(GetBE32(t, 0), 0u) << name;
        EXPECT_EQ(GetBE16(t, 4), 0) << name;
        EXPECT_EQ(GetBE16(t, 6), c.entries - 1) << name;
        for (size_t i = 0; i < c.entries; ++i) {
            const uint8_t* e = t.data() + 8 + 8 * i;
            const PaletteColor want = i < c.own ? picture[i] : defaults[i];
            const Bytes got(e, e + 8), expected = {1, 0, want.red, 0, want.green, 0, want.blue, 0};
            ASSERT_EQ(got, expected) << name << " entry " << i;
        }
    }
    EXPECT_TRUE(BuildColorTableForDepth(picture, defaults, 8, 0).empty());
}

TEST(CardPictureStoreTest, JpegDescriptionsAreCheckedBeforeUse) {
    const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xD9};
    const Bytes good = MakeJpegPictureData(320, 200, 16, jpeg);
    ASSERT_EQ(good.size(), kJpegImageDescSize + jpeg.size());
    JpegPictureView view;
    ASSERT_TRUE(ReadJpegPictureData(good, view, nullptr));
    EXPECT_EQ(view.width, 320);
    EXPECT_EQ(view.height, 200);
    EXPECT_EQ(view.depth, 24) << "a 16-bit picture is described as 24 bits";
    EXPECT_EQ(Bytes(view.jpeg.begin(), view.jpeg.end()), jpeg);
    EXPECT_TRUE(JpegDimensionsAgree(view, 320, 200));
    EXPECT_FALSE(JpegDimensionsAgree(view, 320, 20000));

    struct Damage {
        const char* name;
        size_t offset;
        Bytes bytes;
        size_t cut = 0;  // bytes taken off the end
    };
    const Damage cases[] = {
        {"description length below 86", 0, {0, 0, 0, 85}},
        {"description length past the data", 0, {0, 0, 0x10, 0}},
        {"description length leaves no JPEG", 0, {0, 0, 0, 90}},
        {"description length huge", 0, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"another codec", 4, {'r', 'a', 'w', ' '}},
        {"width 0", 32, {0, 0}},
        {"width beyond a card", 32, {0x7F, 0xFF}},
        {"height 0", 34, {0, 0}},
        {"height negative", 34, {0xFF, 0xFF}},
        {"depth 7", 82, {0, 7}},
        {"cut inside the description", 0, {}, 10},
    };
    for (const Damage& d : cases) {
        Bytes bad = good;
        std::copy(d.bytes.begin(), d.bytes.end(), bad.begin() + d.offset);
        bad.resize(bad.size() - (d.cut ? jpeg.size() + d.cut : 0));
        view.width = -1;
        const char* reason = nullptr;
        EXPECT_FALSE(ReadJpegPictureData(bad, view, &reason)) << d.name;
        EXPECT_TRUE(reason && *reason) << d.name;
        EXPECT_EQ(view.width, 0) << d.name;
        EXPECT_TRUE(view.jpeg.empty()) << d.name;
    }
    EXPECT_TRUE(MakeJpegPictureData(0, 10, 16, jpeg).empty());
    EXPECT_TRUE(MakeJpegPictureData(10, 10, 16, {}).empty());
}

TEST(CardPictureStoreTest, StoredFormatAfterJpegAttempt) {
    struct Case {
        size_t jpeg, packed;
        uint16_t format;
    };
    // The packed form keeps its run header, so it is format 2 whenever it wins.
    const Case cases[] = {{100, 101, 3}, {101, 101, 2}, {5000, 16, 2}, {0, 16, 2}};
    for (const Case& c : cases)
        EXPECT_EQ(ChooseStoredPictureFormat(c.jpeg, c.packed), c.format) << c.jpeg << " vs " << c.packed;
}

TEST(CardPictureStoreTest, ConversionRoutesAndPlans) {
    using R = CardPictureRoute;
    ConversionSwitches saving;
    saving.stackIo = saving.jpegEncode = true;
    ConversionSwitches plain, forced;
    forced.force = true;
    struct Case {
        const char* name;
        CardPictureCase c;
        ConversionSwitches s;
        R route;
    };
    const Case cases[] = {
        {"no picture", {0, 2, 8, 16, 16, true, false}, forced, R::NotPicture},
        {"JPEG read with a stack", {1, 3, 16, 16, 16, false, false}, saving, R::DecodeJpeg},
        {"JPEG outside stack i/o stays", {1, 3, 16, 16, 16, false, false}, plain, R::Unchanged},
        {"flagged stack saved deep", {1, 2, 16, 16, 16, false, true}, saving, R::EncodeJpeg},
        {"flagged stack saved at 8", {1, 2, 8, 8, 16, false, true}, saving, R::Unchanged},
        {"16 colours", {1, 2, 4, 16, 16, false, false}, plain, R::From4Bit},
        {"8 on 8 resized", {1, 2, 8, 8, 8, true, false}, plain, R::Repack8},
        {"8 on 16 forced", {1, 2, 8, 8, 16, false, false}, forced, R::Convert},
        {"resized 32", {1, 2, 32, 32, 24, true, false}, plain, R::Convert},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseCardPictureRoute(c.c, c.s), c.route) << c.name;

    ConversionSwitches noPixels;
    noPixels.convertPixels = false;
    EXPECT_EQ(ChooseCardPictureRoute({1, 2, 32, 32, 24, true, false}, noPixels), R::Unchanged);
    EXPECT_TRUE(ConvertsGraphicsFirst(16, 16, plain)) << "16 and 32 are always rebuilt";
    EXPECT_FALSE(ConvertsGraphicsFirst(8, 8, plain));
    EXPECT_TRUE(ConvertsGraphicsFirst(8, 8, forced));

    using S = DepthStep;
    struct PlanCase {
        int from, to;
        bool toStack;
        std::vector<S> steps;  // empty: no way
    };
    const PlanCase plans[] = {
        {16, 16, false, {S::SwapBytes16}},
        {16, 8, false, {S::Widen16To24, S::LibraryMatch}},
        {32, 24, false, {S::Mac32To24}},
        {32, 32, false, {S::Mac32ToWindows32}},
        {8, 24, false, {S::Requantize}},
        {12, 24, false, {}},
        {24, 16, true, {S::Windows24To16}},
        {32, 32, true, {S::Windows32ToMac32}},
        {16, 32, true, {S::SwapBytes16, S::Widen16To24, S::Windows24ToMac32}},
        {24, 8, true, {S::ReduceToPalette}},
        {24, 4, true, {}},
    };
    for (const PlanCase& p : plans) {
        const DepthPlan plan = p.toStack ? DisplayToStackPlan(p.from, p.to, plain) : PictureToDisplayPlan(p.from, p.to);
        std::vector<S> got;
        for (S s : plan.steps)
            if (s != S::None)
                got.push_back(s);
        EXPECT_EQ(plan.known, !p.steps.empty()) << p.from << " -> " << p.to;
        EXPECT_EQ(got, p.steps) << p.from << " -> " << p.to << (p.toStack ? " (to stack)" : "");
    }
}

TEST(CardPictureStoreTest, SwitchesReturnToDefaultsAfterARun) {
    {
        ConversionSwitches run;
        run.stackIo = run.jpegEncode = run.force = true;
        run.convertPixels = false;
        ConversionRun scope(run);
        EXPECT_TRUE(Switches().stackIo && Switches().force && !Switches().convertPixels);
    }
    const ConversionSwitches& s = Switches();
    EXPECT_FALSE(s.stackIo || s.jpegEncode || s.force || s.matchThroughLibrary || s.keepGraphicByteOrder ||
                 s.displayPixelOrder);
    EXPECT_TRUE(s.convertPixels && s.convertGraphics);
}

TEST(CardPictureStoreTest, GraphicDataReplacedInPlace) {
    // A record whose object list holds an 84-byte graphic, then a button.
    Bytes record(kCardHeaderBytes, 0);
    Bytes graphic(84, 0x11);
    SetU16(graphic, kObjectKind, kObjectGraphic);
    SetU32(graphic, kObjectLength, 84);
    SetU16(graphic, kObjectFlags, kObjectPadded);
    SetU16(graphic, 54, 8);
    Bytes button(36, 0x22);
    SetU32(button, kObjectLength, 36);
    record.insert(record.end(), graphic.begin(), graphic.end());
    record.insert(record.end(), button.begin(), button.end());
    record.insert(record.end(), {0, 0, 0xFA, 0xCE});

    EXPECT_TRUE(GraphicNeedsDepthConversion(graphic, 16)) << "16 is rebuilt even when equal";
    EXPECT_TRUE(GraphicNeedsDepthConversion(graphic, 24));
    EXPECT_FALSE(GraphicNeedsDepthConversion(graphic, 8));
    SetU16(graphic, kObjectFlags, 0x40);
    EXPECT_FALSE(GraphicNeedsDepthConversion(graphic, 24)) << "left alone";

    const Bytes data = Seq(7, 0xA0);
    ASSERT_TRUE(ReplaceObjectBytes(record, kCardHeaderBytes, data, 3));
    const std::span<const uint8_t> g(record.data() + kCardHeaderBytes, record.size() - kCardHeaderBytes);
    EXPECT_EQ(GetU32(g, kObjectLength), 88u) << "80 + 7 + pad";
    EXPECT_EQ(GetU32(g, kGraphicTrailerLength), 3u);
    EXPECT_EQ(GetU32(g, kGraphicAfterMask), 0u) << "a stale +64 would move the mask";
    EXPECT_TRUE(GetU16(g, kObjectFlags) & kObjectPadded);
    EXPECT_EQ(Bytes(g.begin() + 80, g.begin() + 88), (Bytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0}));
    EXPECT_EQ(g[88 + 20], 0x22) << "the button follows";
    ASSERT_TRUE(ReplaceObjectBytes(record, kCardHeaderBytes, Seq(8, 0), 0));
    EXPECT_FALSE(GetU16(record, kCardHeaderBytes + kObjectFlags) & kObjectPadded);
    EXPECT_FALSE(ReplaceObjectBytes(record, kCardHeaderBytes, Seq(8, 0), 9)) << "mask longer than the data";
}

}  // namespace
