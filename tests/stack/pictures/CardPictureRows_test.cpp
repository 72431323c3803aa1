// Card pictures from builder stacks, decoded as the stack report tool decodes them: sizes, a CRC-32 of
// the rows computed here from the builder's input pixels, both stream forms, BMP output, and
// pictures that do not decode.
#include <string>

#include "core/memory/Crc32.h"
#include "graphics/dib/BmpFile.h"
#include "graphics/pixels/Lzrw.h"
#include "stack/cards/StackDescribe.h"
#include "stack/pictures/CardPictureRows.h"
#include "stack/pictures/PackedPicture.h"
#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

// Bitwise CRC-32 (zlib polynomial), independent of the table-driven one under test.
uint32_t SlowCrc32(const std::vector<uint8_t>& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// The stored rows of a picture, written out here from its pixels.
std::vector<uint8_t> ExpectedRows(const sb::Picture& p) {
    const size_t rowBytes = size_t((p.width + 15) / 16) * size_t(p.depth) * 2;
    std::vector<uint8_t> rows(rowBytes * size_t(p.height), 0);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const uint32_t v = p.pixels[size_t(y) * size_t(p.width) + size_t(x)];
            uint8_t* r = rows.data() + rowBytes * size_t(y);
            if (p.depth == 4) {
                r[x / 2] |= uint8_t(x % 2 ? v & 15 : (v & 15) << 4);
            } else if (p.depth == 8) {
                r[x] = uint8_t(v);
            } else if (p.depth == 16) {
                r[2 * x] = uint8_t(v >> 8);
                r[2 * x + 1] = uint8_t(v);
            } else {
                r[4 * x + 1] = uint8_t(v >> 16);
                r[4 * x + 2] = uint8_t(v >> 8);
                r[4 * x + 3] = uint8_t(v);
            }
        }
    }
    return rows;
}

sb::Stack OneCardStack(sb::Picture p) {
    sb::Stack s;
    s.depth = static_cast<uint16_t>(p.depth);
    s.cardWidth = static_cast<uint16_t>(p.width);
    s.cardHeight = static_cast<uint16_t>(p.height);
    s.cards.push_back(sb::PictureCard(7, std::move(p)));
    return s;
}

// The first card of a built stack, as the reader leaves it.
std::vector<uint8_t> ReadFirstCard(const std::vector<uint8_t>& file) {
    SpanByteSource source(file);
    StackConversion cv;
    StackFileContents contents;
    const StackReadResult result = ReadStackFile(source, cv, contents);
    std::vector<uint8_t> card;
    if (result.ok() && !contents.cards.empty())
        card = HandleToBytes(contents.cards[0]);
    DisposeStackFileContents(contents);
    return card;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}
uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

class CardPictureRowsTest : public StackFileTest {};

TEST_F(CardPictureRowsTest, Crc32MatchesTheZlibCheckValue) {
    const std::string text = "123456789";
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    EXPECT_EQ(Crc32(bytes), 0xCBF43926u);
    EXPECT_EQ(Crc32(std::span(bytes).subspan(4), Crc32(std::span(bytes).first(4))), 0xCBF43926u);
    EXPECT_EQ(Crc32({}), 0u);
}

TEST_F(CardPictureRowsTest, DescriptionGivesSizesAndRowCrcForEveryDepthAndBothStreams) {
    for (int depth : {4, 8, 16, 32}) {
        for (sb::PictureStream stream : {sb::PictureStream::Compressed, sb::PictureStream::StoredCopy}) {
            const bool stored = stream == sb::PictureStream::StoredCopy;
            sb::Picture p = sb::GradientPicture(37, 20, depth);  // 37: rows padded to 16 pixels
            p.stream = stream;
            const uint32_t crc = SlowCrc32(ExpectedRows(p));
            const std::vector<uint8_t> file = sb::BuildStack(OneCardStack(p)).bytes;
            const std::string json = DescribeStackJson(file, StackConversion{});
            const std::string image = "\"image\":{\"decoded\":true,\"width\":37,\"height\":20,\"depth\":" +
                                      std::to_string(depth) + ",\"crc32\":" + std::to_string(crc) + "}";
            EXPECT_NE(json.find(image), std::string::npos) << depth << " " << stored << "\n" << json;
            EXPECT_NE(json.find(stored ? "\"stream\":\"stored\"" : "\"stream\":\"compressed\""),
                      std::string::npos) << depth << "\n" << json;

            const std::vector<uint8_t> card = ReadFirstCard(file);
            CardPictureRows rows;
            ASSERT_EQ(DecodeCardPictureRows(card, rows, nullptr), CardPictureResult::Decoded) << depth;
            EXPECT_EQ(rows.rows, ExpectedRows(p)) << depth << " " << stored;
        }
    }
}

