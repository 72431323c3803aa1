// Deep card pictures through a save and a read: kept packed (format 2) when the JPEG would not
// be smaller, kept as JPEG when it is, decoded back to pixels close to the original, and a
// damaged description or a JPEG that contradicts it leaving the record untouched.
#include "stack/pictures/CardPictureConvert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/files/JpegDescription.h"
#include "core/memory/ByteReader.h"
#include "stack/StackOpenSession.h"
#include "stack/open/NewStack.h"
#include "stack/pictures/CardPictureRows.h"
#include "stack/pictures/PackedPicture.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kWidth = 128, kHeight = 96;

struct Rgb {
    int red, green, blue;
};

// A smooth scene with a little grain, like a photograph; or one flat colour.
Rgb SceneAt(int x, int y, bool photo) {
    if (!photo)
        return {96, 160, 64};
    const int grain = static_cast<int>((x * 7919u + y * 104729u) % 13) - 6;
    auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
    return {clamp(2 * x + grain), clamp(255 - 2 * y + grain), clamp(x + y + grain)};
}

// Stored rows: 16 bits a 5-5-5 value high byte first, 32 bits x, red, green, blue.
Bytes SceneRows(int depth, bool photo) {
    const int rowBytes = MacRowBytes(depth, kWidth);
    Bytes rows(static_cast<size_t>(rowBytes) * kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = SceneAt(x, y, photo);
            uint8_t* p = rows.data() + static_cast<size_t>(y) * rowBytes;
            if (depth == 16) {
                const uint16_t v = static_cast<uint16_t>((c.red >> 3) << 10 | (c.green >> 3) << 5 | c.blue >> 3);
                p[2 * x] = static_cast<uint8_t>(v >> 8);
                p[2 * x + 1] = static_cast<uint8_t>(v);
            } else {
                p[4 * x + 1] = static_cast<uint8_t>(c.red);
                p[4 * x + 2] = static_cast<uint8_t>(c.green);
                p[4 * x + 3] = static_cast<uint8_t>(c.blue);
            }
        }
    return rows;
}

Rgb StoredAt(const Bytes& rows, int depth, int x, int y) {
    const uint8_t* p = rows.data() + static_cast<size_t>(y) * MacRowBytes(depth, kWidth);
    if (depth == 16) {
        const int v = p[2 * x] << 8 | p[2 * x + 1];
        return {(v >> 10 & 31) << 3, (v >> 5 & 31) << 3, (v & 31) << 3};
    }
    return {p[4 * x + 1], p[4 * x + 2], p[4 * x + 3]};
}

class CardPictureConvertTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        ResetConversionSwitches();
    }
    void TearDown() override {
        ResetConversionSwitches();
        SetStackHeaderHandle(0);
        FreeMemRefs();
    }

    // The open stack's header: depth, card size, flag 0x04 (JPEG pictures allowed).
    static void OpenHeader(int depth) {
        const Handle header = NewStackHeader();
        {
            HandleLock lock(header);
            const std::span<uint8_t> h(lock.get(), kStackHeaderBytes);
            SetU16(h, kHeaderDepth, static_cast<uint16_t>(depth));
            SetU16(h, kHeaderCardWidth, kWidth);
            SetU16(h, kHeaderCardHeight, kHeight);
            SetU16(h, kHeaderFlags, kStackHighCompression);
        }
        SetStackHeaderHandle(header);
    }

    // A kind-1 card record holding the packed rows; packed gets their packed bytes.
    static Handle PictureCard(int depth, const Bytes& rows, Bytes& packed) {
        Bytes r(kCardHeaderBytes + kPictureBlockHeaderBytes + kCardTrailerBytes, 0);
        SetU16(r, kCardKind, kCardKindPicture);
        SetU16(r, kCardWidth, kWidth);
        SetU16(r, kCardHeight, kHeight);
        SetU32(r, kPictureBlockOffset + kBlockLength, kPictureBlockHeaderBytes);
        r[r.size() - 2] = 0xFA;
        r[r.size() - 1] = 0xCE;
        const Handle packedHandle = PackPictureRows(rows, MacRowBytes(depth, kWidth), false);
        packed = HandleToBytes(packedHandle);
        DisposeHandle(packedHandle);
        EXPECT_TRUE(ReplacePictureBytes(r, Bytes(8 + 8 * 256, 0), packed, static_cast<uint16_t>(depth),
                                        kPictureFormatPacked));
        return NewHandleFromBytes(r);
    }

    static int SaveRun(Handle card, int depth) {
        ConversionSwitches saving;
        saving.stackIo = saving.jpegEncode = true;
        ConversionRun run(saving);
        return ConvertCardPicture(card, depth, depth, kWidth, kHeight);
    }
    static int ReadRun(Handle card, int depth) {
        ConversionSwitches reading;
        reading.stackIo = true;
        ConversionRun run(reading);
        return ConvertCardPicture(card, depth, depth, kWidth, kHeight);
    }
};

