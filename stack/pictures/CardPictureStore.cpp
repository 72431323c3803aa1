// Picture blocks, colour tables for a depth, the JPEG storage form and the depth tables.
#include "stack/pictures/CardPictureStore.h"

#include <algorithm>

#include "core/files/JpegDescription.h"
#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kTableHeader = 8, kTableEntry = 8;
// A picture block is never larger than this (well above any card picture).
constexpr uint64_t kMaxPictureData = 0x10000000;

ConversionSwitches g_switches;

}  // namespace

ConversionSwitches& Switches() { return g_switches; }
void ResetConversionSwitches() { g_switches = ConversionSwitches{}; }

bool ReadPictureBlock(std::span<const uint8_t> record, PictureBlockView& out) {
    out = {};
    if (record.size() < kCardHeaderBytes + kPictureBlockHeaderBytes + kCardTrailerBytes ||
        GetU16(record, kCardKind) != kCardKindPicture)
        return false;
    const std::span<const uint8_t> block = record.subspan(kPictureBlockOffset);
    const uint64_t length = GetU32(block, kBlockLength), table = GetU32(block, kBlockTableSize);
    const uint64_t pad = (GetU16(block, kBlockFlags) & kPicturePadFlag) ? 1 : 0;
    if (length < kPictureBlockHeaderBytes + table + pad || length > block.size() - kCardTrailerBytes)
        return false;
    out.format = GetU16(block, kBlockFormat);
    out.table = block.subspan(kPictureBlockHeaderBytes, table);
    out.data = block.subspan(kPictureBlockHeaderBytes + table, length - kPictureBlockHeaderBytes - table - pad);
    return true;
}

bool ReplacePictureBytes(std::vector<uint8_t>& record, std::span<const uint8_t> table,
                         std::span<const uint8_t> data, uint16_t depth, uint16_t format) {
    if (record.size() < kCardHeaderBytes + kPictureBlockHeaderBytes + kCardTrailerBytes ||
        GetU16(record, kCardKind) != kCardKindPicture)
        return false;
    const uint64_t oldData = uint64_t{GetU32(record, kPictureBlockOffset + kBlockLength)};
    const uint64_t total = uint64_t{table.size()} + data.size();
    if (oldData < kPictureBlockHeaderBytes ||
        oldData > record.size() - kPictureBlockOffset - kCardTrailerBytes || total > kMaxPictureData)
        return false;
    const bool pad = (total & 1) != 0;
    std::vector<uint8_t> fresh(table.begin(), table.end());
    fresh.insert(fresh.end(), data.begin(), data.end());
    if (pad)
        fresh.push_back(0);
    const size_t from = kPictureTableOffset;
    const size_t oldEnd = kPictureBlockOffset + static_cast<size_t>(oldData);
    std::vector<uint8_t> rebuilt(record.begin(), record.begin() + from);
    rebuilt.insert(rebuilt.end(), fresh.begin(), fresh.end());
    rebuilt.insert(rebuilt.end(), record.begin() + oldEnd, record.end());

    const uint32_t block = static_cast<uint32_t>(kPictureBlockHeaderBytes + fresh.size());
    uint16_t flags = GetU16(rebuilt, kPictureBlockOffset + kBlockFlags);
    flags = pad ? (flags | kPicturePadFlag) : (flags & ~kPicturePadFlag);
    SetU16(rebuilt, kCardDepth, depth);
    SetU16(rebuilt, kPictureBlockOffset + kBlockWord0, kPictureBlockWord0Value);
    SetU16(rebuilt, kPictureBlockOffset + kBlockFormat, format);
    SetU16(rebuilt, kPictureBlockOffset + kBlockFlags, flags);
    SetU32(rebuilt, kPictureBlockOffset + kBlockLength, block);
    SetU32(rebuilt, kPictureBlockOffset + kBlockTableSize, static_cast<uint32_t>(table.size()));
    SetU32(rebuilt, kCardLength, static_cast<uint32_t>(rebuilt.size()));
    record.swap(rebuilt);
    return true;
}

int StorePictureData(Handle card, std::span<const uint8_t> table, std::span<const uint8_t> data, int depth,
                     uint16_t format) {
    if (!IsValidHandle(card) || depth < 1 || depth > 32)
        return 16;
    std::vector<uint8_t> record = HandleToBytes(card);
    if (!ReplacePictureBytes(record, table, data, static_cast<uint16_t>(depth), format))
        return 16;
    return SetHandleBytes(card, record) == 0 ? 0 : 16;
}

int ReplacePictureData(Handle card, Handle packed, Handle colorTable, int depth) {
    if (!IsValidHandle(packed))
        return 16;
    const std::vector<uint8_t> data = HandleToBytes(packed);
    const std::vector<uint8_t> table = IsValidHandle(colorTable) ? HandleToBytes(colorTable) : std::vector<uint8_t>{};
    return StorePictureData(card, table, data, depth, kPictureFormatPacked);
}

