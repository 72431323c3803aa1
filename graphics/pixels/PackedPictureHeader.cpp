// Packed pictures ("PPak"): the header, its checks, decoding into DIBs, packing DIBs, and the
// frame deltas of animations.
#include "graphics/pixels/PackedPictureHeader.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/pixels/Lzrw.h"
#include "graphics/pixels/LzrwRows.h"
#include "graphics/pixels/PackBits.h"

namespace {

constexpr uint8_t kTag[4] = {'P', 'P', 'a', 'k'};
// The most one byte of stored data can become: the two bytes of a repeat run give 128; the two
// bytes of an LZRW1 copy item give 18, and every 16 items cost a control word besides.
constexpr uint64_t kRunsMaxGrowth = 64;

bool IsMapDepth(int depth) { return depth == 1 || depth == 8 || depth == 16 || depth == 32; }

PPakCheck Refuse(const char*& why, PPakCheck result, const char* text) {
    why = text;
    return result;
}

// One row record per row, each inside the data and able to make a whole Mac row.
const char* CheckRowRecords(std::span<const uint8_t> data, int height, uint32_t macRow) {
    size_t at = 0;
    for (int row = 0; row < height; ++row) {
        ByteReader r(data, at);
        const uint8_t flag = r.U8();
        r.Skip(1);
        const int length = r.I16BE();
        if (!r.ok())
            return "row records end before the last row";
        if (length < static_cast<int>(kLzrwHeaderBytes) || static_cast<size_t>(length) > data.size() - at)
            return "a row record's length passes the pixel data";
        const uint64_t stream = static_cast<uint64_t>(length) - kLzrwHeaderBytes;
        if (flag != kLzrwFlagStored && flag != kLzrwFlagCompressed)
            return "a row record's flag is neither 0 nor 1";
        const bool whole = flag == kLzrwFlagStored ? stream == macRow : stream * kLzrwMaxGrowth >= macRow;
        if (!whole)
            return "a row record cannot make a whole row";
        at += static_cast<size_t>(length);
    }
    return nullptr;
}

}  // namespace

int WritePackedPictureHeader(uint16_t width, uint16_t height, uint16_t depth, int32_t rowBytes, Handle* out) {
    *out = 0;
    ScopedHandle h(NewHandle(kPPakHeaderBytes));
    HandleLock lock(h.get());
    if (!lock)
        return -1;
    ByteWriter w({lock.get(), kPPakHeaderBytes}, 0);
    w.Bytes(kTag);
    w.U32BE(0);  // total, once the rest is known
    w.U16BE(kPPakVersion);
    w.U16BE(width);
    w.U16BE(height);
    w.U16BE(depth);
    w.U32BE(0);
    w.U32BE(static_cast<uint32_t>(rowBytes));
    w.Zeros(kPPakHeaderBytes - kPPakPackingAt);
    if (!w.ok())
        return -1;
    *out = h.release();
    return 0;
}

int FinishPackedPicture(Handle picture, uint16_t packingType, std::span<const uint8_t> colorTable,
                        std::span<const uint8_t> pixelData, uint32_t* total) {
    if (!IsValidHandle(picture) || GetHandleSize(picture) != kPPakHeaderBytes)
        return -1;
    const uint64_t used = uint64_t{kPPakHeaderBytes} + colorTable.size() + pixelData.size();
    const uint64_t even = used + (used & 1);
    if (even > kDibMaxImageBytes)
        return -1;
    if (SetHandleSize(picture, static_cast<uint32_t>(even)) != 0)
        return -1;
    HandleLock lock(picture);
    if (!lock)
        return -1;
    ByteWriter w({lock.get(), static_cast<size_t>(even)}, kPPakHeaderBytes);
    w.Bytes(colorTable);
    w.Bytes(pixelData);
    w.Zeros(static_cast<size_t>(even - used));
    std::span<uint8_t> header{lock.get(), kPPakHeaderBytes};
    SetBE32(header, kPPakTotalAt, static_cast<uint32_t>(even));
    SetBE16(header, kPPakPackingAt, packingType);
    SetBE32(header, kPPakTableBytesAt, static_cast<uint32_t>(colorTable.size()));
    SetBE32(header, kPPakDataBytesAt, static_cast<uint32_t>(pixelData.size()));
    if (total)
        *total = static_cast<uint32_t>(even);
    return w.ok() ? 0 : -1;
}

PPakHeader ReadPackedPictureHeader(std::span<const uint8_t> packed) {
    ByteReader r(packed, kPPakTotalAt);
    PPakHeader h;
    h.total = r.U32BE();
    h.version = r.U16BE();
    h.width = r.U16BE();
    h.height = r.U16BE();
    h.depth = r.U16BE();
    r.Skip(4);
    h.rowBytes = static_cast<int32_t>(r.U32BE());
    h.packingType = r.U16BE();
    h.colorTableBytes = r.U32BE();
    h.pixelDataBytes = r.U32BE();
    return h;
}

