// The information dialogs' record and the rules they apply without a window.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "stack/dialogs/InfoDialogsRecord.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

Handle g_record = 0;

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

Handle GetInfoDialogRecord() { return g_record; }

void FreeInfoDialogData() {
    if (!g_record)
        return;
    {
        HandleLock lock(g_record);
        if (lock) {
            auto* r = reinterpret_cast<InfoDialogRecord*>(lock.get());
            DisposeHandleAndClear(&r->arriving);
            DisposeHandleAndClear(&r->leaving);
            DisposeHandleAndClear(&r->clicking);
        }
    }
    DisposeHandleAndClear(&g_record);
}

bool PrepareInfoDialogRecord(bool isStack) {
    FreeInfoDialogData();
    const Handle owner = isStack ? GetStackHeaderHandle() : GetCurrentCardRecord();
    const ActionWords& words = isStack ? kStackActionWords : kCardActionWords;
    InfoDialogRecord record{};
    record.arriving = LoadActionResource(GetHandleWord(owner, words.action[0]));
    record.leaving = LoadActionResource(GetHandleWord(owner, words.action[1]));
    record.clicking = LoadActionResource(GetHandleWord(owner, words.action[2]));
    record.cursor = GetHandleWord(owner, words.cursor);
    if (record.arriving && record.leaving && record.clicking)
        g_record = NewHandleFromBytes({reinterpret_cast<const uint8_t*>(&record), sizeof record});
    if (!g_record) {
        DisposeHandle(record.arriving);
        DisposeHandle(record.leaving);
        DisposeHandle(record.clicking);
        return false;
    }
    return true;
}

Handle InfoAction(const InfoDialogRecord& record, int event) {
    return event == 0 ? record.arriving : event == 1 ? record.leaving : record.clicking;
}

std::string KilobytesText(uint32_t bytes) {
    const uint32_t k = bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0);
    char text[24];
    std::snprintf(text, sizeof text, "%lu K", static_cast<unsigned long>(k));
    return text;
}

uint64_t AvailableMegabytes(uint64_t physical, uint64_t pageFile) { return (physical + pageFile) >> 20; }

uint32_t CardBackgroundBytes(std::span<const uint8_t> card) {
    constexpr uint32_t kBackgroundRecordMinimum = 98;
    if (card.size() <= kBackgroundRecordMinimum || GetU16(card, kCardKind) != kCardKindPicture)
        return 0;
    return GetU32(card, kPictureBlockOffset + kBlockLength);
}

bool ParseSizePreset(std::string_view text, SizePreset& preset) {
    preset = SizePreset{};
    const size_t tilde = text.find('~');
    if (tilde == std::string_view::npos)
        return false;
    preset.name = std::string(text.substr(0, tilde));
    std::string_view rest = text.substr(tilde + 1);
    int* values[2] = {&preset.width, &preset.height};
    for (int* value : values) {
        const size_t end = std::min(rest.find('~'), rest.size());
        std::from_chars(rest.data(), rest.data() + end, *value);
        rest = end < rest.size() ? rest.substr(end + 1) : std::string_view{};
    }
    return true;
}

int CheckCardSize(int width, int height, int minWidth, int minHeight, int screenWidth, int screenHeight) {
    if (width < minWidth || height < minHeight || width > kMaxCardExtent || height > kMaxCardExtent)
        return kAlertCardTooSmall;
    if (width > screenWidth || height > screenHeight)
        return kAlertCardBiggerThanScreen;
    return 0;
}

bool ApplyCardNameAndFlags(std::span<uint8_t> card, std::string_view name, bool marked, bool lockColors) {
    if (card.size() < kCardName + kCardNameBytes)
        return false;
    name = name.substr(0, std::min<size_t>(name.size(), kCardNameBytes - 1));
    const uint16_t oldFlags = GetU16(card, kCardFlags);
    const uint16_t flags =
        static_cast<uint16_t>((oldFlags & ~(kCardMarked | kCardLockColors)) | (marked ? kCardMarked : 0) |
                              (lockColors ? kCardLockColors : 0));
    SetU16(card, kCardFlags, flags);
    const size_t oldLength = std::min<size_t>(card[kCardName], kCardNameBytes - 1);
    const std::string_view oldName(reinterpret_cast<const char*>(card.data() + kCardName + 1), oldLength);
    bool sameIgnoringCase = oldName.size() == name.size();
    for (size_t i = 0; sameIgnoringCase && i < name.size(); ++i)
        sameIgnoringCase = FoldAscii(oldName[i]) == FoldAscii(name[i]);
    // A change of case alone is the person's choice too.
    if (sameIgnoringCase && oldName == name && flags == oldFlags)
        return false;
    std::fill_n(card.begin() + kCardName, kCardNameBytes, 0);
    card[kCardName] = static_cast<uint8_t>(name.size());
    std::copy(name.begin(), name.end(), card.begin() + kCardName + 1);
    return true;
}

BarRect ProgressBarRect(int textLeft, int textTop, int textRight, int textBottom) {
    const int m = (textTop + textBottom) / 2, b = textBottom;
    return {textLeft, (3 * b - m) / 2, textRight, (7 * b - 5 * m) / 2};
}

BarRect ProgressFillRect(const BarRect& bar, int done, int total) {
    if (done <= 0 || total < 1)
        return {bar.left + 1, bar.top + 1, bar.left + 1, bar.bottom - 1};
    const int width = bar.right - bar.left;
    const int64_t fill = int64_t{width - 2} * std::min(done, total) / total;
    return {bar.left + 1, bar.top + 1, bar.left + 1 + static_cast<int>(fill), bar.bottom - 1};
}
