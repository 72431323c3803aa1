// Graphic object pictures between depths and palettes, through GDI and vic32.
#include "stack/pictures/GraphicPictureConvert.h"

#include "core/memory/ByteReader.h"
#include "graphics/masks/Masks.h"
#include "graphics/pixels/CardPicture.h"
#include "graphics/pixels/DibGdi.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/pixels/PixelDepth.h"
#include "graphics/pixels/PixelDepthGdi.h"
#include "format/StackFile.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPictureStore.h"
#include "vic32/Vic32.h"

namespace {

int DibDepth(DibHandle dib) {
    LockedDib locked(dib);
    return locked ? locked.layout().depth : 0;
}

// The same DIB in a new handle, for steps that leave the pixels as they are.
DibHandle CopyDib(DibHandle dib) {
    return DibDepth(dib) ? NewHandleFromBytes(HandleToBytes(dib)) : 0;
}


// A display-order 16-, 24- or 32-bit DIB as 24 bits; 0 for other depths.
DibHandle DisplayOrderTo24(DibHandle dib) {
    switch (DibDepth(dib)) {
    case 24: return CopyDib(dib);
    case 32: return Dib32To24(dib);
    case 16: {
        DibHandle copy = CopyDib(dib);
        DibHandle wide = copy && DibSwapPixelBytes(copy) ? DibConvert16To24(copy) : 0;
        DisposeHandle(copy);
        return wide;
    }
    default: return 0;
    }
}

// What the display gave back brought to the target depth, still in display order: a 24-bit
// display reads back 32 bits, a 16-bit one 16, whatever the graphic's depth.
DibHandle FitDisplayDibToDepth(DibHandle dib, int target) {
    const int depth = DibDepth(dib);
    if (depth == target)
        return CopyDib(dib);
    if (depth < 16 || target < 16)
        return 0;
    ScopedHandle wide(DisplayOrderTo24(dib));
    if (!wide.get())
        return 0;
    if (target == 24)
        return wide.release();
    if (target == 32) {
        ScopedHandle mac(Dib24ToMac32(wide.get()));
        return mac.get() ? Dib32MacToWindowsOrder(mac.get()) : 0;
    }
    DibHandle narrow = Dib24ToMac16(wide.get());
    if (narrow && !DibSwapPixelBytes(narrow))
        DisposeHandleAndClear(&narrow);
    return narrow;
}

// A 24-bit DIB matched to the palette by vic32 (nearest colour), as an 8-bit DIB whose table is
// the palette. When reduce is set the library first reduces it to 256 colours of its own.
DibHandle MatchToPalette(DibHandle dib24, HPALETTE palette, bool reduce) {
    LockedDib locked(dib24);
    if (!locked || locked.layout().depth != 24 || !palette)
        return 0;
    VicImage source{}, reduced{}, target{};
    DibHandle result = 0;
    if (setupimgdes(locked.bytes().data(), static_cast<uint32_t>(locked.bytes().size()), &source) == VIC_OK &&
        (!reduce || (allocimage(&reduced, source.width, source.height, 8) == VIC_OK &&
                     convertrgbtopal(256, &source, &reduced) == VIC_OK)) &&
        allocimage(&target, source.width, source.height, 8) == VIC_OK) {
        target.colors = wintovicpal(palette, target.palette, target.paletteSlots);
        HGLOBAL out = nullptr;
        if (target.colors > 0 && matchcolorimage(reduce ? &reduced : &source, &target) == VIC_OK &&
            imagetodib(&target, &out) == VIC_OK)
            result = DibFromGlobal(out);
    }
    freeimage(&target);
    freeimage(&reduced);
    return result;
}

bool EitherSwitch() { return Switches().jpegEncode || Switches().force; }

// The mask of a graphic read and packed again: a damaged one fails the graphic.
bool RebuildMask(std::span<const uint8_t> mask, std::vector<uint8_t>& out) {
    out.clear();
    if (mask.empty())
        return true;
    HBITMAP bitmap = nullptr;
    uint16_t first = 0, second = 0;
    if (MaskFromPackedBits(mask, &bitmap, &first, &second) != PackedMaskRefusal::None || !bitmap)
        return false;
    uint32_t size = 0;
    HGLOBAL block = nullptr;
    MaskToPackedBits(bitmap, first, second, &size, &block);
    DeleteObject(bitmap);
    if (!block)
        return false;
    if (const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block))) {
        out.assign(bytes, bytes + std::min<size_t>(size, GlobalSize(block)));
        GlobalUnlock(block);
    }
    GlobalFree(block);
    return !out.empty();
}

