// Pictures between packed DIBs and the stand-in's 32-bit frames; AVI frames into pictures, sized
// from what was read (the stream's format as the file stores it and the frame's own bytes, or the
// frame a codec made for that format: a header never sizes more than was read, its colour count
// capped at what the format carries); and what the system's decoders hand back made into frames:
// a GIF's frames composed, a decompressor's rows, WIC's pixels.
#include "quicktime/dll/StandInMovies.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "quicktime/formats/VideoFrames.h"

namespace {

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

constexpr int32_t kMaxFrameSide = 16384;
constexpr size_t kInfoHeader = 40;
constexpr size_t kMasks = 12;  // the three masks after a 40-byte header with bit fields
constexpr uint32_t kRgb = 0, kBitFields = 3;

// The fields of a BITMAPINFOHEADER that size a frame.
struct FrameLayout {
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // rows, whichever way they run
    uint16_t bits = 0;
    uint32_t compression = 0;
    uint32_t colours = 0;  // as claimed, capped at what the depth can index
    uint64_t rowBytes = 0;
};

// The header's layout, when it is one of uncompressed rows of a sensible size.
bool ReadLayout(std::span<const uint8_t> header, FrameLayout* l) {
    if (header.size() < kInfoHeader)
        return false;
    l->headerSize = Le32(header, 0);
    l->width = static_cast<int32_t>(Le32(header, 4));
    const int64_t height = static_cast<int32_t>(Le32(header, 8));
    l->height = height < 0 ? -height : height;
    l->bits = Le16(header, 14);
    l->compression = Le32(header, 16);
    if (l->headerSize < kInfoHeader || l->width <= 0 || l->width > kMaxFrameSide || l->height == 0 ||
        l->height > kMaxFrameSide || l->width * l->height > kMaxVideoPixels)
        return false;
    const bool fields = l->compression == kBitFields && (l->bits == 16 || l->bits == 32);
    if (l->compression != kRgb && !fields)
        return false;
    if (l->bits != 1 && l->bits != 4 && l->bits != 8 && l->bits != 16 && l->bits != 24 && l->bits != 32)
        return false;
    if (l->bits <= 8) {
        const uint32_t most = 1u << l->bits, claimed = Le32(header, 32);
        l->colours = claimed == 0 || claimed > most ? most : claimed;
    }
    l->rowBytes = (uint64_t(l->width) * l->bits + 31) / 32 * 4;
    return true;
}

// Where the colours start: after the header, and after the masks that follow a 40-byte one.
uint64_t ColoursAt(const FrameLayout& l) {
    return l.headerSize + (l.compression == kBitFields && l.headerSize == kInfoHeader ? kMasks : 0);
}

// The frame of a packed DIB; its allocation may throw (StandInImageFromDib catches it).
bool ImageFromDib(std::span<const uint8_t> dib, StandInImage* out) {
    if (dib.size() < 40)
        return false;
    const uint32_t headerSize = Le32(dib, 0);
    const auto width = static_cast<int32_t>(Le32(dib, 4));
    const auto rawHeight = static_cast<int32_t>(Le32(dib, 8));
    const uint16_t bits = Le16(dib, 14);
    const uint32_t compression = Le32(dib, 16);
    uint32_t colours = Le32(dib, 32);
    if (headerSize < 40 || headerSize > dib.size() || width <= 0 || width > kMaxFrameSide || rawHeight == 0 ||
        rawHeight < -kMaxFrameSide || rawHeight > kMaxFrameSide ||
        int64_t(width) * (rawHeight < 0 ? -int64_t(rawHeight) : rawHeight) > kMaxVideoPixels)
        return false;
    const bool topDown = rawHeight < 0;
    const int32_t height = topDown ? -rawHeight : rawHeight;
    size_t at = headerSize;
    if (compression == 3 && (bits == 16 || bits == 32))
        at += headerSize == 40 ? 12 : 0;  // the three masks; only the usual 5-6-5 and 8-8-8 are read
    else if (compression != 0)
        return false;
    if (bits <= 8) {
        if (colours == 0 || colours > (1u << bits))
            colours = 1u << bits;
    } else {
        colours = 0;
    }
    const size_t palette = at;
    at += size_t(colours) * 4;
    const size_t rowBytes = ((size_t(width) * bits + 31) / 32) * 4;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (at > dib.size() || rowBytes * height > dib.size() - at)
        return false;
    const bool mask565 = compression == 3 && bits == 16 && headerSize == 40 && Le32(dib, 40) == 0xF800;
    out->width = width;
    out->height = height;
    out->bgra.assign(size_t(width) * height * 4, 0xFF);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = dib.data() + at + rowBytes * size_t(topDown ? y : height - 1 - y);
        uint8_t* px = out->bgra.data() + size_t(y) * width * 4;
        for (int32_t x = 0; x < width; ++x, px += 4) {
            uint32_t index = 0;
            switch (bits) {
            case 1: index = (row[x / 8] >> (7 - x % 8)) & 1; break;
            case 4: index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 15; break;
            case 8: index = row[x]; break;
            case 16: {
                const uint16_t v = uint16_t(row[2 * x] | row[2 * x + 1] << 8);
                const int gShift = 5, rShift = mask565 ? 11 : 10, gBits = mask565 ? 6 : 5;
                const uint32_t b = v & 31, g = (v >> gShift) & ((1u << gBits) - 1), r = (v >> rShift) & 31;
                px[0] = uint8_t(b * 255 / 31);
                px[1] = uint8_t(g * 255 / ((1u << gBits) - 1));
                px[2] = uint8_t(r * 255 / 31);
                continue;
            }
            case 24: std::memcpy(px, row + 3 * x, 3); continue;
            default: std::memcpy(px, row + 4 * x, 3); continue;
            }
            if (index < colours)
                std::memcpy(px, dib.data() + palette + 4 * index, 3);
            else
                px[0] = px[1] = px[2] = 0;
        }
    }
    return true;
}

}  // namespace

