// Buttons (object kind 48) and their action chunks. A button is a 136-byte header followed by
// tagged chunks to the end of the record; each chunk begins with the common object header
// (kind at +0, length at +12) and its payload starts at +32.
//
// Each chunk kind converts the same fields in both directions, so that a record read and
// written again comes out as it went in. A chunk kind outside the table, or a chunk whose
// length does not fit, fails the whole record.
#include <cstdlib>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

constexpr uint32_t kButtonWords[] = {16, 18, 20, 24, 26, 60, 62, 64, 66, 68,
                                     70, 74, 76, 78, 80, 82, 84, 86, 88};

enum class Payload : uint8_t { Raw, Path, PathPair, Animation, Mask };

struct ChunkRule {
    uint16_t kind;
    bool id;        // +2
    bool rect;      // +4 as a rectangle
    bool word4;     // +4 as one word
    uint8_t words[2];  // further 16-bit fields (0 = none)
    uint8_t longs[1];  // 32-bit fields (0 = none)
    Payload payload;
    uint8_t minLength;
};

// Every chunk converts kind, length and flags (+22) besides what its row names.
constexpr ChunkRule kChunkRules[] = {
    {51, true, true, false, {16}, {}, Payload::Raw, 32},
    {56, false, true, false, {}, {}, Payload::Animation, 32},
    {59, true, true, false, {16}, {18}, Payload::PathPair, 32},
    {60, true, true, false, {}, {}, Payload::Path, 32},
    {61, true, true, false, {}, {}, Payload::Raw, 32},
    {64, true, true, false, {}, {}, Payload::Raw, 32},
    {82, false, false, true, {24}, {}, Payload::Path, 32},
    {83, false, false, true, {16, 24}, {}, Payload::Raw, 32},
    {89, true, true, false, {20}, {16}, Payload::Path, 32},
    {119, true, true, false, {24}, {}, Payload::Raw, 32},
    {129, true, true, false, {}, {}, Payload::Raw, 32},
    {130, false, false, false, {32, 34}, {}, Payload::Mask, 40},
};

const ChunkRule* FindRule(uint16_t kind) {
    for (const ChunkRule& rule : kChunkRules)
        if (rule.kind == kind)
            return &rule;
    return nullptr;
}

int Fail(const char** reason, const char* why) {
    if (reason)
        *reason = why;
    return kStackDamaged;
}

void SwapRuleFields(std::span<uint8_t> c, const ChunkRule& rule) {
    if (rule.id)
        SwapField16(c, kObjectId);
    if (rule.rect)
        SwapMacRect(c.subspan(kObjectRect, 8));
    if (rule.word4)
        SwapField16(c, kObjectRect);
    SwapField16(c, kObjectFlags);
    for (uint8_t offset : rule.words)
        if (offset)
            SwapField16(c, offset);
    for (uint8_t offset : rule.longs)
        if (offset)
            SwapField32(c, offset);
}

bool IsSpritePayload(std::span<const uint8_t> c) {
    return c.size() >= kChunkHeaderBytes + 4 && GetBE32(c, kChunkHeaderBytes) == kSprt;
}

int ConvertAnimation(std::vector<uint8_t>& chunk, ByteOrder order, const char** reason) {
    if (chunk.size() == kChunkHeaderBytes || IsSpritePayload(chunk))
        return kStackOk;
    if (chunk.size() < kAnimFirstFrame)
        return Fail(reason, "animation chunk shorter than its fields");
    std::span<uint8_t> c(chunk);
    if (order == ByteOrder::ToHost)
        for (uint32_t offset = kAnimWordsStart; offset < kAnimWordsEnd; offset += 2)
            SwapField16(c, offset);
    const uint16_t count = GetU16(c, kAnimFrameCount);
    if (order == ByteOrder::ToFile)
        for (uint32_t offset = kAnimWordsStart; offset < kAnimWordsEnd; offset += 2)
            SwapField16(c, offset);
    size_t frame = kAnimFirstFrame;
    for (uint16_t i = 0; i < count; ++i) {
        if (c.size() - frame < kFrameHeaderBytes)
            return Fail(reason, "animation frame outside its chunk");
        std::span<uint8_t> f = c.subspan(frame);
        if (order == ByteOrder::ToHost) {
            SwapField16(f, 0);
            SwapField32(f, kFrameLength);
        }
        uint32_t length = GetU32(f, kFrameLength);
        if (order == ByteOrder::ToFile) {
            SwapField16(f, 0);
            SwapField32(f, kFrameLength);
        }
        if (length < kFrameHeaderBytes || length > f.size())
            return Fail(reason, "animation frame length outside its chunk");
        frame += length;
    }
    return kStackOk;
}

