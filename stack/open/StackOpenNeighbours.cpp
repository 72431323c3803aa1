// The defaults of what opening a stack asks of other parts.
#include "stack/open/StackOpenNeighbours.h"

#include "core/memory/ByteReader.h"
#include "stack/format/StackFile.h"
#include "stack/open/StackOpenSession.h"

namespace {

void Nothing() {}
bool NoChoice() { return false; }
void ForgetNothing(const char*) {}
void EnterNothing(int, int, int, int) {}

// The card size of the new header into the open header and every card record.
int ResizeCards(Handle oldHeader, Handle newHeader) {
    uint16_t width, height;
    {
        HandleLock lock(newHeader);
        if (!lock)
            return 16;
        const std::span<const uint8_t> header = lock.bytes();
        width = GetU16(header, kHeaderCardWidth);
        height = GetU16(header, kHeaderCardHeight);
    }
    {
        HandleLock lock(oldHeader);
        if (!lock)
            return 16;
        const std::span<uint8_t> header = lock.bytes();
        SetU16(header, kHeaderCardWidth, width);
        SetU16(header, kHeaderCardHeight, height);
    }
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        HandleLock lock(card);
        if (!lock)
            continue;
        const std::span<uint8_t> record = lock.bytes();
        SetU16(record, kCardWidth, width);
        SetU16(record, kCardHeight, height);
    }
    return 0;
}

}  // namespace

StackOpenNeighbours DefaultStackOpenNeighbours() {
    return {Nothing, NoChoice, Nothing, Nothing, ForgetNothing, Nothing, Nothing, Nothing,
            Nothing, Nothing, Nothing, ResizeCards, EnterNothing, Nothing};
}

namespace {

// Made on first use, so that a part installing its procedure while the module loads finds it.
StackOpenNeighbours& Installed() {
    static StackOpenNeighbours neighbours = DefaultStackOpenNeighbours();
    return neighbours;
}

}  // namespace

const StackOpenNeighbours& Neighbours() { return Installed(); }
void SetStackOpenNeighbours(const StackOpenNeighbours& neighbours) { Installed() = neighbours; }
