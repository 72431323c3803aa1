#include "host/requests/RequestArgs.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "core/text/MacText.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

constexpr size_t kMaxName = 255;

bool Blank(uint8_t c) { return c <= ' '; }

// Trims [begin, end) of blanks at both ends.
std::span<const uint8_t> Trimmed(const uint8_t* begin, size_t count) {
    size_t from = 0;
    while (from < count && Blank(begin[from]))
        ++from;
    while (count > from && Blank(begin[count - 1]))
        --count;
    return {begin + from, count - from};
}

void Store(std::span<const uint8_t> text, NameBuffer* name) {
    name->fill(0);
    const size_t n = std::min(text.size(), kMaxName);
    (*name)[0] = static_cast<uint8_t>(n);
    std::memcpy(name->data() + 1, text.data(), n);
}

}  // namespace

bool ReadCallerName(uint32_t pointer, NameBuffer* name) {
    name->fill(0);
    const uint8_t* at = CallerPointer<const uint8_t>(pointer);
    if (!at)
        return false;
    if (at[0] < 32) {
        Store(Trimmed(at + 1, at[0]), name);
        return true;
    }
    size_t n = 0;
    while (n < kMaxName && at[n])
        ++n;
    Store(Trimmed(at, n), name);
    return true;
}

bool ReadCallerPString(uint32_t pointer, size_t most, NameBuffer* text) {
    text->fill(0);
    const uint8_t* at = CallerPointer<const uint8_t>(pointer);
    if (!at)
        return false;
    Store({at + 1, std::min<size_t>(at[0], most)}, text);
    return true;
}

bool ReadCallerCString(uint32_t pointer, size_t most, std::string* text) {
    text->clear();
    const char* at = CallerPointer<const char>(pointer);
    if (!at)
        return false;
    size_t n = 0;
    while (n <= most && at[n])
        ++n;
    if (n > most)
        return false;
    text->assign(at, n);
    return true;
}

bool NamesMatch(const uint8_t* stored, size_t storedRoom, const NameBuffer& wanted) {
    if (storedRoom == 0)
        return false;
    const size_t length = std::min<size_t>(stored[0], storedRoom - 1);
    const std::span<const uint8_t> a = Trimmed(stored + 1, length);
    const std::span<const uint8_t> b = Trimmed(wanted.data() + 1, wanted[0]);
    return std::ranges::equal(a, b, [](uint8_t x, uint8_t y) { return AsciiToLower(x) == AsciiToLower(y); });
}

bool IsObjectBoundary(Handle record, uint32_t offset, uint16_t* kind, uint32_t* length) {
    if (!IsValidHandle(record) || offset == 0)
        return false;
    HandleLock lock(record);
    if (!lock)
        return false;
    CardObjectWalk walk({lock.get(), GetHandleSize(record)});
    ObjectPlace place;
    while (walk.Next(place)) {
        if (place.offset == offset) {
            if (kind)
                *kind = place.kind;
            if (length)
                *length = place.length;
            return true;
        }
        if (place.offset > offset)
            return false;
    }
    return false;
}

uint16_t ObjectKindOfIndex(uint32_t kindIndex) {
    constexpr uint16_t kKinds[] = {kObjectButton, kObjectText, kObjectGraphic};
    return kindIndex < 3 ? kKinds[kindIndex] : 0;
}

int ObjectIndexOfKind(uint16_t kind) {
    switch (kind) {
    case kObjectButton:
        return 0;
    case kObjectText:
        return 1;
    case kObjectGraphic:
        return 2;
    default:
        return -1;
    }
}

bool IsCardInList(Handle record) {
    if (record == 0 || !IsValidHandle(record))
        return false;
    return GetCardIndex(record) <= CountCards();
}