// The stored picture as a DIB with the card palette below 9 bits.
DibHandle SourceDib(Handle card, const GraphicPictureView& view) {
    DibHandle dib = GraphicPictureToDib(view);
    if (dib && view.depth <= 8)
        DibApplyPalette(card, dib);  // none found: the indexes stay, the colours black
    return dib;
}

// The dib (none: false) with the mask as the picture of the graphic at offset of the card's
// record, its rows packed, and the record put back into the card.
bool StorePicture(Handle card, std::vector<uint8_t>& record, uint32_t offset, Handle dib, const std::vector<uint8_t>& mask) {
    const std::vector<uint8_t> data = dib ? GraphicPictureData(dib, mask) : std::vector<uint8_t>{};
    if (data.empty() || !ReplaceObjectBytes(record, offset, data, static_cast<uint32_t>(mask.size())))
        return false;
    const std::span<uint8_t> object = std::span<uint8_t>(record).subspan(offset);
    SetU16(object, kGraphicPictureFlags, GetU16(object, kGraphicPictureFlags) | kGraphicRowsPacked);
    SetU32(object, kGraphicAfterMask, 0);
    return SetHandleBytes(card, record) == 0;
}

}  // namespace

DibHandle ConvertGraphic4To8(Handle card, DibHandle dib) {
    LockedDib locked(dib);
    if (!locked || locked.layout().depth != 4)
        return 0;
    DibHandle wide = DibExpand4To8(dib, locked.layout().width, locked.layout().height);
    if (wide && !DibApplyPalette(card, wide))
        DibCopyPaletteEntries(wide);
    return wide;
}

DibHandle ConvertGraphicTo8(Handle card, DibHandle dib) {
    const int depth = DibDepth(dib);
    if (depth != 16 && depth != 24 && depth != 32)
        return 0;
    if (Switches().jpegEncode && !Switches().force)
        return DibReduceTo8Bit(ResolvePictureRecord(card), dib);
    DibHandle wide = 0;
    if (depth == 24)
        wide = CopyDib(dib);
    else if (depth == 16)
        wide = (!EitherSwitch() || DibSwapPixelBytes(dib)) ? DibConvert16To24(dib) : 0;
    else
        wide = EitherSwitch() ? Dib32To24(dib) : DibMac32To24(dib);
    ScopedHandle owner(wide);
    HPALETTE palette = CardPalette(card);
    // vic32's own 256 colours become card palette indexes, so the table can be the card's.
    DibHandle result = MatchToPalette(wide, palette, true);
    if (result)
        DibSetPaletteFromMap(result, palette);
    if (palette)
        DeleteObject(palette);
    return result;
}

DibHandle ConvertGraphicTo16(DibHandle dib) {
    switch (DibDepth(dib)) {
    case 24: return Dib24ToMac16(dib);
    case 32: return Dib32ToMac16(dib);
    default: return 0;
    }
}

DibHandle ConvertGraphicTo32(DibHandle dib) {
    switch (DibDepth(dib)) {
    case 24: return Dib24ToMac32(dib);
    case 32:
        if (Switches().displayPixelOrder)
            return CopyDib(dib);
        // The same reorder both ways would zero a channel: a save turns display order back into
        // the file's, opening and the return after a save turn the file's into display order.
        return Switches().jpegEncode || Switches().toStackOrder ? Dib32WindowsToMacOrder(dib)
                                                                : Dib32MacToWindowsOrder(dib);
    default: return 0;
    }
}

DibHandle ConvertGraphicToDisplay(DibHandle dib) {
    const int depth = DibDepth(dib);
    DibHandle work = 0;
    if (depth <= 8 || depth == 24) {
        work = CopyDib(dib);
    } else if (depth == 16) {
        if (!Switches().displayPixelOrder || DibSwapPixelBytes(dib))
            work = DibConvert16To24(dib);
    } else if (depth == 32) {
        work = Switches().displayPixelOrder ? Dib32To24(dib) : DibMac32To24(dib);
    }
    ScopedHandle owner(work);
    return work ? RequantizeDibThroughDisplay(work) : 0;
}

