// Buttons of every shape, their icons and freehand masks, as the program stores them.
#include <cmath>
#include <cstring>

#include "StackBuilder.h"
#include "format/StackFile.h"

namespace stackbuilder {

namespace {

void Le16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Le32(std::vector<uint8_t>& b, uint32_t v) {
    Le16(b, static_cast<uint16_t>(v));
    Le16(b, static_cast<uint16_t>(v >> 16));
}

}  // namespace

Object ShapedButton(uint16_t id, Rect rect, std::string name, uint16_t shape, uint16_t iconId, int16_t destination) {
    Object b = Button(id, rect, std::move(name));
    const uint16_t options = static_cast<uint16_t>(8 | (iconId ? 16 : 0));
    b.words.insert(b.words.end(), {{60, shape}, {64, options}, {78, iconId}, {18, 3}, {76, 8}});
    if (destination) {
        b.words.push_back({16, static_cast<uint16_t>(destination)});
        b.words.push_back({20, 0x20});
    }
    if (IsMaskedButtonShape(shape)) {  // the freehand mask: an ellipse filling the bounds
        const int w = rect.right - rect.left, h = rect.bottom - rect.top;
        const int rowBytes = (w + 31) / 32 * 4;
        Chunk mask;
        mask.kind = 130;
        mask.words = {{32, static_cast<uint16_t>(w)}, {34, static_cast<uint16_t>(h)}};
        mask.payload.assign(24 + static_cast<size_t>(rowBytes) * h + 1, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double dx = (x + 0.5 - w / 2.0) / (w / 2.0), dy = (y + 0.5 - h / 2.0) / (h / 2.0);
                if (dx * dx + dy * dy <= 1.0)
                    mask.payload[24 + static_cast<size_t>(y) * rowBytes + x / 8] |= static_cast<uint8_t>(0x80 >> x % 8);
            }
        b.chunks.push_back(mask);
    }
    return b;
}

void SetTimer(Object& owner, uint16_t value, uint16_t mode) {
    owner.words.push_back({24, value});
    owner.words.push_back({26, mode});
}

namespace {

// Adds the action bit to the owner's flags word, or gives it one.
void AddActionBit(Object& owner, uint16_t bit) {
    for (Word& word : owner.words)
        if (word.offset == kButtonActionFlags) {
            word.value |= bit;
            return;
        }
    owner.words.push_back({kButtonActionFlags, bit});
}

// A file entry as the plug-in packs one: the path, padded to even, volume and folder, the name.
std::vector<uint8_t> FileEntry(std::string_view path) {
    const size_t cut = path.find_last_of('\\');
    const std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
    std::vector<uint8_t> entry(path.begin(), path.end());
    entry.push_back(0);
    if (path.size() % 2 == 0)
        entry.push_back(0);
    entry.insert(entry.end(), 6, 0);  // volume (16 bits) and folder (32 bits)
    entry.insert(entry.end(), name.begin(), name.end());
    entry.push_back(0);
    return entry;
}

}  // namespace

void LaunchDocument(Object& owner, std::string_view document) {
    const std::vector<uint8_t> entry = FileEntry(document);
    Chunk c;
    c.kind = kTagLaunch;
    c.longs.push_back({kChunkFirstLength, static_cast<uint32_t>(entry.size())});
    c.payload = entry;
    owner.chunks.push_back(c);
    AddActionBit(owner, kActLaunch);
}

void PlaySoundFile(Object& owner, std::string_view path) {
    Chunk c;
    c.kind = kTagSoundFile;
    c.payload = FileEntry(path);
    owner.chunks.push_back(c);
    AddActionBit(owner, kActSoundFile);
}

void OpenAddress(Object& owner, std::string_view address) {
    Chunk c;
    c.kind = kTagUrl;
    c.payload.assign(address.begin(), address.end());
    owner.chunks.push_back(c);
    AddActionBit(owner, kActUrl);
}

Object MovieButton(uint16_t id, Rect rect, std::string name, Rect movie, std::string_view macPath, uint32_t flags) {
    Object b = ShapedButton(id, rect, std::move(name), kButtonShapeRectangle);
    b.words.push_back({20, 0x100});
    Chunk c = PathChunk(89, macPath);
    c.id = id;
    c.rect = movie;
    c.longs.push_back({16, flags});
    c.words.push_back({20, 255});
    b.chunks.push_back(c);
    return b;
}

std::vector<uint8_t> IconFileOf(int size, std::span<const Rgb> colours, int (*index)(int size, int x, int y)) {
    const uint32_t xorRow = static_cast<uint32_t>((4 * size + 31) / 32 * 4), andRow = static_cast<uint32_t>((size + 31) / 32 * 4);
    const uint32_t imageBytes = 40 + 16 * 4 + (xorRow + andRow) * static_cast<uint32_t>(size);
    std::vector<uint8_t> f;
    Le16(f, 0);
    Le16(f, 1);
    Le16(f, 1);
    f.push_back(static_cast<uint8_t>(size));
    f.push_back(static_cast<uint8_t>(size));
    f.push_back(16);
    f.push_back(0);
    Le16(f, 1);
    Le16(f, 4);
    Le32(f, imageBytes);
    Le32(f, 22);
    for (uint32_t v : {40u, uint32_t(size), uint32_t(2 * size)})
        Le32(f, v);
    Le16(f, 1);
    Le16(f, 4);
    for (int i = 0; i < 6; ++i)
        Le32(f, i == 4 ? 16 : 0);
    for (size_t i = 0; i < 16; ++i) {
        const Rgb c = i < colours.size() ? colours[i] : Rgb{128, 128, 128};
        f.insert(f.end(), {c.blue, c.green, c.red, 0});
    }
    std::vector<uint8_t> pixels(xorRow * size, 0), mask(andRow * size, 0);
    for (int y = 0; y < size; ++y)  // stored rows run bottom-up
        for (int x = 0; x < size; ++x) {
            const int i = index(size, x, size - 1 - y);
            if (i < 0 || i > 15) {
                mask[y * andRow + x / 8] |= static_cast<uint8_t>(0x80 >> x % 8);
                continue;
            }
            pixels[y * xorRow + x / 2] |= static_cast<uint8_t>(i << (x % 2 ? 0 : 4));
        }
    f.insert(f.end(), pixels.begin(), pixels.end());
    f.insert(f.end(), mask.begin(), mask.end());
    return f;
}

std::vector<uint8_t> IconFile(int size, Rgb colour) {
    // Colour 0 black, 1 the disc's colour.
    const Rgb colours[] = {{0, 0, 0}, colour};
    return IconFileOf(size, colours, [](int n, int x, int y) {
        const double r = n / 2.0, d = std::hypot(x + 0.5 - r, y + 0.5 - r);
        return d > r ? -1 : d > r - 2 ? 0 : 1;
    });
}

std::vector<uint8_t> CursorFile(int size, Rgb colour, uint16_t hotX, uint16_t hotY) {
    std::vector<uint8_t> f = IconFile(size, colour);
    f[2] = 2;
    f[10] = static_cast<uint8_t>(hotX), f[11] = static_cast<uint8_t>(hotX >> 8);
    f[12] = static_cast<uint8_t>(hotY), f[13] = static_cast<uint8_t>(hotY >> 8);
    return f;
}

std::vector<uint8_t> StoredCursor(Rgb colour, uint16_t hotX, uint16_t hotY) {
    std::vector<uint8_t> image = CursorFile(16, colour, hotX, hotY);
    constexpr size_t kColours = 22 + 40;
    for (size_t at = kColours; at < kColours + 16 * 4; at += 4) {
        const bool black = image[at] == 0 && image[at + 1] == 0 && image[at + 2] == 0;
        const bool white = image[at] == 255 && image[at + 1] == 255 && image[at + 2] == 255;
        if (black || white)
            image[at] = image[at + 1] = image[at + 2] = black ? 255 : 0;
    }
    const auto size = static_cast<uint32_t>(image.size());
    std::vector<uint8_t> data = {0, 1, uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)};
    data.resize(28, 0);
    data.insert(data.end(), image.begin(), image.end());
    return data;
}

