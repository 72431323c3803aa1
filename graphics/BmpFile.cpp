// Stored rows to a BMP file, through the DIB handle conversions: Mac rows to DIB rows, stored
// to Windows pixel order, top-down to bottom-up.
#include "graphics/BmpFile.h"

#include "graphics/Dib.h"
#include "graphics/DibBytes.h"

namespace {

// Frees a handle at the end of a scope.
class HandleScope {
public:
    explicit HandleScope(Handle h) : h_(h) {}
    ~HandleScope() {
        if (h_)
            DisposeHandle(h_);
    }
    HandleScope(const HandleScope&) = delete;
    HandleScope& operator=(const HandleScope&) = delete;
    Handle get() const { return h_; }

private:
    Handle h_;
};

// Copies the stored rows into a Mac rows handle; false when they do not fill it.
bool FillMacRows(Handle mac, std::span<const uint8_t> rows) {
    HandleLock lock(mac);
    if (!lock)
        return false;
    const std::span<uint8_t> bytes(lock.get(), GetHandleSize(mac));
    DibLayout layout;
    if (!ReadDibLayout(bytes, layout, RowRule::Mac) || rows.size() < layout.imageBytes)
        return false;
    BlockMove(rows.data(), bytes.data() + layout.bitsOffset, layout.imageBytes);
    return true;
}

}  // namespace

std::vector<uint8_t> BmpFileFromStoredRows(int width, int height, int depth,
                                           std::span<const uint8_t> rows,
                                           std::span<const DibColor> colors) {
    HandleScope mac(NewMacRowsHandle(width, height, depth));
    if (!mac.get() || !FillMacRows(mac.get(), rows))
        return {};
    HandleScope dib(MacRowsToDib(mac.get()));
    if (!dib.get() || !DibFromStoredPixelOrder(dib.get()) || !DibFlipRows(dib.get()))
        return {};
    if (depth <= 8 && SetDibColorTable(dib.get(), colors) < 0)
        return {};

    HandleLock lock(dib.get());
    if (!lock)
        return {};
    const std::span<const uint8_t> bytes(lock.get(), GetHandleSize(dib.get()));
    DibLayout layout;
    if (!ReadDibLayout(bytes, layout))
        return {};
    const size_t dibBytes = size_t{layout.bitsOffset} + layout.imageBytes;  // no spare room
    std::vector<uint8_t> file(kBmpFileHeaderBytes + dibBytes);
    DibByteWriter w(file);
    w.U8('B');
    w.U8('M');
    w.U32LE(static_cast<uint32_t>(file.size()));
    w.U16LE(0);
    w.U16LE(0);
    w.U32LE(kBmpFileHeaderBytes + layout.bitsOffset);
    if (!w.ok())
        return {};
    BlockMove(bytes.data(), file.data() + kBmpFileHeaderBytes, dibBytes);
    return file;
}