std::vector<uint8_t> BuildColorTableForDepth(std::span<const PaletteColor> picture,
                                             std::span<const PaletteColor> defaults, int sourceDepth,
                                             int targetDepth) {
    if (targetDepth < 1 || targetDepth > 32 || sourceDepth < 1 || sourceDepth > 32)
        return {};
    const size_t count = targetDepth <= 8 ? size_t{1} << targetDepth : 256;
    // A deep picture's table names none of its pixels: reduced to 8 bits or fewer it takes the
    // default colours.
    const size_t own = sourceDepth <= 8 ? size_t{1} << sourceDepth : targetDepth <= 8 ? 0 : 256;
    std::vector<uint8_t> table(kTableHeader + count * kTableEntry, 0);
    SetBE16(table, 6, static_cast<uint16_t>(count - 1));
    for (size_t i = 0; i < count; ++i) {
        PaletteColor c;
        if (i < own && i < picture.size())
            c = picture[i];
        else if (i < defaults.size())
            c = defaults[i];
        const size_t at = kTableHeader + i * kTableEntry;
        SetU16(table, at, 1);
        SetU16(table, at + 2, c.red);
        SetU16(table, at + 4, c.green);
        SetU16(table, at + 6, c.blue);
    }
    return table;
}

std::vector<uint8_t> MakeJpegPictureData(int width, int height, int depth, std::span<const uint8_t> jpeg) {
    std::vector<uint8_t> data(kJpegImageDescSize);
    if (jpeg.empty() || !BuildJpegImageDesc(std::span<uint8_t, kJpegImageDescSize>(data.data(), kJpegImageDescSize),
                                            width, height, depth))
        return {};
    data.insert(data.end(), jpeg.begin(), jpeg.end());
    return data;
}

bool ReadJpegPictureData(std::span<const uint8_t> data, JpegPictureView& out, const char** reason) {
    out = {};
    const char* unused = nullptr;
    const char*& why = reason ? *reason : unused;
    why = "";
    if (data.size() < kJpegImageDescSize) {
        why = "JPEG picture data shorter than its description";
        return false;
    }
    const uint32_t descLength = GetBE32(data, 0);
    if (descLength < kJpegImageDescSize || descLength >= data.size()) {
        why = "JPEG description length outside the data";
        return false;
    }
    if (GetBE32(data, kDescCodec) != kCodecJpeg) {
        why = "JPEG description names another codec";
        return false;
    }
    const int width = GetBE16(data, kDescWidth), height = GetBE16(data, kDescHeight);
    const int depth = GetBE16(data, kDescDepth);
    if (width < 1 || height < 1 || width > kMaxCardExtent || height > kMaxCardExtent) {
        why = "JPEG description size out of range";
        return false;
    }
    if (depth != 8 && depth != 16 && depth != 24 && depth != 32) {
        why = "JPEG description depth out of range";
        return false;
    }
    out.width = width;
    out.height = height;
    out.depth = depth;
    out.jpeg = data.subspan(descLength);
    return true;
}

bool JpegDimensionsAgree(const JpegPictureView& view, int jpegWidth, int jpegHeight) {
    return jpegWidth == view.width && jpegHeight == view.height;
}

uint16_t ChooseStoredPictureFormat(size_t jpegBytes, size_t packedBytes) {
    return jpegBytes > 0 && jpegBytes < packedBytes ? kPictureFormatJpeg : kPictureFormatPacked;
}

DepthPlan PictureToDisplayPlan(int storedDepth, int displayDepth) {
    using S = DepthStep;
    auto plan = [](S a = S::None, S b = S::None) { return DepthPlan{true, {a, b, S::None}}; };
    if (displayDepth != 8 && displayDepth != 16 && displayDepth != 24 && displayDepth != 32)
        return {};
    switch (storedDepth) {
    case 1:  // as 4 bits: the DIB takes its stored colours
    case 4:
        return plan();
    case 8:
        return displayDepth == 8 ? plan() : plan(S::Requantize);
    case 16:
        switch (displayDepth) {
        case 8: return plan(S::Widen16To24, S::LibraryMatch);
        case 16: return plan(S::SwapBytes16);
        default: return plan(S::Widen16To24, S::Requantize);
        }
    case 32:
        switch (displayDepth) {
        case 8: return plan(S::Mac32To24, S::LibraryMatch);
        case 16: return plan(S::Mac32To24, S::Requantize);
        case 24: return plan(S::Mac32To24);
        default: return plan(S::Mac32ToWindows32);
        }
    default:
        return {};
    }
}

