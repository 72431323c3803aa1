#include "media/support/DibHolder.h"

#include <vector>

#include "core/ui/GdiGuards.h"
#include "media/support/MediaRects.h"
#include "quicktime/QtCalls.h"

namespace {

constexpr int16_t kBlendMode = 32;

// A QuickTime graphics world, disposed at the end of the scope.
class World {
public:
    explicit World(const QtRect& bounds) {
        if (NewGWorld(&world_, 32, &bounds, nullptr, nullptr, 0) != kQtNoErr)
            world_ = nullptr;
    }
    ~World() {
        if (world_)
            DisposeGWorld(world_);
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    QtGWorldPtr get() const { return world_; }
    HDC dc() const { return static_cast<HDC>(GetPortHDC(world_)); }
    HBITMAP bitmap() const { return static_cast<HBITMAP>(GetPortHBITMAP(world_)); }

private:
    QtGWorldPtr world_ = nullptr;
};

bool CopyInto(HDC dc, HBITMAP source, const World& world, int width, int height) {
    MemoryDC memory(dc);
    SelectedObject selected(memory.get(), source);
    HDC target = world.dc();
    return memory && selected && target && BitBlt(target, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace

HBITMAP QTBlendBitmaps(HDC dc, HBITMAP bitmapA, HBITMAP bitmapB, int percent) {
    BITMAP a{};
    if (!bitmapA || !bitmapB || !GetObjectA(bitmapA, sizeof a, &a) || a.bmWidth <= 0 || a.bmHeight <= 0)
        return nullptr;
    const QtRect bounds = RectToQTRect(RECT{0, 0, a.bmWidth, a.bmHeight});
    World first(bounds);
    World second(bounds);
    if (!first.get() || !second.get())
        return nullptr;
    if (!CopyInto(dc, bitmapA, first, a.bmWidth, a.bmHeight) || !CopyInto(dc, bitmapB, second, a.bmWidth, a.bmHeight))
        return nullptr;
    GdiFlush();
    const auto weight = static_cast<uint16_t>(percent * 655.35);
    const QtRGBColor color{weight, weight, weight};
    OpColor(&color);
    CopyBits(GetPortBitMapForCopyBits(first.get()), GetPortBitMapForCopyBits(second.get()), &bounds, &bounds, kBlendMode, nullptr);

    BITMAP blended{};
    HBITMAP result = second.bitmap();
    if (!result || !GetObjectA(result, sizeof blended, &blended))
        return nullptr;
    std::vector<uint8_t> bits(static_cast<size_t>(blended.bmWidthBytes) * static_cast<size_t>(blended.bmHeight));
    if (!GetBitmapBits(result, static_cast<LONG>(bits.size()), bits.data()))
        return nullptr;
    return CreateBitmap(blended.bmWidth, blended.bmHeight, blended.bmPlanes, blended.bmBitsPixel, bits.data());
}