bool SwapPackedPictureHeader(std::span<uint8_t> header) {
    if (header.size() < kPPakHeaderBytes)
        return false;
    for (uint32_t at : {kPPakTagAt, kPPakTotalAt, kPPakZeroAt, kPPakRowBytesAt, kPPakTableBytesAt, kPPakDataBytesAt})
        SwapField32(header, at);
    for (uint32_t at : {kPPakVersionAt, kPPakWidthAt, kPPakHeightAt, kPPakDepthAt, kPPakPackingAt})
        SwapField16(header, at);
    return true;
}

PPakCheck CheckPackedPicture(std::span<const uint8_t> packed, uint32_t expectedTotal, PPakView& out,
                             const char** reason) {
    out = {};
    const char* unused = nullptr;
    const char*& why = reason ? *reason : unused;
    why = "";
    if (packed.size() < kPPakHeaderBytes)
        return Refuse(why, PPakCheck::Damaged, "shorter than the 58-byte header");
    if (!std::equal(std::begin(kTag), std::end(kTag), packed.begin()))
        return Refuse(why, PPakCheck::Damaged, "no PPak tag");
    const PPakHeader h = ReadPackedPictureHeader(packed);
    if (h.total != expectedTotal)
        return Refuse(why, PPakCheck::TotalMismatch, "total is not the size expected");
    if (h.total > packed.size())
        return Refuse(why, PPakCheck::Damaged, "total passes the bytes at hand");
    if (!IsMapDepth(h.depth))
        return Refuse(why, PPakCheck::Damaged, "depth is not 1, 8, 16 or 32");
    if (h.width == 0 || h.height == 0 || h.width > kDibMaxDimension || h.height > kDibMaxDimension)
        return Refuse(why, PPakCheck::Damaged, "width or height outside 1..32767");
    if (h.packingType != kPPakLzrwRows && h.packingType != kPPakPackBits)
        return Refuse(why, PPakCheck::UnknownPacking, "packing type is neither 4 nor 6");
    const uint64_t used = uint64_t{kPPakHeaderBytes} + h.colorTableBytes + h.pixelDataBytes;
    if (used > h.total || h.total - used > 1)
        return Refuse(why, PPakCheck::Damaged, "header, colour table and pixel data do not make the total");
    const std::span<const uint8_t> table = packed.subspan(kPPakHeaderBytes, h.colorTableBytes);
    const std::span<const uint8_t> data = packed.subspan(kPPakHeaderBytes + h.colorTableBytes, h.pixelDataBytes);
    if (!table.empty() && kMacColorTableHeaderBytes + kMacColorTableEntryBytes * ReadMacColorTable(table).size() !=
                              table.size())
        return Refuse(why, PPakCheck::Damaged, "colour table is not one whole Mac colour table");

    const uint64_t macRow = static_cast<uint64_t>(MacRowBytes(h.depth, h.width));
    if (static_cast<uint64_t>(DibRowBytes(h.depth, h.width)) * h.height > kDibMaxImageBytes)
        return Refuse(why, PPakCheck::Damaged, "picture too large");
    if (h.packingType == kPPakLzrwRows) {
        if (macRow > kMaxLzrwMacRowBytes)
            return Refuse(why, PPakCheck::Damaged, "rows too long for row records");
        if (const char* text = CheckRowRecords(data, h.height, static_cast<uint32_t>(macRow)))
            return Refuse(why, PPakCheck::Damaged, text);
    } else if (data.size() * kRunsMaxGrowth < macRow * h.height) {
        return Refuse(why, PPakCheck::Damaged, "runs too short to fill the picture");
    }
    out.header = h;
    out.colorTable = table;
    out.pixelData = data;
    return PPakCheck::Ok;
}

PixPakResult PixPak_Decompress(DibHandle dib, std::span<const uint8_t> pixelData, uint16_t packingType) {
    bool filled = false;
    if (packingType == kPPakPackBits)
        filled = DibFromMacRows(dib, pixelData);
    else if (packingType == kPPakLzrwRows)
        filled = UnpackLzrwDibRows(dib, pixelData);
    else
        return PixPakResult::UnknownType;
    // Stored rows are top row first and in the stored pixel order.
    if (!filled || !DibFlipRows(dib) || !DibFromStoredPixelOrder(dib))
        return PixPakResult::Damaged;
    return PixPakResult::Ok;
}

PPakCheck DibFromPackedPicture(std::span<const uint8_t> packed, uint32_t expectedTotal, DibHandle* out,
                               const char** reason) {
    *out = 0;
    const char* unused = nullptr;
    const char*& why = reason ? *reason : unused;
    PPakView view;
    const PPakCheck checked = CheckPackedPicture(packed, expectedTotal, view, &why);
    if (checked != PPakCheck::Ok)
        return checked;
    const PPakHeader& h = view.header;
    ScopedHandle dib(NewDib(h.width, h.height, h.depth));
    if (!dib.get())
        return Refuse(why, PPakCheck::Damaged, "no memory for the picture");
    if (h.depth == 1) {
        const DibColor blackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        SetDibColorTable(dib.get(), blackWhite);
    } else if (h.depth <= 8) {
        DibSetColorsFromMacTable(dib.get(), view.colorTable);
    }
    if (PixPak_Decompress(dib.get(), view.pixelData, h.packingType) != PixPakResult::Ok)
        return Refuse(why, PPakCheck::Damaged, "pixel data does not unpack into the picture's rows");
    *out = dib.release();
    return PPakCheck::Ok;
}

