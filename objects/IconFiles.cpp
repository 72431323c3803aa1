// Icon and cursor files for the chooser, its grid's cells and the steps of animated cursors.
#include "objects/IconFiles.h"

#include <algorithm>
#include <cstdlib>

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kAnihBytes = 36;
constexpr uint32_t kIconFlag = 1;
// One frame per step can repeat a large frame many times: past this the file is refused.
constexpr size_t kMaxAnimatedBytes = 4u << 20;

constexpr uint32_t Tag(const char (&t)[5]) {
    return uint32_t(uint8_t(t[0])) | uint32_t(uint8_t(t[1])) << 8 | uint32_t(uint8_t(t[2])) << 16 |
           uint32_t(uint8_t(t[3])) << 24;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
           });
}

// A whole directory whose every image fits, of the type asked (1 icon, 2 cursor).
bool DirectoryFits(std::span<const uint8_t> file, uint16_t type) {
    if (file.size() < kIconDirHeaderBytes || GetU16(file, 0) != 0 || GetU16(file, 2) != type)
        return false;
    const uint16_t count = IconImageCount(file);
    if (count == 0)
        return false;
    IconImage image;
    for (int i = 0; i < count; ++i)
        if (!ReadIconImage(file, i, &image))
            return false;
    return true;
}

// One RIFF chunk: its tag and the bytes it holds, bounded by what encloses it.
struct Chunk {
    uint32_t tag = 0;
    std::span<const uint8_t> body;
};

// The chunks of a RIFF or LIST body; false when a chunk claims more than is left.
bool SplitChunks(std::span<const uint8_t> body, std::vector<Chunk>* chunks) {
    size_t at = 0;
    while (body.size() - at >= 8) {
        const uint32_t tag = GetU32(body, at), size = GetU32(body, at + 4);
        at += 8;
        if (size > body.size() - at)
            return false;
        chunks->push_back({tag, body.subspan(at, size)});
        at += size + (size & 1);
        if (at > body.size())
            at = body.size();  // the last chunk's pad byte may be missing
    }
    return true;
}

bool ReadU32Array(std::span<const uint8_t> body, uint32_t n, std::vector<uint32_t>* out) {
    if (body.size() / 4 < n)
        return false;
    out->resize(n);
    for (uint32_t i = 0; i < n; ++i)
        (*out)[i] = GetU32(body, i * 4);
    return true;
}

}  // namespace