namespace {

void RiffChunk(std::vector<uint8_t>& out, const char* tag, const std::vector<uint8_t>& body) {
    out.insert(out.end(), tag, tag + 4);
    Le32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2)
        out.push_back(0);
}

}  // namespace

std::vector<uint8_t> AnimatedCursorFile(const std::vector<std::vector<uint8_t>>& frames, uint32_t steps,
                                        uint32_t defaultRate, const std::vector<uint32_t>& rates,
                                        const std::vector<uint32_t>& sequence, uint32_t flags) {
    std::vector<uint8_t> body = {'A', 'C', 'O', 'N'};
    std::vector<uint8_t> anih;
    for (uint32_t v : {36u, uint32_t(frames.size()), steps, 0u, 0u, 0u, 0u, defaultRate, flags})
        Le32(anih, v);
    RiffChunk(body, "anih", anih);
    auto array = [&](const char* tag, const std::vector<uint32_t>& values) {
        if (values.empty())
            return;
        std::vector<uint8_t> b;
        for (uint32_t v : values)
            Le32(b, v);
        RiffChunk(body, tag, b);
    };
    array("rate", rates);
    array("seq ", sequence);
    std::vector<uint8_t> list = {'f', 'r', 'a', 'm'};
    for (const auto& frame : frames)
        RiffChunk(list, "icon", frame);
    RiffChunk(body, "LIST", list);
    std::vector<uint8_t> file;
    RiffChunk(file, "RIFF", body);
    return file;
}

}  // namespace stackbuilder
