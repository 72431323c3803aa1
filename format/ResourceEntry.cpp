// Resource entries: the 68-byte entry header and the conversion of resource data by type.
#include <cstring>

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"
#include "format/FormatUpcalls.h"
#include "format/StackFile.h"

namespace {

int Fail(const char** reason, const char* why) {
    if (reason)
        *reason = why;
    return kStackDamaged;
}

void SwapLinkWords(std::span<uint8_t> d) {
    for (uint32_t offset = 0; offset < 8; offset += 2)
        SwapField16(d, offset);
}

int ConvertLink(std::vector<uint8_t>& d, ByteOrder order, const StackConversion& cv,
                const char** reason) {
    if (d.size() < kLinkHeaderBytes)
        return Fail(reason, "link shorter than its header");
    std::span<uint8_t> s(d);
    if (order == ByteOrder::ToHost)
        SwapLinkWords(s);
    const uint32_t textLength = GetU16(s, kLinkTextLength);
    const uint32_t otherLength = GetU16(s, kLinkOtherLength);
    if (textLength > d.size() - kLinkText)
        return Fail(reason, "link text past its data");
    const bool hasButton = GetU16(s, kLinkHasButton) != 0;
    const size_t buttonAt = size_t{kLinkText} + textLength + otherLength;
    if (hasButton) {
        if (buttonAt > d.size())
            return Fail(reason, "link button past its data");
        std::vector<uint8_t> button(d.begin() + static_cast<std::ptrdiff_t>(buttonAt), d.end());
        int result = ConvertActionRecord(button, order, cv, reason);
        if (result != kStackOk)
            return result;
        d.resize(buttonAt);
        d.insert(d.end(), button.begin(), button.end());
        s = std::span<uint8_t>(d);
    }
    // The text moves by one byte between the file's place and memory's; the byte left behind
    // is cleared. It is the text of its field, converted as the field is.
    uint8_t* text = d.data() + kLinkText;
    const bool macRoman = StackTextIsMacRoman(cv);
    if (order == ByteOrder::ToHost) {
        std::memmove(text, text - 1, textLength);
        text[-1] = 0;
        if (macRoman)
            MacToAnsi(text, textLength);
    } else {
        if (macRoman)
            AnsiToMac(text, textLength);
        std::memmove(text - 1, text, textLength);
        text[static_cast<std::ptrdiff_t>(textLength) - 1] = 0;
        SwapLinkWords(s);
    }
    return kStackOk;
}

}  // namespace

const char* ReadResourceEntryHeader(std::span<const uint8_t> header, uint32_t filePosition,
                                    uint32_t fileSize, ResEntry& entry, uint32_t* paddedLength) {
    entry = ResEntry{};
    *paddedLength = 0;
    entry.filePosition = filePosition;
    ByteReader r(header);
    entry.type = r.U32BE();
    entry.id = r.U16BE();
    entry.word6 = r.U16LE();  // kept raw: written back byte for byte
    std::span<const uint8_t> name = r.Bytes(kResNameBytes);
    entry.attributes = r.U32BE();
    entry.dataLength = r.U32BE();
    const uint32_t padded = r.U32BE();
    r.Skip(kResEntryHeaderBytes - (kResPaddedLength + 4));
    if (!r.ok())
        return "entry header past the end of the file";
    *paddedLength = padded;
    std::memcpy(entry.name, name.data(), kResNameBytes);
    if (entry.name[0] > kResNameBytes - 1)
        entry.name[0] = kResNameBytes - 1;
    if (padded < entry.dataLength || padded - entry.dataLength > 3)
        return "padded length not data length + 0..3";
    // The last entry's padding may be missing from the end of the file; its data may not.
    if (uint64_t{filePosition} + kResEntryHeaderBytes + entry.dataLength > fileSize)
        return "resource data past the end of the file";
    return nullptr;
}

bool SwapResourceEntryHeader(std::span<uint8_t> header) {
    if (header.size() < kResEntryHeaderBytes)
        return false;
    SwapField32(header, kResType);
    SwapField16(header, kResId);
    SwapField32(header, kResAttributes);
    SwapField32(header, kResDataLength);
    SwapField32(header, kResPaddedLength);
    if (header[kResName] > kResNameBytes - 1)
        header[kResName] = kResNameBytes - 1;
    return true;
}

int SwapResourceDataBytes(uint32_t type, std::vector<uint8_t>& data, ByteOrder order,
                          const StackConversion& cv, const char** reason) {
    if (type == kActn)
        return ConvertActionRecord(data, order, cv, reason);
    if (type == kHlnk)
        return ConvertLink(data, order, cv, reason);
    if (type == kCrsr) {
        if (!data.empty() && !GetFormatUpcalls().convertIconData(data.data(), static_cast<uint32_t>(data.size()),
                                                                   order == ByteOrder::ToHost ? 0 : 1))
            return Fail(reason, "cursor data of an unknown kind");
        return kStackOk;
    }
    if (type == kNbas) {
        if (order == ByteOrder::ToHost)
            SetU32(data, kNbaInfoPersistent, 0);
        return kStackOk;
    }
    return kStackOk;
}

int SwapResourceData(uint32_t type, Handle data, ByteOrder order, const StackConversion& cv,
                     const char** reason) {
    if (!IsValidHandle(data))
        return kStackNoMemory;
    std::vector<uint8_t> bytes = HandleToBytes(data);
    const int result = SwapResourceDataBytes(type, bytes, order, cv, reason);
    if (result != kStackOk)
        return result;
    return SetHandleBytes(data, bytes) == 0 ? kStackOk : kStackNoMemory;
}
