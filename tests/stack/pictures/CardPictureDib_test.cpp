// Card pictures read out of their records: builder pictures at every depth in both stream forms
// and without a run header, and damaged records (lengths that do not fit, runs longer than the
// picture, streams that do not fill it). The DIBs made from them are shown by the card redraw's
// tests (tests/cardview/card/CardRedraw_win_test.cpp).
#include <string>

#include "graphics/pixels/Lzrw.h"
#include "stack/pictures/CardPictureDib.h"
#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

constexpr int kWidth = 37, kHeight = 11;  // rows padded to 16 pixels

// The stored rows of a picture, written out here from its pixels.
std::vector<uint8_t> ExpectedRows(const sb::Picture& p) {
    const size_t rowBytes = size_t((p.width + 15) / 16) * size_t(p.depth) * 2;
    std::vector<uint8_t> rows(rowBytes * size_t(p.height), 0);
    for (int y = 0; y < p.height; ++y) {
        uint8_t* r = rows.data() + rowBytes * size_t(y);
        for (int x = 0; x < p.width; ++x) {
            const uint32_t v = p.pixels[size_t(y) * size_t(p.width) + size_t(x)];
            switch (p.depth) {
            case 1: r[x / 8] |= uint8_t((v & 1) << (7 - x % 8)); break;
            case 4: r[x / 2] |= uint8_t(x % 2 ? v & 15 : (v & 15) << 4); break;
            case 8: r[x] = uint8_t(v); break;
            case 16: r[2 * x] = uint8_t(v >> 8), r[2 * x + 1] = uint8_t(v); break;
            default: r[4 * x + 1] = uint8_t(v >> 16), r[4 * x + 2] = uint8_t(v >> 8), r[4 * x + 3] = uint8_t(v);
            }
        }
    }
    return rows;
}

std::vector<uint8_t> HostPictureCard(const sb::Picture& p) {
    StackConversion cv;
    return HostCard(sb::PictureCard(5, p), sb::Stack{}, cv);
}

class CardPictureDibTest : public StackFileTest {};

TEST_F(CardPictureDibTest, ReadsEveryDepthInEveryCoding) {
    for (int depth : {1, 4, 8, 16, 32}) {
        for (int form = 0; form < 3; ++form) {  // compressed, stored copy, coding 1 (no run header)
            sb::Picture p = sb::GradientPicture(kWidth, kHeight, depth);
            const std::vector<uint8_t> expected = ExpectedRows(p);
            if (form == 1)
                p.stream = sb::PictureStream::StoredCopy;
            if (form == 2) {
                std::vector<uint8_t> work(kLzrwWorkAreaBytes), stream(LzrwCompressBound(expected.size()));
                size_t length = 0;
                ASSERT_TRUE(LzrwCompress(work, expected, stream, length));
                stream.resize(length);
                p.rawData = stream;
                p.format = 1;
            }
            const std::vector<uint8_t> card = HostPictureCard(p);
            std::vector<uint8_t> rows(3, 0xEE);
            std::span<const uint8_t> table;
            const char* reason = "unset";
            ASSERT_EQ(ReadPictureRecordRows(card, kWidth, kHeight, depth, rows, &table, &reason), PictureReadResult::Read)
                << depth << " form " << form << ": " << reason;
            EXPECT_EQ(rows, expected) << depth << " form " << form;
            EXPECT_EQ(table.size(), 8u + 8u * (depth >= 8 ? 256u : 1u << depth)) << depth;
        }
    }
}

TEST_F(CardPictureDibTest, DamagedRecordsNeverReachPastThemselves) {
    const sb::Picture p = sb::GradientPicture(kWidth, kHeight, 8);
    const std::vector<uint8_t> good = HostPictureCard(p);
    const uint32_t table = GetU32(good, 112), block = GetU32(good, 108);
    const size_t runs = 120 + table;
    const size_t n = ExpectedRows(p).size();
    struct Case {
        const char* name;
        void (*damage)(std::vector<uint8_t>&, uint32_t table, uint32_t block, size_t runs);
        PictureReadResult want;
    } cases[] = {
        {"table past the block", [](auto& c, uint32_t, uint32_t b, size_t) { SetU32(c, 112, b); }, PictureReadResult::Damaged},
        {"huge table", [](auto& c, uint32_t, uint32_t, size_t) { SetU32(c, 112, 0xFFFFFFF0u); }, PictureReadResult::Damaged},
        {"block past the record", [](auto& c, uint32_t, uint32_t b, size_t) { SetU32(c, 108, b + 64); }, PictureReadResult::Damaged},
        {"stream length below zero", [](auto& c, uint32_t t, uint32_t, size_t) { SetU32(c, 108, 24 + t + 10); },
         PictureReadResult::Damaged},
        {"pad byte past the stream", [](auto& c, uint32_t t, uint32_t, size_t) {
             SetU32(c, 108, 24 + t + 16);
             SetU16(c, 106, 0x200);
         }, PictureReadResult::Damaged},
        {"coding 7", [](auto& c, uint32_t, uint32_t, size_t) { SetU16(c, 98, 7); }, PictureReadResult::Damaged},
        {"stream cut short", [](auto& c, uint32_t, uint32_t b, size_t) { SetU32(c, 108, b - 9); }, PictureReadResult::Damaged},
        {"record of 100 bytes", [](auto& c, uint32_t, uint32_t, size_t) { c.resize(100); }, PictureReadResult::Damaged},
        {"kind 0", [](auto& c, uint32_t, uint32_t, size_t) { SetU16(c, 6, 0); }, PictureReadResult::None},
        // Runs longer than the picture are cut to it: the lead fills everything.
        {"huge runs", [](auto& c, uint32_t, uint32_t, size_t r) {
             SetU32(c, r + 4, 0xFFFFFFFFu);
             SetU32(c, r + 12, 0xFFFFFFFFu);
         }, PictureReadResult::Read},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> card = good;
        c.damage(card, table, block, runs);
        std::vector<uint8_t> rows;
        const char* reason = nullptr;
        EXPECT_EQ(ReadPictureRecordRows(card, kWidth, kHeight, 8, rows, nullptr, &reason), c.want) << c.name;
        if (c.want == PictureReadResult::Damaged) {
            EXPECT_TRUE(rows.empty()) << c.name;
            EXPECT_NE(std::string(reason), "") << c.name;
        }
        if (std::string(c.name) == "huge runs") {
            ASSERT_EQ(rows.size(), n);
            EXPECT_EQ(std::count(rows.begin(), rows.end(), good[runs]), static_cast<std::ptrdiff_t>(n));
        }
    }
    // A lead that leaves one word gives it to the trail, whatever the trail's count says.
    std::vector<uint8_t> card = good;
    SetU32(card, runs + 4, static_cast<uint32_t>(n - 4));
    SetU32(card, runs + 12, 4000);
    std::vector<uint8_t> rows;
    ASSERT_EQ(ReadPictureRecordRows(card, kWidth, kHeight, 8, rows, nullptr, nullptr), PictureReadResult::Read);
    EXPECT_TRUE(std::equal(rows.end() - 4, rows.end(), card.begin() + static_cast<std::ptrdiff_t>(runs + 8)));
    // Sizes no card has are refused before anything is made.
    EXPECT_EQ(ReadPictureRecordRows(good, 5000, kHeight, 8, rows, nullptr, nullptr), PictureReadResult::Damaged);
    EXPECT_EQ(ReadPictureRecordRows(good, kWidth, kHeight, 12, rows, nullptr, nullptr), PictureReadResult::Damaged);
}

}  // namespace
