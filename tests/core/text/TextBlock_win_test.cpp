// The scrolling text block drawn into a memory context: where the lines land, the colours, the
// lower bound set on the first draw, and nothing outside the block's rectangle.
#include "core/text/TextBlock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr COLORREF kUntouched = RGB(255, 0, 255);

class TextBlockWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap_, nullptr);
        pixels_ = static_cast<const uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
        font_ = CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial");
        ASSERT_NE(font_, nullptr);
        HGDIOBJ oldFont = SelectObject(dc_, font_);
        TEXTMETRICA tm;
        GetTextMetricsA(dc_, &tm);
        lineHeight_ = tm.tmHeight;
        SelectObject(dc_, oldFont);
        ASSERT_GT(lineHeight_, 4);
    }
    void TearDown() override {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        DeleteObject(font_);
        FreeMemRefs();
    }

    void Clear() {
        RECT all = {0, 0, kWidth, kHeight};
        HBRUSH fill = CreateSolidBrush(kUntouched);
        FillRect(dc_, &all, fill);
        DeleteObject(fill);
        GdiFlush();
    }

    Handle MakeRecord(const std::string& text, RECT rect, int32_t offset) {
        Handle textHandle =
            text.empty() ? 0 : NewHandleFromBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
        Handle record = NewHandle(sizeof(TextBlockRecord));
        HandleLock lock(record);
        auto* r = reinterpret_cast<TextBlockRecord*>(lock.get());
        r->offset = offset;
        r->font = font_;
        r->rect = rect;
        r->text = textHandle;
        return record;
    }
    TextBlockRecord Read(Handle record) {
        HandleLock lock(record);
        TextBlockRecord r;
        std::memcpy(&r, lock.get(), sizeof r);
        return r;
    }
    void SetOffset(Handle record, int32_t offset) {
        HandleLock lock(record);
        reinterpret_cast<TextBlockRecord*>(lock.get())->offset = offset;
    }

    uint32_t Pixel(int x, int y) const { return pixels_[y * kWidth + x] & 0x00FFFFFF; }  // 0xRRGGBB
    // Text pixels (cyan) in block rows [from, to) of the rectangle.
    int TextPixels(const RECT& r, int from, int to) const {
        int n = 0;
        for (int y = r.top + from; y < r.top + to && y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += Pixel(x, y) == 0x0000FFFF;
        return n;
    }

    static constexpr int kWidth = 220;
    static constexpr int kHeight = 160;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    HFONT font_ = nullptr;
    const uint32_t* pixels_ = nullptr;
    int lineHeight_ = 0;
};

TEST_F(TextBlockWinTest, LinesDrawnCyanOnBlackInsideTheRectangleOnly) {
    const int h = lineHeight_;
    const RECT rect = {10, 20, 210, 20 + 4 * h};
    Handle record = MakeRecord("WWWW\r\n\r\nMMMM\n", rect, 0);
    Clear();
    ASSERT_TRUE(DrawTextBlock(dc_, record));
    GdiFlush();

    // Inside only black and cyan; outside untouched.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            const uint32_t p = Pixel(x, y);
            if (inside)
                ASSERT_TRUE(p == 0 || p == 0x0000FFFF) << x << "," << y << " " << std::hex << p;
            else
                ASSERT_EQ(p, 0x00FF00FFu) << x << "," << y;
        }
    EXPECT_GT(TextPixels(rect, 0, h), 0) << "first line";
    EXPECT_EQ(TextPixels(rect, h, 2 * h), 0) << "the empty line is a blank";
    EXPECT_GT(TextPixels(rect, 2 * h, 3 * h), 0) << "third line";
    EXPECT_EQ(TextPixels(rect, 3 * h, 4 * h), 0) << "no line after the last feed";

    // The lower bound: start - end + one line, set on the first draw only.
    EXPECT_EQ(Read(record).lowerBound, h - 3 * h);
    SetOffset(record, -h);
    Clear();
    ASSERT_TRUE(DrawTextBlock(dc_, record));
    GdiFlush();
    EXPECT_EQ(Read(record).lowerBound, h - 3 * h);
    // Scrolled up one line: the first line is gone, the third one line higher.
    EXPECT_EQ(TextPixels(rect, 0, h), 0);
    EXPECT_GT(TextPixels(rect, h, 2 * h), 0);
    EXPECT_EQ(TextPixels(rect, 2 * h, 4 * h), 0);

    // Scrolled below the block: all black.
    SetOffset(record, 4 * h);
    Clear();
    ASSERT_TRUE(DrawTextBlock(dc_, record));
    GdiFlush();
    EXPECT_EQ(TextPixels(rect, 0, 4 * h), 0);
    EXPECT_EQ(Pixel(rect.left, rect.top), 0u);
    EXPECT_EQ(Pixel(rect.right - 1, rect.bottom - 1), 0u);
}

TEST_F(TextBlockWinTest, UnusableRecordsDrawNothing) {
    Clear();
    EXPECT_FALSE(DrawTextBlock(dc_, 0));
    Handle small = NewHandle(8);
    EXPECT_FALSE(DrawTextBlock(dc_, small));
    Handle empty = MakeRecord("text", RECT{50, 50, 50, 80}, 0);
    EXPECT_FALSE(DrawTextBlock(dc_, empty));
    Handle fine = MakeRecord("text", RECT{0, 0, 20, 20}, 0);
    EXPECT_FALSE(DrawTextBlock(nullptr, fine));
    GdiFlush();
    EXPECT_EQ(Pixel(0, 0), 0x00FF00FFu);
    EXPECT_EQ(Pixel(50, 60), 0x00FF00FFu);

    // No text at all: a black block, lower bound of one line.
    Handle noText = MakeRecord("", RECT{0, 0, 20, 20}, 0);
    ASSERT_TRUE(DrawTextBlock(dc_, noText));
    GdiFlush();
    EXPECT_EQ(Pixel(5, 5), 0u);
    EXPECT_EQ(Read(noText).lowerBound, lineHeight_);
}

}  // namespace
