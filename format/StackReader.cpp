// Reading a stack file through a ByteSource: header, cards, resource area.
#include "format/StackReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/memory/ByteReader.h"
#include "format/ResFile.h"

namespace {

StackReadResult Refuse(int alertId, std::string reason) {
    return {kStackRefused, alertId, std::move(reason)};
}

// A stack whose header passed but that cannot be read whole: nothing of it opens.
StackReadResult Unreadable(std::string reason) { return {kStackRefused, kAlertNoCardsRead, std::move(reason)}; }

StackReadResult Failed(std::string reason) { return {kStackNoMemory, kAlertNoCardsRead, std::move(reason)}; }

// Reads count bytes into a handle's data.
bool ReadIntoHandle(ByteSource& source, uint32_t offset, Handle h) {
    HandleLock lock(h);
    if (!lock)
        return false;
    return source.ReadAt(offset, lock.bytes());
}

}  // namespace

StackReadResult ReadStackHeader(ByteSource& source, StackConversion& cv, Handle* header) {
    *header = 0;
    if (source.Size() < kStackHeaderBytes)
        return Refuse(kAlertNotAStack, "file shorter than a stack header");
    Handle h = NewHandle(kStackHeaderBytes);
    if (!h)
        return Failed("no memory for the header");
    if (!ReadIntoHandle(source, 0, h)) {
        DisposeHandle(h);
        return Failed("header could not be read");
    }
    const char* fault = nullptr;
    {
        HandleLock lock(h);
        std::span<uint8_t> bytes(lock.get(), kStackHeaderBytes);
        SwapStackHeader(bytes, ByteOrder::ToHost, cv);
        fault = StackHeaderFault(bytes, source.Size());
    }
    if (fault) {
        DisposeHandle(h);
        return Refuse(kAlertNotAStack, std::string("header: ") + fault);
    }
    *header = h;
    return {};
}

StackReadResult ReadCardRecordAt(ByteSource& source, uint32_t offset, StackConversion& cv,
                                 Handle* card, uint32_t* length, DropLog* drops) {
    *card = 0;
    *length = 0;
    uint8_t start[6];
    if (!source.ReadAt(offset, start))
        return Refuse(kAlertNotAStack, "card header past the end of the file");
    const uint32_t recordLength = GetBE32(start, kCardLength);
    if (recordLength < kMinCardRecordBytes)
        return Refuse(kAlertNotAStack, "card record shorter than 100 bytes");
    if (recordLength > source.Size() - offset)
        return Refuse(kAlertNotAStack, "card record past the end of the file");
    Handle h = NewHandleWithEndMark(recordLength - 2);
    if (!h)
        return Failed("no memory for a card record");
    if (!ReadIntoHandle(source, offset, h)) {
        DisposeHandle(h);
        return Failed("card record could not be read");
    }
    const char* fault = nullptr;
    {
        HandleLock lock(h);
        fault = CheckCardRecord(std::span<const uint8_t>(lock.get(), recordLength));
    }
    if (fault) {
        DisposeHandle(h);
        return Refuse(kAlertNotAStack, fault);
    }
    size_t dropsBefore = drops ? drops->size() : 0;
    if (SwapCardRecord(h, ByteOrder::ToHost, cv, drops) != kStackOk) {
        DisposeHandle(h);
        return Failed("no memory to convert a card record");
    }
    // The drops of a card are logged with record offsets; make them file offsets.
    if (drops)
        for (size_t i = dropsBefore; i < drops->size(); ++i)
            (*drops)[i].offset += offset;
    *card = h;
    *length = recordLength;
    return {};
}

StackReadResult ReadStackFile(ByteSource& source, StackConversion& cv, StackFileContents& contents,
                              const StackOpenQuestions& questions) {
    contents = StackFileContents{};
    StackReadResult result = ReadStackHeader(source, cv, &contents.header);
    if (!result.ok())
        return result;
    uint16_t cardCount;
    uint32_t resourceOffset;
    int refusal;
    bool small;
    {
        HandleLock lock(contents.header);
        std::span<const uint8_t> h(lock.get(), kStackHeaderBytes);
        cardCount = GetU16(h, kHeaderCardCount);
        resourceOffset = GetU32(h, kHeaderResourceOffset);
        refusal = StackHeaderRefusal(h);
        small = GetU16(h, kHeaderCardWidth) < questions.minCardWidth ||
                GetU16(h, kHeaderCardHeight) < questions.minCardHeight;
    }
    const auto refuse = [&](StackReadResult why) {
        why.askedSmallCards = result.askedSmallCards;
        DisposeStackFileContents(contents);
        return why;
    };
    if (refusal == kAlertBlackAndWhiteStack)
        return refuse(Refuse(refusal, "header: black and white"));
    if (small) {
        result.askedSmallCards = true;
        if (questions.confirmSmallCards && !questions.confirmSmallCards(questions.context))
            return refuse(Refuse(kAlertSmallCards, "card size below the minimum, not converted"));
    }
    if (refusal)
        return refuse(Refuse(refusal, refusal == kAlertStackTooNew ? "header: version above 5" : "header: version below 4"));

    uint64_t pos = kStackHeaderBytes;
    for (uint16_t i = 0; i < cardCount; ++i) {
        Handle card = 0;
        uint32_t length = 0;
        StackReadResult read = pos <= source.Size()
                                   ? ReadCardRecordAt(source, static_cast<uint32_t>(pos), cv, &card, &length, &contents.drops)
                                   : Refuse(kAlertNoCardsRead, "card header past the end of the file");
        if (!read.ok())
            return refuse(Unreadable("card " + std::to_string(i + 1) + " at " + std::to_string(pos) + ": " + read.reason));
        contents.cards.push_back(card);
        contents.cardOffsets.push_back(static_cast<uint32_t>(pos));
        contents.cardLengths.push_back(length);
        pos += length;
    }

    // The resource area converts as the cards decided: the Mac Roman detection is done by now.
    contents.resFile = NewResFileRecord(nullptr, cv);
    if (!contents.resFile)
        return refuse(Unreadable("no memory for the resource area"));
    std::string why;
    if (ReadResourceArea(source, resourceOffset, contents.resFile, &why) != kFileOk)
        return refuse(Unreadable("resource area: " + why));
    return result;
}

void DisposeStackFileContents(StackFileContents& contents) {
    DisposeHandleAndClear(&contents.header);
    for (Handle& card : contents.cards)
        DisposeHandleAndClear(&card);
    DisposeResFileRecord(contents.resFile);
    contents = StackFileContents{};
}