std::vector<uint8_t> ReadAnimatedCursorFile(std::span<const uint8_t> file) {
    if (file.size() < 12 || GetU32(file, 0) != Tag("RIFF") || GetU32(file, 8) != Tag("ACON"))
        return {};
    const uint32_t riffSize = GetU32(file, 4);
    if (riffSize < 4)
        return {};
    std::vector<Chunk> chunks;
    if (!SplitChunks(file.subspan(12, std::min<size_t>(riffSize - 4, file.size() - 12)), &chunks))
        return {};
    std::span<const uint8_t> anih;
    std::span<const uint8_t> rateChunk, seqChunk;
    std::vector<std::span<const uint8_t>> frames;
    for (const Chunk& chunk : chunks) {
        if (chunk.tag == Tag("anih"))
            anih = chunk.body;
        else if (chunk.tag == Tag("rate"))
            rateChunk = chunk.body;
        else if (chunk.tag == Tag("seq "))
            seqChunk = chunk.body;
        else if (chunk.tag == Tag("LIST") && chunk.body.size() >= 4 && GetU32(chunk.body, 0) == Tag("fram")) {
            std::vector<Chunk> icons;
            if (!SplitChunks(chunk.body.subspan(4), &icons))
                return {};
            for (const Chunk& icon : icons)
                if (icon.tag == Tag("icon"))
                    frames.push_back(icon.body);
        }
    }
    if (anih.size() < kAnihBytes || frames.empty())
        return {};
    uint32_t header[kAnimHeaderFields];
    for (uint32_t i = 0; i < kAnimHeaderFields; ++i)
        header[i] = GetU32(anih, i * 4);
    if (!(header[8] & kIconFlag))
        return {};
    const uint32_t frameCount = std::min<uint32_t>(header[1] ? header[1] : uint32_t(frames.size()), uint32_t(frames.size()));
    const uint32_t steps = header[2] ? header[2] : frameCount;
    // Every step needs at least 8 bytes of the file (its rate and sequence entries) when they are
    // given, or a frame of its own when they are not.
    if (steps == 0 || (steps > frameCount && steps > file.size() / 8))
        return {};
    std::vector<uint32_t> rates(steps, header[7]), sequence(steps);
    for (uint32_t i = 0; i < steps; ++i)
        sequence[i] = i;
    if (!rateChunk.empty() && !ReadU32Array(rateChunk, steps, &rates))
        return {};
    if (!seqChunk.empty() && !ReadU32Array(seqChunk, steps, &sequence))
        return {};
    for (uint32_t i = 0; i < frameCount; ++i)
        if (!DirectoryFits(frames[i], 2) && !DirectoryFits(frames[i], 1))
            return {};
    size_t total = kCursorHeaderBytes + (kAnimHeaderFields + 3 * size_t{steps}) * 4;
    for (uint32_t i = 0; i < steps; ++i) {
        if (sequence[i] >= frameCount)
            return {};
        total += frames[sequence[i]].size();
        if (total > kMaxAnimatedBytes)
            return {};
    }
    // Stored one frame per step: the sequence becomes 0, 1, 2, ...
    std::vector<uint8_t> out(total);
    std::span<uint8_t> o(out);
    SetU16(o, 0, kCursorAnimated);
    SetU32(o, 2, static_cast<uint32_t>(total - kCursorHeaderBytes));
    header[1] = header[2] = steps;
    size_t at = kCursorHeaderBytes;
    for (uint32_t field : header)
        SetU32(o, at, field), at += 4;
    for (uint32_t i = 0; i < steps; ++i)
        SetU32(o, at + i * 4, rates[i]), SetU32(o, at + (steps + i) * 4, i),
            SetU32(o, at + (2 * size_t{steps} + i) * 4, static_cast<uint32_t>(frames[sequence[i]].size()));
    at += 3 * size_t{steps} * 4;
    for (uint32_t i = 0; i < steps; ++i) {
        const std::span<const uint8_t> frame = frames[sequence[i]];
        std::copy(frame.begin(), frame.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
        at += frame.size();
    }
    CursorResource check;
    if (!ReadCursorResource(out, &check))
        return {};
    return out;
}

IconFileData ReadIconFile(std::string_view extension, std::span<const uint8_t> file) {
    IconFileData result;
    if (EqualsNoCase(extension, "ico") && DirectoryFits(file, 1)) {
        result.kind = kEntryIcon;
        result.data.assign(file.begin(), file.end());
    } else if (EqualsNoCase(extension, "cur") && DirectoryFits(file, 2)) {
        result.kind = kEntryStillCursor;
        result.data.assign(file.begin(), file.end());
    } else if (EqualsNoCase(extension, "ani")) {
        result.data = ReadAnimatedCursorFile(file);
        result.kind = result.data.empty() ? 0 : kEntryAnimatedCursor;
    }
    return result;
}

IconFileData CursorResourceEntry(std::span<const uint8_t> crsr) {
    IconFileData result;
    CursorResource cursor;
    if (!ReadCursorResource(crsr, &cursor))
        return result;
    result.kind = cursor.kind;
    if (cursor.kind == kCursorStill)
        result.data.assign(cursor.still.begin(), cursor.still.end());
    else
        result.data.assign(crsr.begin(), crsr.end());
    return result;
}

uint16_t BestGroupCursorId(std::span<const uint8_t> group, int width, int height, int depth) {
    constexpr size_t kGroupEntryBytes = 14;
    if (group.size() < kIconDirHeaderBytes)
        return 0;
    const uint16_t count = GetU16(group, 4);
    uint16_t best = 0;
    long bestScore = 0;
    for (size_t i = 0; i < count && kIconDirHeaderBytes + (i + 1) * kGroupEntryBytes <= group.size(); ++i) {
        const std::span<const uint8_t> e = group.subspan(kIconDirHeaderBytes + i * kGroupEntryBytes, kGroupEntryBytes);
        const int w = GetU16(e, 0), h = GetU16(e, 2) / 2, bits = GetU16(e, 6);
        // Size first, then depth: not above the display, as deep as possible.
        const long sizeMiss = std::labs(long{w} - width) + std::labs(long{h} - height);
        const long depthMiss = bits <= depth ? depth - bits : 64 + bits;
        const long score = sizeMiss * 1000 + depthMiss;
        if (best == 0 || score < bestScore)
            best = GetU16(e, 12), bestScore = score;
    }
    return best;
}

std::vector<uint8_t> CursorFileFromModuleImage(std::span<const uint8_t> image) {
    if (image.size() < 4 + 40)
        return {};
    const std::span<const uint8_t> info = image.subspan(4);
    std::vector<uint8_t> file(kIconDirHeaderBytes + kIconDirEntryBytes);
    std::span<uint8_t> f(file);
    SetU16(f, 2, 2);
    SetU16(f, 4, 1);
    const uint32_t width = GetU32(info, 4), height = GetU32(info, 8) / 2;
    f[6] = static_cast<uint8_t>(width < 256 ? width : 0);
    f[7] = static_cast<uint8_t>(height < 256 ? height : 0);
    SetU16(f, 10, GetU16(image, 0));  // the hot spot in the planes and bit count fields
    SetU16(f, 12, GetU16(image, 2));
    SetU32(f, 14, static_cast<uint32_t>(info.size()));
    SetU32(f, 18, kIconDirHeaderBytes + kIconDirEntryBytes);
    file.insert(file.end(), info.begin(), info.end());
    return DirectoryFits(file, 2) ? file : std::vector<uint8_t>{};
}

IconGridLayout LayoutIconGrid(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight, int entries) {
    IconGridLayout g;
    pictureWidth = std::max(pictureWidth, 1);
    pictureHeight = std::max(pictureHeight, 1);
    g.columns = std::max(clientWidth / (pictureWidth + 20), 1);
    const int spare = std::max(clientWidth - g.columns * (pictureWidth + 20), 0);
    g.marginX = 10 + spare / g.columns / 2;
    g.marginY = 10;
    g.cellWidth = pictureWidth + 2 * g.marginX;
    g.cellHeight = pictureHeight + 2 * g.marginY;
    g.rows = (std::max(entries, 0) + g.columns - 1) / g.columns;
    g.visibleRows = std::max(clientHeight / g.cellHeight, 1);
    return g;
}

bool AdvanceCursorStep(const CursorResource& cursor, uint32_t* step, uint32_t* ticks) {
    const size_t n = cursor.rates.size();
    if (n == 0)
        return false;
    if (*step >= n)
        *step = 0;
    if (++*ticks < cursor.rates[*step])  // a stored rate of 0 reads as 1: every tick
        return false;
    *ticks = 0;
    *step = static_cast<uint32_t>((*step + 1) % n);
    return true;
}