TEST_F(CardPictureRowsTest, BuilderPacksAsTheProgramAndRoundTrips) {
    for (int depth : {4, 8, 16, 32}) {
        const sb::Picture p = sb::GradientPicture(40, 24, depth);
        const std::vector<uint8_t> rows = ExpectedRows(p);
        const std::vector<uint8_t> packed = sb::PackPictureRows(rows);
        ASSERT_GE(packed.size(), 20u);
        EXPECT_EQ(packed[16], kLzrwFlagCompressed) << depth << ": a gradient shrinks";
        EXPECT_LT(packed.size(), rows.size()) << depth;
        // The program's packer gives the same bytes, its run counts in host order.
        const Handle h = PackPictureRows(rows, static_cast<uint32_t>(rows.size() / 24), false);
        ASSERT_NE(h, 0);
        std::vector<uint8_t> program = HandleToBytes(h);
        DisposeHandle(h);
        ASSERT_EQ(program.size(), packed.size());
        EXPECT_EQ(Be32(packed, 4), Le32(program, 4));
        EXPECT_EQ(Be32(packed, 12), Le32(program, 12));
        EXPECT_TRUE(std::equal(packed.begin() + 16, packed.end(), program.begin() + 16));
        std::vector<uint8_t> back(rows.size(), 0xEE);
        ASSERT_TRUE(UnpackPictureRows(program, back));
        EXPECT_EQ(back, rows) << depth;

        // The stored-copy form keeps the same runs and the middle as it is.
        const std::vector<uint8_t> copy = sb::PackPictureRows(rows, sb::PictureStream::StoredCopy);
        EXPECT_TRUE(std::equal(copy.begin(), copy.begin() + 16, packed.begin())) << depth;
        ASSERT_GT(copy.size(), 20u);
        EXPECT_EQ(copy[16], kLzrwFlagStored);
        EXPECT_EQ(copy.size() - 20, rows.size() - Be32(copy, 4) - Be32(copy, 12));
    }
    // One colour: the run header alone, the lead run covering everything.
    const std::vector<uint8_t> rows = ExpectedRows(sb::SolidPicture(64, 48, 8, 3));
    const std::vector<uint8_t> solid = sb::PackPictureRows(rows);
    ASSERT_EQ(solid.size(), 16u);
    EXPECT_EQ(Be32(solid, 0), 0x03030303u);
    EXPECT_EQ(Be32(solid, 4), rows.size());
    EXPECT_EQ(Be32(solid, 12), 0u);
}

