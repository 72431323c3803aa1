// Object records: the common header every object and chunk begins with, rectangles, names, and
// the graphic and text object conversions. Buttons are in ButtonConvert.cpp.
//
// Kind-specific conversions see the common header in host order in both directions: to host
// it is converted before them, to file after them.
#include <utility>

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"
#include "format/StackFile.h"

namespace {

// Graphic object (kind 16), 80-byte header.
constexpr uint32_t kGraphicWords[] = {16, 18, 20, 24, 28, 54, 56, 58, 74};
constexpr uint32_t kGraphicTrailerBytes = 8;

// Text object (kind 96), 128-byte header, then sub-records.
constexpr uint32_t kTextWords[] = {20, 24, 26, 28, 30, 32, 34, 36, 38, 44, 50,
                                   56, 58, 60, 62, 64, 66, 68, 70, 88, 102, 104};
constexpr uint32_t kTextLongs[] = {16, 40, 46, 52};
constexpr uint32_t kSubRecordMinRemaining = 17;

int Fail(const char** reason, const char* why) {
    if (reason)
        *reason = why;
    return kStackDamaged;
}

void SetObjectLength(std::vector<uint8_t>& o) {
    SetU32(o, kObjectLength, static_cast<uint32_t>(o.size()));
}

// A text sub-record's header: two words, then the three longs its lengths are among.
void SwapSubRecordHeader(std::span<uint8_t> sub) {
    SwapField16(sub, 0);
    SwapField16(sub, 2);
    SwapField32(sub, 4);
    SwapField32(sub, kSubPathLength);
    SwapField32(sub, kSubLength);
}

}  // namespace

bool SwapMacRect(std::span<uint8_t> rect) {
    if (rect.size() < 8)
        return false;
    for (size_t i = 0; i < 8; i += 2)
        SwapField16(rect, i);
    // top, left, bottom, right <-> left, top, right, bottom: each pair changes places.
    std::swap(rect[0], rect[2]);
    std::swap(rect[1], rect[3]);
    std::swap(rect[4], rect[6]);
    std::swap(rect[5], rect[7]);
    return true;
}

bool SwapObjectHeader(std::span<uint8_t> object) {
    if (object.size() < kObjectCommonBytes)
        return false;
    SwapField16(object, kObjectId);
    SwapMacRect(object.subspan(kObjectRect, 8));
    SwapField32(object, kObjectLength);
    SwapField16(object, kObjectFlags);
    return true;
}

uint32_t ObjectHeaderBytes(uint16_t kind) {
    switch (kind) {
    case kObjectGraphic: return kGraphicHeaderBytes;
    case kObjectButton: return kButtonHeaderBytes;
    case kObjectText: return kTextHeaderBytes;
    default: return kObjectCommonBytes;
    }
}

void ConvertTextField(std::span<uint8_t> field, ByteOrder order, const StackConversion& cv) {
    if (field.empty())
        return;
    if (field[0] > field.size() - 1)
        field[0] = static_cast<uint8_t>(field.size() - 1);
    if (!StackTextIsMacRoman(cv))
        return;
    if (order == ByteOrder::ToHost)
        MacToAnsi(field.data() + 1, field[0]);
    else
        AnsiToMac(field.data() + 1, field[0]);
}

void KeepRecordEven(std::vector<uint8_t>& record, size_t flagsOffset) {
    if ((record.size() & 1) == 0)
        return;
    uint16_t flags = GetU16(record, flagsOffset);
    if (flags & kObjectPadded) {
        record.pop_back();
        flags &= static_cast<uint16_t>(~kObjectPadded);
    } else {
        record.push_back(0);
        flags |= kObjectPadded;
    }
    SetU16(record, flagsOffset, flags);
}

int ConvertGraphicObject(std::vector<uint8_t>& o, ByteOrder order, const StackConversion& cv,
                         const char** reason) {
    if (o.size() < kGraphicHeaderBytes)
        return Fail(reason, "graphic object shorter than its header");
    const uint16_t flags = GetU16(o, kObjectFlags);
    const uint32_t pad = (flags & kObjectPadded) ? 1 : 0;
    if (o.size() < kGraphicHeaderBytes + pad)
        return Fail(reason, "graphic object pad byte inside its header");
    std::span<uint8_t> s(o);
    if (order == ByteOrder::ToHost) {
        for (uint32_t offset : kGraphicWords)
            SwapField16(s, offset);
        SwapMacRect(s.subspan(kGraphicPictureRect, 8));
        SwapField32(s, kGraphicTrailerLength);
        SwapField32(s, kGraphicAfterMask);
    }
    ConvertTextField(s.subspan(kGraphicName, kGraphicNameBytes), order, cv);
    const auto trailerLength = static_cast<int32_t>(GetU32(s, kGraphicTrailerLength));
    // What follows the mask is counted too, so that the mask is where the picture reader finds it.
    const uint64_t after = GetU32(s, kGraphicAfterMask);
    if (after > o.size() - kGraphicHeaderBytes - pad)
        return Fail(reason, "graphic trailer outside the record");

    size_t pathEnd = o.size() - pad - static_cast<size_t>(after);
    if (trailerLength > 0) {
        auto t = static_cast<uint32_t>(trailerLength);
        if (t < kGraphicTrailerBytes || t > o.size() - kGraphicHeaderBytes - pad - after)
            return Fail(reason, "graphic trailer outside the record");
        size_t trailer = o.size() - pad - static_cast<size_t>(after) - t;
        SwapField16(s, trailer);
        SwapField16(s, trailer + 2);
        if (order == ByteOrder::ToHost &&
            (GetU16(s, trailer) == 0 || GetU16(s, trailer + 2) == 0)) {
            SetU16(s, trailer, static_cast<uint16_t>(GetI16(s, kObjectRect + 4) - GetI16(s, kObjectRect)));
            SetU16(s, trailer + 2, static_cast<uint16_t>(GetI16(s, kObjectRect + 6) - GetI16(s, kObjectRect + 2)));
        }
        SetU16(s, trailer + 4, 0);
        SetU16(s, trailer + 6, 0);
        pathEnd = trailer;
    }
    if (order == ByteOrder::ToFile) {
        for (uint32_t offset : kGraphicWords)
            SwapField16(s, offset);
        SwapMacRect(s.subspan(kGraphicPictureRect, 8));
        SwapField32(s, kGraphicTrailerLength);
        SwapField32(s, kGraphicAfterMask);
    }
    if (flags & kObjectHasPath) {
        size_t newLength;
        if (!ConvertPathRegion(o, kGraphicHeaderBytes, pathEnd - kGraphicHeaderBytes, order, cv,
                               &newLength))
            return Fail(reason, "graphic path too long");
        if (order == ByteOrder::ToHost) {
            KeepRecordEven(o, kObjectFlags);
            SetObjectLength(o);
        }
    }
    return kStackOk;
}