DibHandle ConvertGraphicPictureDepth(Handle card, const GraphicPictureView& view, int target) {
    DibHandle dib = SourceDib(card, view);
    if (!dib)
        return 0;
    const int source = view.depth;
    bool ok = false;
    bool throughDisplay = false;
    if (target == 8) {
        if (source == 4)
            ok = TakeConvertedDib(dib, ConvertGraphic4To8(card, dib));
        else if (source == 8)
            ok = true;
        else
            ok = TakeConvertedDib(dib, ConvertGraphicTo8(card, dib));
    } else if (target == 16) {
        if ((source == 24 || source == 32) && EitherSwitch())
            ok = TakeConvertedDib(dib, ConvertGraphicTo16(dib));
        else if (source == 16)
            ok = Switches().keepGraphicByteOrder || DibSwapPixelBytes(dib);
        else if (source != 24)
            ok = throughDisplay = TakeConvertedDib(dib, ConvertGraphicToDisplay(dib));
    } else if (target == 24 || (target == 32 && source <= 16)) {
        ok = throughDisplay = TakeConvertedDib(dib, ConvertGraphicToDisplay(dib));
    } else if (target == 32) {
        ok = TakeConvertedDib(dib, ConvertGraphicTo32(dib));
    }
    if (ok && throughDisplay)
        ok = TakeConvertedDib(dib, FitDisplayDibToDepth(dib, target));
    if (!ok || DibDepth(dib) != target) {
        DisposeHandle(dib);
        return 0;
    }
    return dib;
}

bool ConvertGraphicPicture(Handle card, std::span<const uint8_t> graphic, int depth, std::vector<uint8_t>& data,
                           uint32_t& maskLength, bool* leftAlone) {
    *leftAlone = false;
    data.clear();
    maskLength = 0;
    GraphicPictureView view;
    const GraphicPictureRefusal refusal = ReadGraphicPicture(graphic, view);
    if (refusal == GraphicPictureRefusal::InFile) {
        *leftAlone = true;
        return false;
    }
    std::vector<uint8_t> mask;
    if (refusal != GraphicPictureRefusal::None || !RebuildMask(view.mask, mask))
        return false;
    ScopedHandle dib(ConvertGraphicPictureDepth(card, view, depth));
    if (!dib.get())
        return false;
    data = GraphicPictureData(dib.get(), mask);
    maskLength = static_cast<uint32_t>(mask.size());
    return !data.empty();
}

bool RemapGraphicPicture(Handle card, uint32_t offset, HPALETTE palette) {
    std::vector<uint8_t> record = HandleToBytes(card);
    if (!palette || offset >= record.size())
        return false;
    const std::span<const uint8_t> graphic = std::span<const uint8_t>(record).subspan(offset);
    GraphicPictureView view;
    std::vector<uint8_t> mask;
    if (ReadGraphicPicture(graphic, view) != GraphicPictureRefusal::None || !RebuildMask(view.mask, mask))
        return false;
    ScopedHandle dib(GraphicPictureToDib(view));
    if (!dib.get())
        return false;
    DibHandle remapped = 0;
    if (view.depth <= 8) {
        remapped = CopyDib(dib.get());  // the indexes stay; they now name the new palette's colours
    } else {
        ScopedHandle wide(DisplayOrderTo24(dib.get()));
        ScopedHandle matched(MatchToPalette(wide.get(), palette, false));
        ScopedHandle shown(matched.get() ? RequantizeDibThroughDisplay(matched.get()) : 0);
        remapped = shown.get() ? FitDisplayDibToDepth(shown.get(), view.depth) : 0;
    }
    ScopedHandle owner(remapped);
    return StorePicture(card, record, offset, remapped, mask);
}

bool TranslateGraphicIndexes(Handle card, uint32_t offset, std::span<const uint8_t, 256> table) {
    std::vector<uint8_t> record = HandleToBytes(card);
    // A record never drawn keeps its flags exactly.
    if (offset + kGraphicHeaderBytes > record.size() ||
        GetU16(std::span<const uint8_t>(record).subspan(offset), kGraphicPictureFlags) == kGraphicNeverDrawn)
        return false;
    GraphicPictureView view;
    std::vector<uint8_t> mask;
    if (ReadGraphicPicture(std::span<const uint8_t>(record).subspan(offset), view) != GraphicPictureRefusal::None ||
        view.depth != 8 || !RebuildMask(view.mask, mask))
        return false;
    ScopedHandle dib(GraphicPictureToDib(view));
    {
        LockedDib locked(dib.get());
        if (!locked || locked.layout().depth != 8)
            return false;
        for (int y = 0; y < locked.layout().height; ++y)
            for (uint8_t& index : locked.row(y).first(size_t(locked.layout().width)))
                index = table[index];
    }
    return StorePicture(card, record, offset, dib.get(), mask);
}
