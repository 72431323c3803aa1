// The 128-byte stack header: its conversion, its plausibility test, and the decision whether the
// stack's texts are Mac Roman.
#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

// Every 16-bit field of the header that is converted (the raw ranges are 28..47 and 80..127).
constexpr uint32_t kHeaderWords[] = {
    kHeaderAutoSave, kHeaderExperiencedUser, kHeaderCardCount, kHeaderWord6, kHeaderVersion,
    kHeaderNextCardId, kHeaderNextObjectId, kHeaderFlags, kHeaderDepth, kHeaderWord18,
    kHeaderTimersAndLinks, kHeaderWord22, kHeaderLocked, kHeaderCardNumberInTitle,
    kHeaderPresentationMode, kHeaderPresentation50, kHeaderWord52, kHeaderPresentation54,
    kHeaderCardWidth, kHeaderCardHeight, kHeaderStackActionA, kHeaderClosingAction,
    kHeaderCursorId, kHeaderStackActionB,
};
constexpr uint32_t kHeaderLongs[] = {kHeaderResourceOffset, kHeaderResourceCount,
                                     kHeaderNextResourceId};

constexpr int kLowestOpenedVersion = 4;
constexpr int kHighestOpenedVersion = 5;

}  // namespace

bool SwapStackHeader(std::span<uint8_t> header, ByteOrder order, StackConversion& cv) {
    if (header.size() < kStackHeaderBytes)
        return false;
    if (order == ByteOrder::ToFile && cv.detectionDone && cv.macMade) {
        // A detected Mac stack keeps the flag from its next save on.
        SetU16(header, kHeaderFlags, GetU16(header, kHeaderFlags) | kStackMacRomanText);
    }
    if (order == ByteOrder::ToFile)
        cv.headerMacRoman = (GetU16(header, kHeaderFlags) & kStackMacRomanText) != 0;
    for (uint32_t offset : kHeaderWords)
        SwapField16(header, offset);
    for (uint32_t offset : kHeaderLongs)
        SwapField32(header, offset);
    if (order == ByteOrder::ToHost)
        cv.headerMacRoman = (GetU16(header, kHeaderFlags) & kStackMacRomanText) != 0;
    cv.detectionDone = false;
    cv.macMade = false;
    return true;
}

const char* StackHeaderFault(std::span<const uint8_t> header, uint32_t fileSize) {
    if (header.size() < kStackHeaderBytes)
        return "header shorter than 128 bytes";
    if (GetU16(header, kHeaderDepth) >= 33)
        return "colour depth above 32";
    if (GetU16(header, kHeaderWord6) >= 256)
        return "header word 6 above 255";
    uint16_t version = GetU16(header, kHeaderVersion);
    if (version == 0 || version > 255)
        return "version outside 1..255";
    uint16_t width = GetU16(header, kHeaderCardWidth);
    uint16_t height = GetU16(header, kHeaderCardHeight);
    if (width == 0 || height == 0)
        return "card width or height 0";
    if (width > kMaxCardExtent || height > kMaxCardExtent)
        return "card size above the largest card";
    if (GetU16(header, kHeaderCardCount) == 0)
        return "card count 0";
    if (GetU32(header, kHeaderResourceCount) > kMaxResourceCount)
        return "resource count above 65536";
    uint32_t resourceOffset = GetU32(header, kHeaderResourceOffset);
    if (resourceOffset < kStackHeaderBytes || resourceOffset > fileSize)
        return "resource area offset outside the file";
    return nullptr;
}

bool IsStackHeaderValid(std::span<const uint8_t> header, uint32_t fileSize) {
    return StackHeaderFault(header, fileSize) == nullptr;
}

int StackHeaderRefusal(std::span<const uint8_t> header) {
    if (GetU16(header, kHeaderDepth) == 1)
        return kAlertBlackAndWhiteStack;
    uint16_t version = GetU16(header, kHeaderVersion);
    if (version > kHighestOpenedVersion)
        return kAlertStackTooNew;
    if (version < kLowestOpenedVersion)
        return kAlertStackTooOld;
    return 0;
}

bool StackTextIsMacRoman(const StackConversion& cv) {
    return cv.headerMacRoman || (cv.detectionDone && cv.macMade);
}

bool GetConvertedTextFlag(std::span<const uint8_t> card, StackConversion& cv) {
    constexpr uint32_t kFirstEntryRed = kPictureTableOffset + kMacColorTableHeaderBytes + kMacColorRed;
    if (!cv.detectionDone && GetU16(card, kCardKind) == kCardKindPicture &&
        FieldFits(card, kFirstEntryRed, 6) && GetU32(card, kPictureTableLength) != 0) {
        cv.detectionDone = true;
        // The table stays big-endian in memory; white is 0xFFFF in either order.
        cv.macMade = GetBE16(card, kFirstEntryRed) == 0xFFFF &&
                     GetBE16(card, kFirstEntryRed + 2) == 0xFFFF &&
                     GetBE16(card, kFirstEntryRed + 4) == 0xFFFF;
    }
    return StackTextIsMacRoman(cv);
}
