// A scrolling block of text lines.
#include "core/text/TextBlock.h"

#include <string_view>

#include "core/text/TextBlockLines.h"
#include "core/ui/GdiGuards.h"

namespace {

constexpr COLORREF kTextColour = RGB(0, 255, 255);

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

    // Drawn off screen first; everything selected there is put back on the way out.
    MemoryDC memory(dc);
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
    SelectedObject selectedBitmap(memory.get(), bitmap.get());
    if (!selectedBitmap)
        return false;
    const HDC off = memory.get();
    RECT all = {0, 0, width, height};
    FillRect(off, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectedObject selectedFont(off, block->font);
    SetBkMode(off, TRANSPARENT);
    SetTextColor(off, kTextColour);
    TEXTMETRICA metrics;
    const int lineHeight = GetTextMetricsA(off, &metrics) ? metrics.tmHeight : 16;

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
                    TextOutA(off, 0, y, line.data(), static_cast<int>(line.size()));
                y += lineHeight;
            }
        }
    }
    if (block->lowerBound == 0)
        block->lowerBound = TextBlockLowerBound(lineCount, lineHeight);

    return BitBlt(dc, block->rect.left, block->rect.top, width, height, off, 0, 0, SRCCOPY) != FALSE;
}
