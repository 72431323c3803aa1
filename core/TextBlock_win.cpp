// A scrolling block of text lines.
#include "core/TextBlock.h"

#include <string_view>

#include "core/TextBlockLines.h"

namespace {

constexpr COLORREF kTextColour = RGB(0, 255, 255);

// The drawing state of one offscreen pass; everything selected is put back on the way out.
class Offscreen {
public:
    Offscreen(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, width, height)) {
        if (dc_ && bitmap_)
            oldBitmap_ = SelectObject(dc_, bitmap_);
    }
    ~Offscreen() {
        if (oldFont_)
            SelectObject(dc_, oldFont_);
        if (oldBitmap_)
            SelectObject(dc_, oldBitmap_);
        if (bitmap_)
            DeleteObject(bitmap_);
        if (dc_)
            DeleteDC(dc_);
    }
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;
    bool ok() const { return oldBitmap_ != nullptr; }
    HDC dc() const { return dc_; }
    void SelectFont(HFONT font) {
        if (font && !oldFont_)
            oldFont_ = SelectObject(dc_, font);
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
};

}  // namespace

bool DrawTextBlock(HDC dc, Handle record) {
    if (!dc || GetHandleSize(record) < sizeof(TextBlockRecord))
        return false;
    HandleLock recordLock(record);
    if (!recordLock)
        return false;
    auto* block = reinterpret_cast<TextBlockRecord*>(recordLock.get());
    const int width = block->rect.right - block->rect.left;
    const int height = block->rect.bottom - block->rect.top;
    if (width <= 0 || height <= 0)
        return false;

    Offscreen off(dc, width, height);
    if (!off.ok())
        return false;
    RECT all = {0, 0, width, height};
    FillRect(off.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    off.SelectFont(block->font);
    SetBkMode(off.dc(), TRANSPARENT);
    SetTextColor(off.dc(), kTextColour);
    TEXTMETRICA metrics;
    const int lineHeight = GetTextMetricsA(off.dc(), &metrics) ? metrics.tmHeight : 16;

    size_t lineCount = 0;
    if (block->text) {
        HandleLock textLock(block->text);
        if (textLock) {
            const std::string_view text(reinterpret_cast<const char*>(textLock.get()), GetHandleSize(block->text));
            const auto lines = SplitTextBlockLines(text);
            lineCount = lines.size();
            int y = block->offset;
            for (std::string_view line : lines) {
                if (y >= height)
                    break;  // the rest lies below the block
                if (y + lineHeight > 0)
                    TextOutA(off.dc(), 0, y, line.data(), static_cast<int>(line.size()));
                y += lineHeight;
            }
        }
    }
    if (block->lowerBound == 0)
        block->lowerBound = TextBlockLowerBound(lineCount, lineHeight);

    return BitBlt(dc, block->rect.left, block->rect.top, width, height, off.dc(), 0, 0, SRCCOPY) != FALSE;
}
