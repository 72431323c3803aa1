// Images to and from packed DIBs in global memory, and GDI palettes in the library's form.
#include <windows.h>

#include <algorithm>

#include "vic32/dll/VicLib.h"

namespace {

// A global block locked for one scope.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL block) : block_(block), bytes_(block ? static_cast<uint8_t*>(GlobalLock(block)) : nullptr) {}
    ~LockedGlobal() {
        if (bytes_)
            GlobalUnlock(block_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    uint8_t* bytes() const { return bytes_; }
    // GlobalSize may round up; what lies past the DIB is never read.
    uint32_t size() const { return static_cast<uint32_t>(std::min<SIZE_T>(GlobalSize(block_), 0xFFFFFFFF)); }

private:
    HGLOBAL block_;
    uint8_t* bytes_;
};

}  // namespace

int VICAPI imagetodib(const VicImage* source, HGLOBAL* dib) {
    if (!dib || !VicImageOk(source))
        return VIC_BAD_ARGUMENT;
    const uint32_t bytes = VicPackedDibBytes(*source);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block)
        return VIC_NO_MEMORY;
    int result = VIC_NO_MEMORY;
    {
        LockedGlobal locked(block);
        if (locked.bytes())
            result = VicWritePackedDib(*source, {locked.bytes(), bytes});
    }
    if (result != VIC_OK) {
        GlobalFree(block);
        return result;
    }
    *dib = block;
    return VIC_OK;
}

int VICAPI dibtoimage(HGLOBAL dib, VicImage* image) {
    if (!dib || !image)
        return VIC_BAD_ARGUMENT;
    LockedGlobal locked(dib);
    if (!locked.bytes())
        return VIC_BAD_ARGUMENT;
    VicImage view{};
    const int described = setupimgdes(locked.bytes(), locked.size(), &view);
    if (described != VIC_OK)
        return described;
    return VicCloneImage(view, image);
}

int VICAPI wintovicpal(HPALETTE palette, VicColor* table, int32_t slots) {
    if (!palette || !table || slots < 1)
        return 0;
    PALETTEENTRY entries[VIC_PALETTE_SLOTS];
    const UINT count = GetPaletteEntries(palette, 0, std::min<UINT>(static_cast<UINT>(slots), VIC_PALETTE_SLOTS), entries);
    for (UINT i = 0; i < count; ++i)
        table[i] = VicColor{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return static_cast<int>(count);
}
