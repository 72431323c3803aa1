// Reading a stack file's card records for opening, and one card without opening the stack.
#include "stack/open/StackOpen.h"

#include "core/memory/ByteReader.h"

bool CardSizeBelowMinimum(std::span<const uint8_t> header, int minWidth, int minHeight) {
    return GetU16(header, kHeaderCardWidth) < minWidth || GetU16(header, kHeaderCardHeight) < minHeight;
}

int ReadStackCardFrom(ByteSource& source, uint16_t cardId, int position, StackConversion& cv, int16_t* depth,
                      int16_t* version, int16_t* cardCount, Handle* card, bool* notAStack) {
    if (card)
        *card = 0;
    if (notAStack)
        *notAStack = false;
    Handle header = 0;
    const StackReadResult read = ReadStackHeader(source, cv, &header);
    if (!read.ok()) {
        const bool refused = read.error == kStackRefused && read.alertId == kAlertNotAStack;
        if (notAStack)
            *notAStack = refused;
        return refused ? kFileRefused : kFileFailed;
    }
    uint16_t count, v;
    {
        HandleLock lock(header);
        const std::span<const uint8_t> h(lock.get(), kStackHeaderBytes);
        count = GetU16(h, kHeaderCardCount);
        v = GetU16(h, kHeaderVersion);
        if (depth)
            *depth = GetI16(h, kHeaderDepth);
    }
    DisposeHandle(header);
    if (version)
        *version = static_cast<int16_t>(v);
    if (cardCount)
        *cardCount = static_cast<int16_t>(count);
    if (v != 4 && v != 5)
        return kFileMissing;
    uint64_t at = kCardRecordsStart;
    for (int place = 1; place <= count; ++place) {
        uint8_t prefix[6];
        if (at > source.Size() || !source.ReadAt(static_cast<uint32_t>(at), prefix))
            return kFileFailed;
        const uint32_t length = GetBE32(prefix, kCardLength);
        if (GetBE16(prefix, kCardId) == cardId || place == position) {
            Handle found = 0;
            uint32_t foundLength = 0;
            const StackReadResult result =
                ReadCardRecordAt(source, static_cast<uint32_t>(at), cv, &found, &foundLength, nullptr);
            if (!result.ok())
                return kFileFailed;
            if (card)
                *card = found;
            else
                DisposeHandle(found);
            return kFileOk;
        }
        // Skipped records still need a length that a record can have.
        if (length < kMinCardRecordBytes || length > source.Size() - at)
            return kFileFailed;
        at += length;
    }
    return kFileMissing;
}