TEST_F(CardPictureConvertTest, SavedDeepPicturesKeepTheSmallerForm) {
    SKIP_UNLESS_TRUE_COLOUR("deep pictures are held at 16 and 32 bits, deeper than the display");
    struct Case {
        const char* name;
        int depth;
        bool photo;
        uint16_t format;
        int heldDepth = 0;  // the depth the open picture is held at, when not the stack's
    };
    const Case cases[] = {
        {"uniform 16-bit stays packed", 16, false, kPictureFormatPacked},
        {"uniform 32-bit stays packed", 32, false, kPictureFormatPacked},
        {"photograph 16-bit becomes JPEG", 16, true, kPictureFormatJpeg},
        {"photograph 32-bit becomes JPEG", 32, true, kPictureFormatJpeg},
        {"photograph held at 32 saved into a 16-bit stack", 16, true, kPictureFormatJpeg, 32},
    };
    for (const Case& c : cases) {
        OpenHeader(c.depth);
        const Bytes rows = SceneRows(c.depth, c.photo);
        Bytes packed;
        const Handle card = c.heldDepth ? PictureCard(c.heldDepth, SceneRows(c.heldDepth, c.photo), packed)
                                        : PictureCard(c.depth, rows, packed);
        ASSERT_EQ(SaveRun(card, c.heldDepth ? c.heldDepth : c.depth), 0) << c.name;
        const Bytes record = HandleToBytes(card);
        PictureBlockView view;
        ASSERT_TRUE(ReadPictureBlock(record, view)) << c.name;
        ASSERT_EQ(view.format, c.format) << c.name;
        EXPECT_EQ(GetU16(record, kCardDepth), c.depth) << c.name;
        EXPECT_EQ(view.table.size(), 8u + 8 * 256) << c.name;
        if (c.format == kPictureFormatPacked) {
            EXPECT_EQ(Bytes(view.data.begin(), view.data.end()), packed) << c.name;
            DisposeHandle(card);
            continue;
        }
        // Description (its own length, 'jpeg', the size), then a JPEG smaller than the packed form.
        ASSERT_GT(view.data.size(), kJpegImageDescSize + 2) << c.name;
        EXPECT_EQ(GetBE32(view.data, 0), kJpegImageDescSize) << c.name;
        EXPECT_EQ(GetBE32(view.data, 4), 0x6A706567u) << c.name;
        EXPECT_EQ(GetBE16(view.data, 32), kWidth) << c.name;
        EXPECT_EQ(GetBE16(view.data, 34), kHeight) << c.name;
        EXPECT_EQ(view.data[kJpegImageDescSize], 0xFF) << c.name;
        EXPECT_EQ(view.data[kJpegImageDescSize + 1], 0xD8) << c.name;
        EXPECT_LT(view.data.size() - kJpegImageDescSize, packed.size()) << c.name;

        // Read back: packed again, every pixel near the original, the picture upright.
        ASSERT_EQ(ReadRun(card, c.depth), 0) << c.name;
        CardPictureRows decoded;
        ASSERT_EQ(DecodeCardPictureRows(HandleToBytes(card), decoded, nullptr), CardPictureResult::Decoded) << c.name;
        EXPECT_EQ(decoded.depth, c.depth) << c.name;
        long error = 0;
        int worst = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const Rgb want = StoredAt(rows, c.depth, x, y), got = StoredAt(decoded.rows, c.depth, x, y);
                const int e = std::abs(want.red - got.red) + std::abs(want.green - got.green) +
                              std::abs(want.blue - got.blue);
                error += e;
                worst = std::max(worst, e);
            }
        EXPECT_LT(error / (kWidth * kHeight), 24) << c.name << ": mean error of the three components";
        EXPECT_LT(worst, 160) << c.name;
        DisposeHandle(card);
    }
}

TEST_F(CardPictureConvertTest, DamagedJpegDataLeavesTheRecordAsItWas) {
    OpenHeader(16);
    Bytes packed;
    const Handle card = PictureCard(16, SceneRows(16, true), packed);
    ASSERT_EQ(SaveRun(card, 16), 0);
    const Bytes saved = HandleToBytes(card);
    PictureBlockView view;
    ASSERT_TRUE(ReadPictureBlock(saved, view));
    ASSERT_EQ(view.format, kPictureFormatJpeg);
    const size_t data = view.data.data() - saved.data();

    struct Damage {
        const char* name;
        size_t offset;
        Bytes bytes;
    };
    const Damage cases[] = {
        {"description length past the data", 0, {0x7F, 0, 0, 0}},
        {"width 0", 32, {0, 0}},
        {"a size the JPEG does not have", 32, {0x0F, 0xFF}},
        {"JPEG start marker broken", kJpegImageDescSize, {0x00, 0x00}},
        {"JPEG frame header claims a huge picture", kJpegImageDescSize + 2, {0xFF, 0xC0, 0, 17, 8, 0x7F, 0xFF, 0x7F, 0xFF}},
    };
    for (const Damage& d : cases) {
        Bytes bad = saved;
        std::copy(d.bytes.begin(), d.bytes.end(), bad.begin() + data + d.offset);
        ASSERT_EQ(SetHandleBytes(card, bad), 0);
        EXPECT_EQ(ReadRun(card, 16), 16) << d.name;
        EXPECT_EQ(HandleToBytes(card), bad) << d.name;
    }
    DisposeHandle(card);
}

}  // namespace