bool StandInImageFromDib(std::span<const uint8_t> dib, StandInImage* out) {
    try {
        return ImageFromDib(dib, out);
    } catch (const std::bad_alloc&) {
        *out = {};
        return false;  // too large for what memory is left: cannot be read
    }
}

std::vector<uint8_t> StandInDibFromImage(const StandInImage& image) {
    const size_t rowBytes = size_t(image.width) * 4;
    std::vector<uint8_t> dib(40 + rowBytes * image.height, 0);
    Put32(&dib[0], 40);
    Put32(&dib[4], uint32_t(image.width));
    Put32(&dib[8], uint32_t(image.height));  // bottom-up, as packed DIBs usually are
    dib[12] = 1;
    dib[14] = 32;
    Put32(&dib[20], uint32_t(rowBytes * image.height));
    for (int32_t y = 0; y < image.height; ++y)
        std::memcpy(&dib[40 + rowBytes * (image.height - 1 - y)], image.bgra.data() + rowBytes * y, rowBytes);
    return dib;
}

namespace {

// One packed DIB of what was read: a plain header, the masks (inside a larger header too), the
// colours (those not carried black), the rows.
std::vector<uint8_t> PackedFrame(std::span<const uint8_t> format, std::span<const uint8_t> rows, const FrameLayout& l,
                                 uint64_t coloursAt, uint64_t carried) {
    const bool fields = l.compression == kBitFields;
    const uint32_t colours = l.colours;
    std::vector<uint8_t> dib(format.begin(), format.begin() + kInfoHeader);
    dib[0] = uint8_t(kInfoHeader);
    dib[1] = dib[2] = dib[3] = 0;
    for (int i = 0; i < 4; ++i)
        dib[32 + i] = uint8_t(colours >> (8 * i));
    if (fields)
        dib.insert(dib.end(), format.begin() + kInfoHeader, format.begin() + kInfoHeader + kMasks);
    dib.insert(dib.end(), format.begin() + ptrdiff_t(coloursAt), format.begin() + ptrdiff_t(coloursAt + carried * 4));
    dib.resize(dib.size() + size_t(colours - carried) * 4, 0);
    dib.insert(dib.end(), rows.begin(), rows.end());
    return dib;
}

}  // namespace