Handle PackPPakPixelData(DibHandle dib, uint16_t packingType) {
    if (packingType != kPPakLzrwRows && packingType != kPPakPackBits)
        return 0;
    if (!DibFlipRows(dib) || !DibToStoredPixelOrder(dib))
        return 0;
    return packingType == kPPakLzrwRows ? PackLzrwDibRows(dib) : PackDibRows(dib);
}

int PackDibAsPackedPicture(DibHandle dib, uint16_t packingType, int32_t rowBytes,
                           std::span<const uint8_t> colorTable, Handle* out, uint32_t* total) {
    *out = 0;
    DibLayout layout;
    {
        LockedDib locked(dib);
        if (!locked || !IsMapDepth(locked.layout().depth))
            return -1;
        layout = locked.layout();
    }
    ScopedHandle pixels(PackPPakPixelData(dib, packingType));
    if (!pixels.get())
        return -1;
    Handle header = 0;
    if (WritePackedPictureHeader(static_cast<uint16_t>(layout.width), static_cast<uint16_t>(layout.height),
                                 static_cast<uint16_t>(layout.depth), rowBytes, &header) != 0)
        return -1;
    ScopedHandle picture(header);
    {
        HandleLock lock(pixels.get());
        if (!lock ||
            FinishPackedPicture(picture.get(), packingType, colorTable, lock.bytes(),
                                total) != 0)
            return -1;
    }
    *out = picture.release();
    return 0;
}

std::vector<uint8_t> MacColorTableFromColors(std::span<const DibColor> colors) {
    const size_t count = std::min<size_t>(colors.size(), kMaxColorTableEntries);
    if (count == 0)
        return {};
    std::vector<uint8_t> table;
    ByteWriter w(table);
    w.U32BE(0);
    w.U16BE(0);
    w.U16BE(static_cast<uint16_t>(count - 1));
    for (size_t i = 0; i < count; ++i) {
        w.U16BE(static_cast<uint16_t>(i));
        w.U16BE(static_cast<uint16_t>(colors[i].red << 8));
        w.U16BE(static_cast<uint16_t>(colors[i].green << 8));
        w.U16BE(static_cast<uint16_t>(colors[i].blue << 8));
    }
    return table;
}

DeltaResult ApplyDeltaToRows(std::span<uint8_t> image, uint32_t rowBytes, uint32_t macRowBytes, int height,
                             bool bottomUp, std::span<const uint8_t> delta) {
    DeltaResult result;
    // Bytes of a Mac row past the DIB row (or of a DIB row past the Mac row) are no pixels.
    const uint64_t kept = std::min(rowBytes, macRowBytes);
    uint64_t base = 0;
    for (size_t at = 0; delta.size() - at >= 4; at += 4) {
        const uint8_t* pair = delta.data() + at;
        if (pair[0] == 0x80 && pair[1] == 0x01) {
            base += 32768;
            continue;
        }
        const uint64_t offset = base + (uint64_t{pair[0]} << 8 | pair[1]);
        size_t where[2] = {};
        bool inside = kept > 0 && height > 0;
        for (int k = 0; k < 2 && inside; ++k) {
            const uint64_t row = (offset + k) / macRowBytes;
            const uint64_t column = (offset + k) % macRowBytes;
            if (row >= static_cast<uint64_t>(height) || column >= kept) {
                inside = false;
                break;
            }
            const uint64_t dibRow = bottomUp ? static_cast<uint64_t>(height) - 1 - row : row;
            const uint64_t byte = dibRow * rowBytes + column;
            inside = byte < image.size();
            where[k] = static_cast<size_t>(byte);
        }
        if (!inside) {
            ++result.skipped;
            continue;
        }
        image[where[0]] = pair[2];
        image[where[1]] = pair[3];
        ++result.written;
    }
    return result;
}

bool ApplyDeltaToDib(DibHandle dib, std::span<const uint8_t> delta, DeltaResult* result) {
    if (!DibToStoredPixelOrder(dib))
        return false;
    {
        LockedDib locked(dib);
        if (!locked)
            return false;
        const DibLayout& layout = locked.layout();
        const auto macRow = static_cast<uint32_t>(MacRowBytes(layout.depth, layout.width));
        const DeltaResult r = ApplyDeltaToRows(locked.image(), layout.rowBytes, macRow, layout.height, true, delta);
        if (result)
            *result = r;
    }
    return DibFromStoredPixelOrder(dib);
}