// A chunk resized by a path conversion keeps an even length through its pad byte.
void KeepChunkEven(std::vector<uint8_t>& chunk) { KeepRecordEven(chunk, kObjectFlags); }

int ConvertPathPayload(std::vector<uint8_t>& chunk, ByteOrder order, const StackConversion& cv,
                       const char** reason) {
    const uint32_t pad = (GetU16(chunk, kObjectFlags) & kObjectPadded) ? 1 : 0;
    if (chunk.size() < kChunkHeaderBytes + pad)
        return Fail(reason, "chunk pad byte inside its header");
    size_t newLength;
    if (!ConvertPathRegion(chunk, kChunkHeaderBytes, chunk.size() - pad - kChunkHeaderBytes, order,
                           cv, &newLength))
        return Fail(reason, "chunk path too long");
    if (order == ByteOrder::ToHost)
        KeepChunkEven(chunk);
    return kStackOk;
}

int ConvertPathPair(std::vector<uint8_t>& chunk, ByteOrder order, const StackConversion& cv,
                    const char** reason) {
    const uint32_t pad = (GetU16(chunk, kObjectFlags) & kObjectPadded) ? 1 : 0;
    if (chunk.size() < kChunkHeaderBytes + pad)
        return Fail(reason, "chunk pad byte inside its header");
    const size_t payload = chunk.size() - pad - kChunkHeaderBytes;
    const uint32_t firstLength = GetU32(chunk, kChunkFirstLength);
    if (firstLength > payload)
        return Fail(reason, "first path longer than its chunk");
    if (payload == 0)
        return kStackOk;
    std::span<uint8_t> first(chunk.data() + kChunkHeaderBytes, firstLength);
    std::span<uint8_t> second(chunk.data() + kChunkHeaderBytes + firstLength, payload - firstLength);
    if (order == ByteOrder::ToFile) {
        cv.pathsCut += DosPathToMac(first) ? 0 : 1;
        cv.pathsCut += DosPathToMac(second) ? 0 : 1;
        return kStackOk;
    }
    std::span<const uint8_t> secondIn = second;
    std::vector<uint8_t> dos;
    size_t dosFirst = 0;
    if (!MacPathToDos(first, second.empty() ? nullptr : &secondIn, cv.stackDrive, dos, &dosFirst))
        return Fail(reason, "chunk paths too long");
    chunk.resize(kChunkHeaderBytes);
    chunk.insert(chunk.end(), dos.begin(), dos.end());
    uint16_t flags = GetU16(chunk, kObjectFlags) & static_cast<uint16_t>(~kObjectPadded);
    if (chunk.size() & 1) {
        chunk.push_back(0);
        flags |= kObjectPadded;
    }
    SetU16(chunk, kObjectFlags, flags);
    SetU32(chunk, kChunkFirstLength, static_cast<uint32_t>(dosFirst));
    return kStackOk;
}

void ConvertMask(std::vector<uint8_t>& chunk, ByteOrder order, uint16_t ownerLeft, uint16_t ownerTop) {
    if (order == ByteOrder::ToHost) {
        SetU16(chunk, kMaskTop, 0);
        SetU16(chunk, kMaskLeft, 0);
    } else {
        SetBE16(chunk, kMaskTop, ownerTop);
        SetBE16(chunk, kMaskLeft, ownerLeft);
    }
}

// One chunk whose kind and length are in host order.
int ConvertChunk(std::vector<uint8_t>& chunk, const ChunkRule& rule, ByteOrder order,
                 const StackConversion& cv, uint16_t ownerLeft, uint16_t ownerTop,
                 const char** reason) {
    if (order == ByteOrder::ToHost)
        SwapRuleFields(chunk, rule);
    int result = kStackOk;
    switch (rule.payload) {
    case Payload::Raw: break;
    case Payload::Path: result = ConvertPathPayload(chunk, order, cv, reason); break;
    case Payload::PathPair: result = ConvertPathPair(chunk, order, cv, reason); break;
    case Payload::Animation: result = ConvertAnimation(chunk, order, reason); break;
    case Payload::Mask: ConvertMask(chunk, order, ownerLeft, ownerTop); break;
    }
    if (result != kStackOk)
        return result;
    if (order == ByteOrder::ToFile)
        SwapRuleFields(chunk, rule);
    return kStackOk;
}

int RoundDiv(int numerator, int denominator) {
    int magnitude = (std::abs(numerator) + denominator / 2) / denominator;
    return numerator < 0 ? -magnitude : magnitude;
}

// Font sizes are stored in pixels of the making screen and held in points.
uint16_t FontSizeToHost(uint16_t stored, int dpi) {
    return static_cast<uint16_t>(RoundDiv(std::abs(static_cast<int16_t>(stored)) * 72, dpi));
}
uint16_t FontSizeToFile(uint16_t points, int dpi) {
    return static_cast<uint16_t>(RoundDiv(static_cast<int16_t>(points) * dpi, 72));
}

}  // namespace