bool AviFrameImage(std::span<const uint8_t> format, std::span<const uint8_t> rows, StandInImage* out) {
    FrameLayout l;
    if (!ReadLayout(format, &l) || l.headerSize > format.size())
        return false;
    const uint64_t coloursAt = ColoursAt(l);
    if (coloursAt > format.size() || (l.compression == kBitFields && format.size() < kInfoHeader + kMasks))
        return false;
    // A header may claim colours its format does not carry: only those carried are read, the
    // others are black.
    const uint64_t carried = std::min<uint64_t>(l.colours, (format.size() - coloursAt) / 4);
    const uint64_t rowsBytes = l.rowBytes * uint64_t(l.height);
    if (rowsBytes > rows.size())
        return false;
    try {
        return StandInImageFromDib(PackedFrame(format, rows.first(size_t(rowsBytes)), l, coloursAt, carried), out);
    } catch (const std::bad_alloc&) {
        *out = {};
        return false;  // too large for what memory is left: cannot be read
    }
}

size_t DecodedAviFrameBytes(std::span<const uint8_t> frameHeader, std::span<const uint8_t> format) {
    FrameLayout made;
    if (!ReadLayout(frameHeader, &made) || format.size() < kInfoHeader)
        return 0;
    // The stream's own size, whatever its coding.
    const int64_t width = static_cast<int32_t>(Le32(format, 4)), height = static_cast<int32_t>(Le32(format, 8));
    if (made.width != width || made.height != (height < 0 ? -height : height) || made.headerSize > 1024)
        return 0;
    const uint64_t size = ColoursAt(made) + uint64_t(made.colours) * 4 + made.rowBytes * uint64_t(made.height);
    return size <= SIZE_MAX ? size_t(size) : 0;
}

