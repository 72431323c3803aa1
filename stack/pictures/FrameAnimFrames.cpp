#include "stack/pictures/FrameAnimFrames.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "graphics/dib/Dib.h"

namespace {

uint32_t StoredRowBytes(int width, int depth) { return static_cast<uint32_t>((int64_t{width} * depth + 15) / 16 * 2); }

// A 4-bit picture's byte holds two pixels, each mapped on its own.
uint8_t MapPixelByte(uint8_t value, int depth, const std::array<uint8_t, 256>& map) {
    if (depth == 4)
        return static_cast<uint8_t>((map[value >> 4] & 0x0F) << 4 | (map[value & 0x0F] & 0x0F));
    return map[value];
}

}  // namespace

const char* FrameAnimRefusalText(FrameAnimRefusal refusal) {
    switch (refusal) {
    case FrameAnimRefusal::None: return "none";
    case FrameAnimRefusal::Short: return "shorter than its header";
    case FrameAnimRefusal::BadSize: return "width or height outside 1..32767";
    case FrameAnimRefusal::BadDepth: return "not 1, 4, 8, 16, 24 or 32 bits a pixel";
    case FrameAnimRefusal::NoFrames: return "no frames";
    case FrameAnimRefusal::FirstFrameShort: return "frame 1 shorter than its rows";
    }
    return "unknown";
}

FrameAnimRefusal ReadFrameAnimHeader(std::span<const uint8_t> animation, FrameAnimHeader* header) {
    *header = {};
    if (animation.size() < kFrameAnimHeaderBytes)
        return FrameAnimRefusal::Short;
    FrameAnimHeader h;
    h.width = GetU16(animation, kFrameAnimWidth);
    h.height = GetU16(animation, kFrameAnimHeight);
    h.delay = GetU16(animation, kFrameAnimDelay);
    h.cycles = GetU16(animation, kFrameAnimCycles);
    h.frameCount = GetI16(animation, kFrameAnimCount);
    h.depth = GetU16(animation, kFrameAnimDepth);
    h.flags = GetU16(animation, kFrameAnimFlags);
    if (h.width < 1 || h.width > kDibMaxDimension || h.height < 1 || h.height > kDibMaxDimension)
        return FrameAnimRefusal::BadSize;
    if (!IsDibDepth(h.depth))
        return FrameAnimRefusal::BadDepth;
    if (h.frameCount < 1)
        return FrameAnimRefusal::NoFrames;
    h.storedRowBytes = StoredRowBytes(h.width, h.depth);
    h.pictureRowBytes = static_cast<uint32_t>(DibRowBytes(h.depth, h.width));
    *header = h;
    return FrameAnimRefusal::None;
}

FrameAnimRefusal CheckFrameAnim(std::span<const uint8_t> animation, FrameAnimHeader* header) {
    const FrameAnimRefusal refusal = ReadFrameAnimHeader(animation, header);
    if (refusal != FrameAnimRefusal::None)
        return refusal;
    AnimFramePlace first;
    if (!FindAnimFrame(animation, 1, &first) ||
        AnimFrameData(animation, first).size() / header->storedRowBytes < static_cast<uint32_t>(header->height))
        return FrameAnimRefusal::FirstFrameShort;
    return FrameAnimRefusal::None;
}

bool FindAnimFrame(std::span<const uint8_t> animation, int n, AnimFramePlace* place) {
    uint64_t offset = kFrameAnimHeaderBytes;
    for (int i = 1; i <= n; ++i) {
        if (offset + kFrameAnimFrameHeadBytes > animation.size())
            return false;
        const uint32_t length = GetU32(animation, static_cast<size_t>(offset) + kFrameLength);
        if (length < kFrameAnimFrameHeadBytes || length > animation.size() - offset)
            return false;
        if (i == n) {
            *place = {static_cast<uint32_t>(offset), length};
            return true;
        }
        offset += length;
    }
    return false;
}

std::span<const uint8_t> AnimFrameData(std::span<const uint8_t> animation, const AnimFramePlace& place) {
    return animation.subspan(place.offset + kFrameAnimFrameHeadBytes, place.length - kFrameAnimFrameHeadBytes);
}

