// The card size of the stack header copied into a card record.
#include "format/CardSizeWords.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

bool CopyCardSizeWords(std::span<const uint8_t> stackHeader, std::span<uint8_t> cardRecord) {
    static_assert(kHeaderCardHeight == kHeaderCardWidth + 2 && kCardHeight == kCardWidth + 2);
    if (!FieldFits(stackHeader, kHeaderCardWidth, 4) || !FieldFits(cardRecord, kCardWidth, 4))
        return false;
    std::copy_n(stackHeader.begin() + kHeaderCardWidth, 4, cardRecord.begin() + kCardWidth);
    return true;
}