int ConvertTextObject(std::vector<uint8_t>& o, ByteOrder order, const StackConversion& cv,
                      const char** reason) {
    if (o.size() < kTextHeaderBytes)
        return Fail(reason, "text object shorter than its header");
    std::span<uint8_t> s(o);
    for (uint32_t offset : kTextWords)
        SwapField16(s, offset);
    for (uint32_t offset : kTextLongs)
        SwapField32(s, offset);
    ConvertTextField(s.subspan(kTextName, kTextNameBytes), order, cv);

    // Sub-records run to the pad byte, so that adding or dropping it leaves the walk as it was.
    const size_t end = o.size() - ((GetU16(o, kObjectFlags) & kObjectPadded) ? 1 : 0);
    uint32_t firstPathLength = 0;
    bool hasSubRecord = false;
    for (size_t pos = kTextHeaderBytes; end - pos >= kSubRecordMinRemaining;) {
        std::span<uint8_t> sub = s.subspan(pos);
        if (order == ByteOrder::ToHost)
            SwapSubRecordHeader(sub);
        uint32_t length = GetU32(sub, kSubLength);
        uint32_t pathLength = GetU32(sub, kSubPathLength);
        if (length < kSubRecordHeaderBytes || length > end - pos)
            return Fail(reason, "text sub-record length outside the record");
        if (pathLength > length - kSubRecordHeaderBytes)
            return Fail(reason, "text sub-record path longer than the sub-record");
        if (!hasSubRecord)
            firstPathLength = pathLength;
        hasSubRecord = true;
        if (order == ByteOrder::ToFile)
            SwapSubRecordHeader(sub);
        pos += length;
    }

    if (GetU16(o, kObjectFlags) & kObjectHasPath) {
        if (!hasSubRecord)
            return Fail(reason, "text object path without a sub-record");
        size_t newLength;
        if (!ConvertPathRegion(o, kTextPath, firstPathLength, order, cv, &newLength))
            return Fail(reason, "text object path too long");
        if (order == ByteOrder::ToHost && newLength != firstPathLength) {
            std::span<uint8_t> first(o.data() + kTextHeaderBytes, kSubRecordHeaderBytes);
            SetU32(first, kSubPathLength, static_cast<uint32_t>(newLength));
            SetU32(first, kSubLength,
                   GetU32(first, kSubLength) + static_cast<uint32_t>(newLength) - firstPathLength);
            KeepRecordEven(o, kObjectFlags);
            SetObjectLength(o);
        }
    }
    return kStackOk;
}

int ConvertObjectRecord(std::vector<uint8_t>& o, ByteOrder order, const StackConversion& cv,
                        const char** reason) {
    if (o.size() < kObjectCommonBytes)
        return Fail(reason, "object shorter than its common header");
    std::span<uint8_t> s(o);
    uint16_t kind;
    if (order == ByteOrder::ToHost) {
        kind = GetBE16(s, kObjectKind);
        SwapField16(s, kObjectKind);
        SwapObjectHeader(s);
    } else {
        kind = GetU16(s, kObjectKind);
    }
    if (GetU32(o, kObjectLength) != o.size())
        return Fail(reason, "object length differs from its record");
    if (o.size() < ObjectHeaderBytes(kind) || (o.size() & 1))
        return Fail(reason, "object length odd or shorter than its header");
    int result = kStackOk;
    switch (kind) {
    case kObjectGraphic: result = ConvertGraphicObject(o, order, cv, reason); break;
    case kObjectButton: result = ConvertButtonObject(o, order, cv, reason); break;
    case kObjectText: result = ConvertTextObject(o, order, cv, reason); break;
    default: break;
    }
    if (result != kStackOk)
        return result;
    if (order == ByteOrder::ToFile) {
        std::span<uint8_t> f(o);
        SwapObjectHeader(f);
        SwapField16(f, kObjectKind);
    }
    return kStackOk;
}
