// Frame animations as the program stores them: a header, frame 1 whole, then the changes.
#include <algorithm>
#include <stdexcept>

#include "BuilderMedia.h"
#include "StackBuilder.h"
#include "format/StackFile.h"

namespace stackbuilder {

namespace {

size_t StoredRow(const FrameAnimation& a) { return (size_t(a.width) * a.depth + 15) / 16 * 2; }
size_t ShownRow(const FrameAnimation& a) { return (size_t(a.width) * a.depth + 31) / 32 * 4; }

// The frame's pixels packed into rows of rowBytes, high nibble first at 4 bits.
Bytes PackRows(const FrameAnimation& a, const std::vector<uint8_t>& frame, size_t rowBytes) {
    if (frame.size() != size_t(a.width) * a.height || (a.depth != 4 && a.depth != 8))
        throw std::runtime_error("frame animation: frames must be width x height at 4 or 8 bits");
    Bytes rows(rowBytes * a.height, 0);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const uint8_t v = frame[size_t(y) * a.width + x];
            if (a.depth == 8)
                rows[y * rowBytes + x] = v;
            else
                rows[y * rowBytes + x / 2] |= static_cast<uint8_t>((v & 0x0F) << (x % 2 ? 0 : 4));
        }
    return rows;
}

// The changes from one picture to the next: groups of 4 bytes in the shown rows, or of 2 in the
// stored rows with markers.
Bytes Pairs(const FrameAnimation& a, const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
    Bytes pairs;
    if (!a.shortPairs) {
        const Bytes from = PackRows(a, before, ShownRow(a)), to = PackRows(a, after, ShownRow(a));
        for (size_t at = 0; at < to.size(); at += 4)
            if (!std::equal(to.begin() + at, to.begin() + at + 4, from.begin() + at)) {
                Be32(&pairs, static_cast<uint32_t>(at));
                pairs.insert(pairs.end(), to.begin() + at, to.begin() + at + 4);
            }
        return pairs;
    }
    const Bytes from = PackRows(a, before, StoredRow(a)), to = PackRows(a, after, StoredRow(a));
    size_t base = 0;
    for (size_t at = 0; at < to.size(); at += 2) {
        if (to[at] == from[at] && to[at + 1] == from[at + 1])
            continue;
        while (at - base > 32767) {
            Be16(&pairs, 0x8001);
            Be16(&pairs, 0);
            base += 32768;
        }
        Be16(&pairs, static_cast<uint32_t>(at - base));
        pairs.push_back(to[at]);
        pairs.push_back(to[at + 1]);
    }
    return pairs;
}

void Frame(Bytes* out, const Bytes& data) {
    Be16(out, 0);
    out->insert(out->end(), 6, 0);
    Be32(out, static_cast<uint32_t>(16 + data.size()));
    out->insert(out->end(), 4, 0);
    out->insert(out->end(), data.begin(), data.end());
}

}  // namespace

std::vector<uint8_t> FrameAnimationPayload(const FrameAnimation& a) {
    if (a.frames.empty())
        throw std::runtime_error("frame animation: no frames");
    Bytes out;
    Be16(&out, static_cast<uint32_t>(a.width));
    Be16(&out, static_cast<uint32_t>(a.height));
    Be16(&out, a.delay);
    Be16(&out, a.cycles);
    Be16(&out, static_cast<uint32_t>(a.frames.size()));
    Be16(&out, static_cast<uint32_t>(a.depth));
    Be16(&out, static_cast<uint16_t>(a.flags | (a.shortPairs ? 0x0004 : 0)));
    out.insert(out.end(), 4, 0);
    Frame(&out, PackRows(a, a.frames[0], StoredRow(a)));
    for (size_t n = 1; n < a.frames.size(); ++n)
        Frame(&out, Pairs(a, a.frames[n - 1], a.frames[n]));
    return out;
}

Object FrameAnimationButton(uint16_t id, Rect rect, std::string name, Rect area, const FrameAnimation& animation) {
    Object b = ShapedButton(id, rect, std::move(name), kButtonShapeRectangle);
    b.words.push_back({20, 0x80});
    Chunk chunk;
    chunk.kind = 56;
    chunk.rect = area;
    chunk.payload = FrameAnimationPayload(animation);
    b.chunks.push_back(chunk);
    return b;
}

}  // namespace stackbuilder
