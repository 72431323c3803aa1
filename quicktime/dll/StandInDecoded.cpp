// What the system's decoders hand the stand-in, made into frames and movies (StandInDecoded.h).
#include "quicktime/dll/StandInDecoded.h"

#include <algorithm>
#include <memory>

#include "quicktime/QtEffects.h"

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
    if (width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4))
        return false;
    const size_t stride = (size_t(width) * bytesPerPixel + 3) & ~size_t(3);
    if (rows.size() / stride < size_t(height))
        return false;
    out->width = width;
    out->height = height;
    out->bgra.resize(size_t(width) * height * 4);
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
