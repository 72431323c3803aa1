// Fuzz target of the stack reader: arbitrary bytes through header validation, card reading,
// object conversion and resource entries, then a round trip of everything that was read.
//
// Invariants checked beyond the sanitizers:
//   - a refusal names the alert the person would see, and leaves nothing behind;
//   - resource data kept raw is exactly the stored bytes;
//   - every handle the reader (and the stack report's description) makes is released again;
//   - a card, object or resource that was read converts to file order, and the result reads
//     back without a drop; after that first write, writing and reading again changes nothing.
// The first byte of the input also chooses the Mac Roman setting, so text conversion runs too.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/memory/Handles.h"
#include "format/ResFile.h"
#include "format/StackReader.h"
#include "stack/cards/StackDescribe.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 20;

[[noreturn]] void Broken(const char*) { std::abort(); }

StackConversion Settings(bool macRoman) {
    StackConversion cv;
    cv.headerMacRoman = macRoman;
    return cv;
}

void CardRoundTrip(std::vector<uint8_t> card, bool macRoman) {
    StackConversion cv = Settings(macRoman);
    if (SwapCardRecordBytes(card, ByteOrder::ToFile, cv, nullptr) != kStackOk)
        Broken("a card that was read cannot be written");
    DropLog drops;
    cv = Settings(macRoman);
    if (SwapCardRecordBytes(card, ByteOrder::ToHost, cv, &drops) != kStackOk || !drops.empty())
        Broken("a written card does not read back whole");
    std::vector<uint8_t> second = card;
    cv = Settings(macRoman);
    if (SwapCardRecordBytes(second, ByteOrder::ToFile, cv, nullptr) != kStackOk)
        Broken("a card read back cannot be written");
    cv = Settings(macRoman);
    if (SwapCardRecordBytes(second, ByteOrder::ToHost, cv, &drops) != kStackOk || !drops.empty())
        Broken("a card written twice does not read back");
    if (second != card)
        Broken("a card changes on its second round trip");
}

void ResourceRoundTrip(uint32_t type, std::vector<uint8_t> data, bool macRoman) {
    const StackConversion cv = Settings(macRoman);
    if (SwapResourceDataBytes(type, data, ByteOrder::ToFile, cv, nullptr) != kStackOk)
        Broken("resource data that was read cannot be written");
    if (SwapResourceDataBytes(type, data, ByteOrder::ToHost, cv, nullptr) != kStackOk)
        Broken("written resource data does not read back");
    std::vector<uint8_t> second = data;
    if (SwapResourceDataBytes(type, second, ByteOrder::ToFile, cv, nullptr) != kStackOk ||
        SwapResourceDataBytes(type, second, ByteOrder::ToHost, cv, nullptr) != kStackOk)
        Broken("resource data written twice does not read back");
    if (second != data)
        Broken("resource data changes on its second round trip");
}

// The input as one object record and as each kind of converted resource data.
void ConvertAlone(const uint8_t* data, size_t size, bool macRoman) {
    const StackConversion cv = Settings(macRoman);
    std::vector<uint8_t> object(data, data + size);
    if (ConvertObjectRecord(object, ByteOrder::ToHost, cv, nullptr) == kStackOk) {
        std::vector<uint8_t> back = object;
        if (ConvertObjectRecord(back, ByteOrder::ToFile, cv, nullptr) != kStackOk ||
            ConvertObjectRecord(back, ByteOrder::ToHost, cv, nullptr) != kStackOk)
            Broken("an object that was read does not round-trip");
    }
    for (uint32_t type : {ResType("Actn"), ResType("Hlnk"), ResType("NBAs")}) {
        std::vector<uint8_t> bytes(data, data + size);
        if (SwapResourceDataBytes(type, bytes, ByteOrder::ToHost, cv, nullptr) == kStackOk)
            ResourceRoundTrip(type, bytes, macRoman);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    const bool macRoman = size > 0 && (data[0] & 0x80) != 0;
    const int handlesBefore = MemRefsCount();

    StackConversion cv;
    SpanByteSource source(std::span<const uint8_t>(data, size));
    StackFileContents contents;
    StackOpenQuestions questions;
    questions.minCardWidth = 1 + (size > 1 ? data[1] : 0) % 128;  // the size question both ways
    questions.confirmSmallCards = [](void* answer) { return *static_cast<const bool*>(answer); };
    bool answer = macRoman;
    questions.context = &answer;
    StackReadResult result = ReadStackFile(source, cv, contents, questions);
    if (result.ok()) {
        for (Handle card : contents.cards)
            CardRoundTrip(HandleToBytes(card), macRoman || StackTextIsMacRoman(cv));
        for (const ResEntry& entry : CopyResEntries(contents.resFile)) {
            if (entry.data && !entry.raw)
                ResourceRoundTrip(entry.type, HandleToBytes(entry.data), macRoman);
            if (entry.raw && entry.data &&
                HandleToBytes(entry.data) != std::vector<uint8_t>(data + entry.filePosition + kResEntryHeaderBytes,
                                                                data + entry.filePosition + kResEntryHeaderBytes + entry.dataLength))
                Broken("raw resource data is not the stored bytes");
        }
    } else if (contents.header || !contents.cards.empty() || contents.resFile) {
        Broken("a refused stack left records behind");
    } else if (result.alertId == 0) {
        Broken("a refusal names no alert");
    }
    // The stack report describes what was read, graphic pictures and masks decoded.
    (void)DescribeStackJson(std::span<const uint8_t>(data, size), result, contents, cv);
    DisposeStackFileContents(contents);

    ConvertAlone(data, size, macRoman);
    if (MemRefsCount() != handlesBefore)
        Broken("handles leaked");
    return 0;
}