DepthPlan DisplayToStackPlan(int displayDepth, int stackDepth, const ConversionSwitches& switches) {
    using S = DepthStep;
    auto plan = [](S a = S::None, S b = S::None, S c = S::None) { return DepthPlan{true, {a, b, c}}; };
    if (displayDepth == 8)
        return plan();
    if (stackDepth == 8) {
        // The library path takes the display's pixels to 24 bits itself.
        (void)switches;
        return displayDepth == 16 || displayDepth == 24 || displayDepth == 32 ? plan(S::ReduceToPalette) : DepthPlan{};
    }
    switch (displayDepth * 100 + stackDepth) {
    case 1616: return plan(S::SwapBytes16);
    // The 16-bit display's pixels are widened rather than stored as they are at 32 bits.
    case 1632: return plan(S::SwapBytes16, S::Widen16To24, S::Windows24ToMac32);
    case 2416: return plan(S::Windows24To16);
    case 2432: return plan(S::Windows24ToMac32);
    case 3216: return plan(S::Windows32To16);
    case 3232: return plan(S::Windows32ToMac32);
    default: return {};
    }
}

CardPictureRoute ChooseCardPictureRoute(const CardPictureCase& c, const ConversionSwitches& s) {
    if (c.kind != kCardKindPicture)
        return CardPictureRoute::NotPicture;
    const bool isJpeg = c.format == kPictureFormatJpeg;
    if (s.stackIo && isJpeg)
        return CardPictureRoute::DecodeJpeg;
    if ((c.stackJpegFlag || isJpeg) && s.jpegEncode && c.newDepth >= 9 && s.stackIo)
        return CardPictureRoute::EncodeJpeg;
    if (c.oldDepth == 4)
        return CardPictureRoute::From4Bit;
    if ((!c.sizeChanged && !s.force) || !s.convertPixels)
        return CardPictureRoute::Unchanged;
    if (c.oldDepth == 8 && c.newDepth == 8 && c.displayDepth == 8)
        return CardPictureRoute::Repack8;
    return CardPictureRoute::Convert;
}

int StoredPictureDepth(std::span<const uint8_t> record, int runDepth) {
    if (record.size() < kCardHeaderBytes || GetU16(record, kCardKind) != kCardKindPicture)
        return runDepth;
    const int depth = GetU16(record, kCardDepth);
    return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 32 ? depth : runDepth;
}

bool ConvertsGraphicsFirst(int oldDepth, int newDepth, const ConversionSwitches& s) {
    const bool same = oldDepth == newDepth && newDepth != 16 && newDepth != 32 && !s.force;
    return !same && s.convertGraphics;
}

bool GraphicNeedsDepthConversion(std::span<const uint8_t> graphic, int depth) {
    if (graphic.size() < kGraphicHeaderBytes || GetU16(graphic, kObjectKind) != kObjectGraphic)
        return false;
    if (GetU16(graphic, kObjectFlags) & kObjectHasPath)
        return false;
    // Picture flags exactly 32 mark a record that is never drawn: converting it would add the
    // packed-rows flag and draw it after all.
    if (GetU16(graphic, kGraphicPictureFlags) == 32)
        return false;
    return GetU16(graphic, kGraphicPictureDepth) != depth || depth == 16 || depth == 32;
}

bool ReplaceObjectBytes(std::vector<uint8_t>& record, uint32_t offset, std::span<const uint8_t> data,
                        uint32_t maskLength) {
    if (offset > record.size() || record.size() - offset < kGraphicHeaderBytes + kCardTrailerBytes)
        return false;
    const uint64_t length = GetU32(record, offset + kObjectLength);
    if (length < kGraphicHeaderBytes || length > record.size() - offset - kCardTrailerBytes ||
        data.size() > kMaxPictureData || maskLength > data.size())
        return false;
    const bool pad = (data.size() & 1) != 0;
    std::vector<uint8_t> rebuilt(record.begin(), record.begin() + offset + kGraphicHeaderBytes);
    rebuilt.insert(rebuilt.end(), data.begin(), data.end());
    if (pad)
        rebuilt.push_back(0);
    rebuilt.insert(rebuilt.end(), record.begin() + offset + static_cast<size_t>(length), record.end());
    uint16_t flags = GetU16(rebuilt, offset + kObjectFlags);
    flags = pad ? (flags | kObjectPadded) : (flags & ~kObjectPadded);
    SetU16(rebuilt, offset + kObjectFlags, flags);
    SetU32(rebuilt, offset + kObjectLength, static_cast<uint32_t>(kGraphicHeaderBytes + data.size() + (pad ? 1 : 0)));
    SetU32(rebuilt, offset + kGraphicTrailerLength, maskLength);
    SetU32(rebuilt, offset + kGraphicAfterMask, 0);  // the mask ends the data again
    SetU32(rebuilt, kCardLength, static_cast<uint32_t>(rebuilt.size()));
    record.swap(rebuilt);
    return true;
}