bool DecodeFirstAnimFrame(std::span<const uint8_t> frameData, const FrameAnimHeader& header, std::span<uint8_t> picture) {
    const uint64_t rows = uint64_t{header.storedRowBytes} * header.height;
    if (frameData.size() < rows || picture.size() < uint64_t{header.pictureRowBytes} * header.height)
        return false;
    const uint32_t copied = std::min(header.storedRowBytes, header.pictureRowBytes);
    for (int y = 0; y < header.height; ++y) {
        const uint8_t* from = frameData.data() + size_t{header.storedRowBytes} * y;
        uint8_t* to = picture.data() + size_t{header.pictureRowBytes} * y;
        std::copy(from, from + copied, to);
        std::fill(to + copied, to + header.pictureRowBytes, uint8_t{0});
    }
    return true;
}

int ApplyAnimFramePairs(std::span<const uint8_t> frameData, const FrameAnimHeader& header, std::span<uint8_t> picture) {
    int written = 0;
    if (header.flags & kFrameAnimShortPairs) {
        // Offsets count in stored rows: each row passed shifts them by the rows' difference.
        const int64_t stored = header.storedRowBytes, shown = header.pictureRowBytes;
        int64_t base = 0;
        for (size_t at = 0; at + 4 <= frameData.size(); at += 4) {
            const uint16_t word = GetBE16(frameData, at);
            if (word == kFrameAnimMarker) {
                base += kFrameAnimMarkerStep;
                continue;
            }
            const int64_t offset = base + static_cast<int16_t>(word);
            if (offset < 0)
                continue;
            const int64_t target = offset - offset / stored * (stored - shown);
            if (target < 0 || target + 2 > static_cast<int64_t>(picture.size()))
                continue;
            picture[static_cast<size_t>(target)] = frameData[at + 2];
            picture[static_cast<size_t>(target) + 1] = frameData[at + 3];
            ++written;
        }
    } else {
        for (size_t at = 0; at + 8 <= frameData.size(); at += 8) {
            const uint64_t target = GetBE32(frameData, at);
            if (target + 4 > picture.size())
                continue;
            std::copy(frameData.begin() + static_cast<std::ptrdiff_t>(at + 4),
                      frameData.begin() + static_cast<std::ptrdiff_t>(at + 8), picture.begin() + static_cast<std::ptrdiff_t>(target));
            ++written;
        }
    }
    return written;
}

bool DecodeAnimFrame(std::span<const uint8_t> animation, int n, const FrameAnimHeader& header,
                     std::span<uint8_t> picture) {
    AnimFramePlace place;
    if (!FindAnimFrame(animation, n, &place))
        return false;
    const std::span<const uint8_t> data = AnimFrameData(animation, place);
    if (n == 1)
        return DecodeFirstAnimFrame(data, header, picture);
    ApplyAnimFramePairs(data, header, picture);
    return true;
}

void RemapAnimFramePixels(std::span<uint8_t> animation, const FrameAnimHeader& header,
                          const std::array<uint8_t, 256>& map) {
    if (header.depth != 4 && header.depth != 8)
        return;
    const bool shortPairs = (header.flags & kFrameAnimShortPairs) != 0;
    const size_t pairBytes = shortPairs ? 4 : 8, pixelAt = shortPairs ? 2 : 4;
    AnimFramePlace place;
    for (int n = 2; n <= header.frameCount && FindAnimFrame(animation, n, &place); ++n) {
        const std::span<uint8_t> data =
            animation.subspan(place.offset + kFrameAnimFrameHeadBytes, place.length - kFrameAnimFrameHeadBytes);
        for (size_t at = 0; at + pairBytes <= data.size(); at += pairBytes) {
            if (shortPairs && GetBE16(data, at) == kFrameAnimMarker)
                continue;
            for (size_t i = at + pixelAt; i < at + pairBytes; ++i)
                data[i] = MapPixelByte(data[i], header.depth, map);
        }
    }
}

void RemapAnimPixelBytes(std::span<uint8_t> bytes, int depth, const std::array<uint8_t, 256>& map) {
    if (depth == 4 || depth == 8)
        for (uint8_t& b : bytes)
            b = MapPixelByte(b, depth, map);
}

std::vector<uint8_t> PackFirstAnimFrame(std::span<const uint8_t> picture, const FrameAnimHeader& header) {
    if (picture.size() < uint64_t{header.pictureRowBytes} * header.height)
        return {};
    std::vector<uint8_t> rows(size_t{header.storedRowBytes} * header.height, 0);
    const uint32_t copied = std::min(header.storedRowBytes, header.pictureRowBytes);
    for (int y = 0; y < header.height; ++y)
        std::copy_n(picture.data() + size_t{header.pictureRowBytes} * y, copied,
                    rows.data() + size_t{header.storedRowBytes} * y);
    return rows;
}
