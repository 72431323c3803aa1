// Cursor mask buffers.
#include "core/ui/CursorMask.h"

size_t CursorMaskBytes(int32_t cursorWidth, int32_t cursorHeight) {
    if (cursorWidth < 8 || cursorHeight < 1)
        return 0;
    return static_cast<size_t>(cursorWidth / 8) * static_cast<size_t>(cursorHeight);
}

bool SetCursorMaskBit(std::span<uint8_t> mask, int32_t cursorWidth, int32_t x, int32_t y) {
    const int32_t rowBytes = cursorWidth / 8;
    if (rowBytes < 1 || x < 0 || x >= rowBytes * 8 || y < 0)
        return false;
    const size_t index = static_cast<size_t>(y) * static_cast<size_t>(rowBytes) + static_cast<size_t>(x / 8);
    if (index >= mask.size())
        return false;
    mask[index] |= static_cast<uint8_t>(0x80u >> (x % 8));
    return true;
}

bool CreateCursorMaskPair(const CursorMaskBlockOps& ops, size_t bytes, void** andMask, void** xorMask) {
    if (!andMask || !xorMask)
        return false;
    *andMask = *xorMask = nullptr;
    if (bytes == 0)
        return false;
    void* andBlock = ops.allocate(bytes);
    if (!andBlock)
        return false;
    void* xorBlock = ops.allocate(bytes);
    if (!xorBlock) {
        ops.reportNoXorRoom();
        // Half a pair is of no use to the caller.
        ops.release(andBlock);
        return false;
    }
    *andMask = andBlock;
    *xorMask = xorBlock;
    return true;
}