namespace {

class GifPictures final : public StandInPictureSource {
public:
    explicit GifPictures(std::vector<StandInImage> frames) : frames_(std::move(frames)) {}
    bool Frame(uint32_t sample, StandInImage* out) override {
        if (sample >= frames_.size())
            return false;
        *out = frames_[sample];
        return true;
    }

private:
    std::vector<StandInImage> frames_;
};

// The part of a w x h rectangle at (left, top) that lies on the canvas: columns [x0, x1) and
// rows [y0, y1) of the canvas. Places from the file may lie anywhere.
struct Overlap {
    size_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
Overlap OverlapOf(const StandInImage& canvas, uint32_t w, uint32_t h, uint32_t left, uint32_t top) {
    const uint64_t width = static_cast<uint64_t>(canvas.width), height = static_cast<uint64_t>(canvas.height);
    Overlap o;
    o.x0 = static_cast<size_t>(std::min<uint64_t>(left, width));
    o.y0 = static_cast<size_t>(std::min<uint64_t>(top, height));
    o.x1 = static_cast<size_t>(std::min<uint64_t>(uint64_t{left} + w, width));
    o.y1 = static_cast<size_t>(std::min<uint64_t>(uint64_t{top} + h, height));
    return o;
}

// Lays a decoded frame (BGRA with alpha) over the canvas at (left, top).
void Lay(StandInImage* canvas, std::span<const uint8_t> pixels, uint32_t w, uint32_t h, uint32_t left, uint32_t top) {
    const Overlap o = OverlapOf(*canvas, w, h, left, top);
    for (size_t y = o.y0; y < o.y1; ++y)
        for (size_t x = o.x0; x < o.x1; ++x) {
            const uint8_t* src = &pixels[((y - top) * w + (x - left)) * 4];
            if (src[3] == 0)
                continue;
            uint8_t* dst = &canvas->bgra[(y * static_cast<size_t>(canvas->width) + x) * 4];
            std::copy(src, src + 3, dst);
            dst[3] = 0xFF;
        }
}

void Clear(StandInImage* canvas, uint32_t w, uint32_t h, uint32_t left, uint32_t top) {
    const Overlap o = OverlapOf(*canvas, w, h, left, top);
    for (size_t y = o.y0; y < o.y1; ++y)
        for (size_t x = o.x0; x < o.x1; ++x)
            std::fill_n(&canvas->bgra[(y * static_cast<size_t>(canvas->width) + x) * 4], 4, uint8_t(0xFF));
}

}  // namespace

bool GifComposer::FrameSizeFits(uint32_t width, uint32_t height) {
    return width != 0 && height != 0 && width <= kGifMaxSide && height <= kGifMaxSide;
}

bool GifComposer::Add(std::span<const uint8_t> bgra, uint32_t width, uint32_t height, uint32_t left, uint32_t top,
                      uint32_t delay, uint32_t disposal) {
    try {
        return Compose(bgra, width, height, left, top, delay, disposal);
    } catch (const std::bad_alloc&) {
        return false;  // memory ran out: the movie is the frames composed so far
    }
}

bool GifComposer::Compose(std::span<const uint8_t> bgra, uint32_t width, uint32_t height, uint32_t left,
                          uint32_t top, uint32_t delay, uint32_t disposal) {
    if (!FrameSizeFits(width, height) || bgra.size() / 4 / width < height || frames_.size() >= kGifMaxFrames)
        return false;
    if (frames_.empty()) {
        screenWidth_ = std::clamp<uint32_t>(screenWidth_ ? screenWidth_ : width, 1, kGifMaxSide);
        screenHeight_ = std::clamp<uint32_t>(screenHeight_ ? screenHeight_ : height, 1, kGifMaxSide);
        canvas_.width = static_cast<int32_t>(screenWidth_);
        canvas_.height = static_cast<int32_t>(screenHeight_);
        canvas_.bgra.assign(size_t(screenWidth_) * screenHeight_ * 4, 0xFF);
        track_ = {};
        track_.mediaType = kStandInVideo;
        track_.mediaScale = 100;  // GIF delays are hundredths of a second
    }
    total_ += canvas_.bgra.size();
    if (total_ > kGifMaxComposedBytes)
        return false;
    const StandInImage before = disposal == 3 ? canvas_ : StandInImage{};
    Lay(&canvas_, bgra, width, height, left, top);
    frames_.push_back(canvas_);
    AddStandInSampleRun(&track_, 1, delay ? delay : 10);
    if (disposal == 2)
        Clear(&canvas_, width, height, left, top);
    else if (disposal == 3)
        canvas_ = before;
    return true;
}

int32_t GifComposer::Finish(StandInMovie* movie) {
    if (frames_.empty())
        return kQtCantFindHandler;
    QtImageDescription d{};
    d.idSize = sizeof d;
    d.cType = QtFourCC("gif ");
    d.dataRefIndex = 1;
    d.width = static_cast<int16_t>(screenWidth_);
    d.height = static_cast<int16_t>(screenHeight_);
    d.hRes = d.vRes = 72 << 16;
    d.frameCount = 1;
    d.depth = 8;
    d.clutId = -1;
    track_.descriptions.emplace_back(reinterpret_cast<const uint8_t*>(&d), reinterpret_cast<const uint8_t*>(&d) + sizeof d);
    track_.width = canvas_.width;
    track_.height = canvas_.height;
    track_.inserted = true;
    movie->timeScale = 600;
    movie->natural = movie->box = {0, 0, canvas_.width, canvas_.height};
    movie->tracks.push_back(std::move(track_));
    movie->pictures = std::make_unique<GifPictures>(std::move(frames_));
    RecomputeStandInDuration(movie);
    frames_.clear();
    return kQtNoErr;
}

void MakeStandInImageOpaque(StandInImage* image) {
    for (size_t i = 3; i < image->bgra.size(); i += 4)
        image->bgra[i] = 0xFF;
}

bool StandInImageFromBottomUpRows(std::span<const uint8_t> rows, int32_t width, int32_t height, int bytesPerPixel,
                                  StandInImage* out) {
    if (width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4) ||
        int64_t(width) * height > kMaxVideoPixels)
        return false;
    const size_t stride = (size_t(width) * bytesPerPixel + 3) & ~size_t(3);
    if (rows.size() / stride < size_t(height))
        return false;
    out->width = width;
    out->height = height;
    try {
        out->bgra.resize(size_t(width) * height * 4);
    } catch (const std::bad_alloc&) {
        *out = {};
        return false;
    }
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = rows.data() + stride * size_t(height - 1 - y);  // bottom-up
        uint8_t* px = out->bgra.data() + size_t(y) * width * 4;
        for (int32_t x = 0; x < width; ++x, px += 4) {
            std::copy_n(row + size_t(x) * bytesPerPixel, 3, px);
            px[3] = 0xFF;
        }
    }
    return true;
}

void ComposeOverWhite(std::span<uint8_t> bgra) {
    for (size_t i = 0; i + 4 <= bgra.size(); i += 4) {
        const unsigned a = bgra[i + 3];
        for (int c = 0; c < 3; ++c)
            bgra[i + c] = static_cast<uint8_t>((bgra[i + c] * a + 255 * (255 - a) + 127) / 255);
        bgra[i + 3] = 0;
    }
}