TEST_F(CardPictureRowsTest, BmpHasTheHeaderAndThePixelsBottomUp) {
    for (int depth : {4, 8, 16, 32}) {
        sb::Picture p = sb::GradientPicture(21, 9, depth);
        for (int i = 0; i < 16; ++i)
            p.palette.push_back({uint8_t(i * 10), uint8_t(200 - i), uint8_t(i * 3 + 1)});
        const std::vector<uint8_t> card = ReadFirstCard(sb::BuildStack(OneCardStack(p)).bytes);
        CardPictureRows rows;
        ASSERT_EQ(DecodeCardPictureRows(card, rows, nullptr), CardPictureResult::Decoded);
        std::vector<DibColor> colors;
        for (const PaletteColor& c : MacColorTableColors(rows.colorTable))
            colors.push_back({c.blue, c.green, c.red, 0});
        const std::vector<uint8_t> bmp = BmpFileFromStoredRows(rows.width, rows.height, rows.depth,
                                                               rows.rows, colors);
        const uint32_t tableBytes = depth <= 8 ? 4u << depth : 0;
        const uint32_t rowBytes = (uint32_t(21 * depth) + 31) / 32 * 4;
        const uint32_t offset = 14 + 40 + tableBytes;
        ASSERT_EQ(bmp.size(), offset + rowBytes * 9) << depth;
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(Le32(bmp, 2), bmp.size());
        EXPECT_EQ(Le32(bmp, 6), 0u);
        EXPECT_EQ(Le32(bmp, 10), offset);
        EXPECT_EQ(Le32(bmp, 14), 40u);
        EXPECT_EQ(Le32(bmp, 18), 21u);
        EXPECT_EQ(Le32(bmp, 22), 9u) << "positive height: bottom row first";
        EXPECT_EQ(Le32(bmp, 26), uint32_t(depth) << 16 | 1u);
        EXPECT_EQ(Le32(bmp, 30), 0u) << "uncompressed";
        EXPECT_EQ(Le32(bmp, 34), rowBytes * 9);
        if (depth <= 8) {
            for (size_t i = 0; i < 16; ++i) {
                const size_t e = 54 + 4 * i;
                EXPECT_EQ(bmp[e], p.palette[i].blue);
                EXPECT_EQ(bmp[e + 1], p.palette[i].green);
                EXPECT_EQ(bmp[e + 2], p.palette[i].red);
                EXPECT_EQ(bmp[e + 3], 0);
            }
        }
        for (int y = 0; y < 9; ++y) {
            const uint8_t* r = bmp.data() + offset + rowBytes * uint32_t(8 - y);
            for (int x = 0; x < 21; ++x) {
                const uint32_t v = p.pixels[size_t(y) * 21 + size_t(x)];
                uint32_t got;
                if (depth == 4)
                    got = x % 2 ? r[x / 2] & 15u : uint32_t(r[x / 2] >> 4);
                else if (depth == 8)
                    got = r[x];
                else if (depth == 16)
                    got = uint32_t{r[2 * x]} | uint32_t{r[2 * x + 1]} << 8;
                else
                    got = uint32_t{r[4 * x]} | uint32_t{r[4 * x + 1]} << 8 | uint32_t{r[4 * x + 2]} << 16 |
                          uint32_t{r[4 * x + 3]} << 24;
                ASSERT_EQ(got, v) << "depth " << depth << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(CardPictureRowsTest, UndecodablePicturesAreReportedAndTheStackStillDescribed) {
    sb::Stack s = OneCardStack(sb::GradientPicture(32, 16, 8));
    sb::Picture jpeg = sb::SolidPicture(32, 16, 8, 0);
    jpeg.format = kPictureFormatJpeg;
    jpeg.rawData = std::vector<uint8_t>(123, 0xD8);
    s.cards.push_back(sb::PictureCard(8, jpeg));
    s.cards.push_back(sb::PictureCard(9, sb::GradientPicture(32, 16, 8)));
    s.cards[2].picture->rawData = std::vector<uint8_t>(16, 0);  // a lead run of 0 bytes, no stream
    sb::Built built = sb::BuildStack(s);
    // The first card's stream made a compressed one whose first item copies from before the
    // start.
    const size_t stream = built.cardOffsets[0] + 96 + 24 + 8 + 256 * 8 + 16;
    built.bytes[stream] = kLzrwFlagCompressed;
    built.bytes[stream + 4] = 1;
    built.bytes[stream + 5] = 0;
    built.bytes[stream + 6] = 0xF0;
    built.bytes[stream + 7] = 0;

    const std::string json = DescribeStackJson(built.bytes, StackConversion{});
    EXPECT_NE(json.find("\"refusal\":null"), std::string::npos) << json;
    EXPECT_NE(json.find("\"image\":{\"decoded\":false,\"reason\":\"packed picture does not unpack"),
              std::string::npos) << json;
    EXPECT_NE(json.find("\"image\":{\"format\":\"jpeg\",\"width\":32,\"height\":16,\"depth\":8,\"length\":123}"),
              std::string::npos) << json;
    EXPECT_EQ(json.find("\"decoded\":true"), std::string::npos) << json;
    const size_t third = json.find("\"id\":9");
    ASSERT_NE(third, std::string::npos);
    EXPECT_NE(json.find("\"decoded\":false", third), std::string::npos) << "an empty lead run";
    EXPECT_EQ(MemRefsCount(), 0);

    // Sizes no picture has are not decoded.
    std::vector<uint8_t> card = ReadFirstCard(sb::BuildStack(OneCardStack(sb::GradientPicture(32, 16, 8))).bytes);
    CardPictureRows rows;
    SetU16(card, kCardWidth, 5000);
    const char* reason = nullptr;
    EXPECT_EQ(DecodeCardPictureRows(card, rows, &reason), CardPictureResult::Failed);
    SetU16(card, kCardWidth, 32);
    SetU16(card, kCardDepth, 12);
    EXPECT_EQ(DecodeCardPictureRows(card, rows, &reason), CardPictureResult::Failed);
    SetU16(card, kCardDepth, 8);
    EXPECT_EQ(DecodeCardPictureRows(card, rows, &reason), CardPictureResult::Decoded);
    EXPECT_EQ(DecodeCardPictureRows(std::span(card).first(100), rows, &reason), CardPictureResult::Failed);
}

}  // namespace
