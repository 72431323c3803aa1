// Stored rows to a BMP file, through the DIB handle conversions: Mac rows to DIB rows, stored
// to Windows pixel order, top-down to bottom-up.
#include "graphics/dib/BmpFile.h"

#include "core/memory/ByteReader.h"
#include "graphics/dib/Dib.h"

namespace {

// Copies the stored rows into a Mac rows handle; false when they do not fill it.
bool FillMacRows(Handle mac, std::span<const uint8_t> rows) {
    LockedDib locked(mac, RowRule::Mac);
    if (!locked || rows.size() < locked.image().size())
        return false;
    BlockMove(rows.data(), locked.image().data(), locked.image().size());
    return true;
}

}  // namespace

std::vector<uint8_t> BmpFileFromStoredRows(int width, int height, int depth,
                                           std::span<const uint8_t> rows,
                                           std::span<const DibColor> colors) {
    ScopedHandle mac(NewMacRowsHandle(width, height, depth));
    if (!mac.get() || !FillMacRows(mac.get(), rows))
        return {};
    ScopedHandle dib(MacRowsToDib(mac.get()));
    if (!dib.get() || !DibFromStoredPixelOrder(dib.get()) || !DibFlipRows(dib.get()))
        return {};
    if (depth <= 8 && SetDibColorTable(dib.get(), colors) < 0)
        return {};

    LockedDib locked(dib.get());
    if (!locked)
        return {};
    const DibLayout& layout = locked.layout();
    const size_t dibBytes = size_t{layout.bitsOffset} + layout.imageBytes;  // no spare room
    std::vector<uint8_t> file(kBmpFileHeaderBytes + dibBytes);
    ByteWriter w(file, 0);
    w.U8('B');
    w.U8('M');
    w.U32LE(static_cast<uint32_t>(file.size()));
    w.U16LE(0);
    w.U16LE(0);
    w.U32LE(kBmpFileHeaderBytes + layout.bitsOffset);
    if (!w.ok())
        return {};
    BlockMove(locked.bytes().data(), file.data() + kBmpFileHeaderBytes, dibBytes);
    return file;
}
