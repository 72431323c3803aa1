// Cursor mask buffers in global blocks.
#include "core/ui/CursorBitmaps.h"

#include <algorithm>
#include <span>

#include "core/memory/HandlesGlobal.h"
#include "core/ui/Alerts.h"
#include "core/ui/CursorMask.h"
#include "core/ui/Resources.h"

namespace {

constexpr uint32_t kStrNoXorBitmapRoom = 4133;

size_t SystemCursorMaskBytes() {
    return CursorMaskBytes(GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR));
}

void* AllocMaskBlock(size_t bytes) { return AllocGlobalOrWarn(bytes); }

void FreeMaskBlock(void* block) { GlobalFree(static_cast<HGLOBAL>(block)); }

void ReportNoXorRoom() {
    char text[80];
    LoadResString(kStrNoXorBitmapRoom, text, sizeof text);
    ShowErrorBox(text);
}

}  // namespace

bool CreateCursorBitmaps(HGLOBAL* andMask, HGLOBAL* xorMask) {
    static constexpr CursorMaskBlockOps kGlobalBlocks = {AllocMaskBlock, FreeMaskBlock, ReportNoXorRoom};
    return CreateCursorMaskPair(kGlobalBlocks, SystemCursorMaskBytes(), andMask, xorMask);
}

bool SetCursorMaskBit(HGLOBAL mask, int x, int y) {
    if (!mask)
        return false;
    auto* bytes = static_cast<uint8_t*>(GlobalLock(mask));
    if (!bytes)
        return false;
    // Bounded by the cursor's rows as well as by the block, which may be larger than asked for.
    const size_t size = std::min<size_t>(GlobalSize(mask), SystemCursorMaskBytes());
    const bool set = SetCursorMaskBit(std::span<uint8_t>(bytes, size), GetSystemMetrics(SM_CXCURSOR), x, y);
    GlobalUnlock(mask);
    return set;
}