bool IsKnownChunkKind(uint16_t kind) { return FindRule(kind) != nullptr; }

int ConvertButtonObject(std::vector<uint8_t>& o, ByteOrder order, const StackConversion& cv,
                        const char** reason) {
    if (o.size() < kButtonHeaderBytes)
        return Fail(reason, "button shorter than its header");
    const int dpi = cv.verticalDpi > 0 ? cv.verticalDpi : 96;
    const uint32_t pad = (GetU16(o, kObjectFlags) & kObjectPadded) ? 1 : 0;
    if (o.size() < kButtonHeaderBytes + pad)
        return Fail(reason, "button pad byte inside its header");
    const uint16_t ownerLeft = GetU16(o, kObjectRect);
    const uint16_t ownerTop = GetU16(o, kObjectRect + 2);

    std::span<uint8_t> h(o);
    if (order == ByteOrder::ToHost) {
        for (uint32_t offset : kButtonWords)
            SwapField16(h, offset);
        SetU16(h, kButtonFontSize, FontSizeToHost(GetU16(h, kButtonFontSize), dpi));
    } else {
        SetU16(h, kButtonFontSize, FontSizeToFile(GetU16(h, kButtonFontSize), dpi));
        for (uint32_t offset : kButtonWords)
            SwapField16(h, offset);
    }
    ConvertTextField(h.subspan(kButtonName, kButtonNameBytes), order, cv);

    size_t end = o.size() - pad;
    size_t pos = kButtonHeaderBytes;
    while (pos < end) {
        if (end - pos < kChunkHeaderBytes)
            return Fail(reason, "chunk header past the end of the button");
        std::span<const uint8_t> at(o.data() + pos, end - pos);
        const uint16_t kind = order == ByteOrder::ToHost ? GetBE16(at, kObjectKind) : GetU16(at, kObjectKind);
        const uint32_t length = order == ByteOrder::ToHost ? GetBE32(at, kObjectLength) : GetU32(at, kObjectLength);
        const ChunkRule* rule = FindRule(kind);
        if (!rule)
            return Fail(reason, "unknown chunk kind in a button");
        if (length < rule->minLength || (length & 1) || length > end - pos)
            return Fail(reason, "chunk length outside the button");
        std::vector<uint8_t> chunk(at.begin(), at.begin() + length);
        if (order == ByteOrder::ToHost) {
            SwapField16(chunk, kObjectKind);
            SwapField32(chunk, kObjectLength);
        }
        int result = ConvertChunk(chunk, *rule, order, cv, ownerLeft, ownerTop, reason);
        if (result != kStackOk)
            return result;
        if (order == ByteOrder::ToHost) {
            SetU32(chunk, kObjectLength, static_cast<uint32_t>(chunk.size()));
        } else {
            SwapField16(chunk, kObjectKind);
            SwapField32(chunk, kObjectLength);
        }
        auto first = o.begin() + static_cast<std::ptrdiff_t>(pos);
        o.erase(first, first + length);
        o.insert(o.begin() + static_cast<std::ptrdiff_t>(pos), chunk.begin(), chunk.end());
        end = end - length + chunk.size();
        pos += chunk.size();
    }
    if (order == ByteOrder::ToHost)
        SetU32(o, kObjectLength, static_cast<uint32_t>(o.size()));
    return kStackOk;
}

int ConvertActionRecord(std::vector<uint8_t>& record, ByteOrder order, const StackConversion& cv,
                        const char** reason) {
    if (record.size() < kButtonHeaderBytes)
        return Fail(reason, "action record shorter than a button header");
    std::span<uint8_t> s(record);
    const uint32_t length = order == ByteOrder::ToHost ? GetBE32(s, kObjectLength) : GetU32(s, kObjectLength);
    if (length < kButtonHeaderBytes || length > record.size())
        return Fail(reason, "action record length outside its data");
    // Bytes after the record are kept as they are.
    std::vector<uint8_t> button(record.begin(), record.begin() + length);
    std::span<uint8_t> b(button);
    if (order == ByteOrder::ToHost) {
        SwapField16(b, kObjectKind);
        SwapObjectHeader(b);
    }
    int result = ConvertButtonObject(button, order, cv, reason);
    if (result != kStackOk)
        return result;
    if (order == ByteOrder::ToFile) {
        std::span<uint8_t> f(button);
        SwapObjectHeader(f);
        SwapField16(f, kObjectKind);
    }
    record.erase(record.begin(), record.begin() + length);
    record.insert(record.begin(), button.begin(), button.end());
    return kStackOk;
}
