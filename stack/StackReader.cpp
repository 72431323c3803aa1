// Reading a stack file through a ByteSource: header, cards, resource area.
#include "stack/StackReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/ByteReader.h"

namespace {

StackReadResult Refuse(int alertId, std::string reason) {
    return {kStackRefused, alertId, std::move(reason)};
}

StackReadResult Failed(std::string reason) { return {kStackNoMemory, 0, std::move(reason)}; }

// Reads count bytes into a handle's data.
bool ReadIntoHandle(ByteSource& source, uint32_t offset, Handle h) {
    HandleLock lock(h);
    if (!lock)
        return false;
    return source.ReadAt(offset, std::span<uint8_t>(lock.get(), GetHandleSize(h)));
}

void LogDrop(DropLog* drops, uint32_t offset, std::string what, const char* reason) {
    if (drops)
        drops->push_back({offset, std::move(what), reason ? reason : ""});
}

std::string EntryName(const ResourceEntryInfo& e) {
    std::string type;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>(e.type >> shift);
        type += (c >= 32 && c < 127) ? c : '?';
    }
    return "resource '" + type + "' " + std::to_string(e.id);
}

}  // namespace

SpanByteSource::SpanByteSource(std::span<const uint8_t> bytes)
    : bytes_(bytes.first(std::min<size_t>(bytes.size(), 0xFFFFFFFFu))),
      size_(static_cast<uint32_t>(bytes_.size())) {}

bool SpanByteSource::ReadAt(uint32_t offset, std::span<uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset)
        return false;
    if (!out.empty())
        std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return true;
}

FileByteSource::FileByteSource(FileRef file) : file_(file), size_(0) {
    int32_t length = FileGetLength(file);
    size_ = length > 0 ? static_cast<uint32_t>(length) : 0;
}

bool FileByteSource::ReadAt(uint32_t offset, std::span<uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset)
        return false;
    if (out.empty())
        return true;
    return FileReadAt(file_, offset, static_cast<uint32_t>(out.size()), out.data()) == kFileOk;
}

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

int LoadResourceEntryData(ByteSource& source, ResourceEntryInfo& entry, const StackConversion& cv,
                          const char** reason) {
    Handle h = NewHandle(entry.dataLength);
    if (!h)
        return kStackNoMemory;
    if (!ReadIntoHandle(source, entry.filePosition + kResEntryHeaderBytes, h)) {
        DisposeHandle(h);
        if (reason)
            *reason = "resource data could not be read";
        return kStackDamaged;
    }
    int result = SwapResourceData(entry.type, h, ByteOrder::ToHost, cv, reason);
    if (result != kStackOk) {
        DisposeHandle(h);
        return result;
    }
    entry.data = h;
    entry.dataLength = GetHandleSize(h);
    return kStackOk;
}

int ReadResourceArea(ByteSource& source, uint32_t offset, uint32_t count, const StackConversion& cv,
                     bool loadData, std::vector<ResourceEntryInfo>& entries, DropLog* drops) {
    const uint32_t size = source.Size();
    uint64_t pos = offset;
    for (uint32_t i = 0; i < count; ++i) {
        if (pos > size || size - pos < kResEntryHeaderBytes) {
            LogDrop(drops, static_cast<uint32_t>(std::min<uint64_t>(pos, size)),
                    "resource entries " + std::to_string(i + 1) + " to " + std::to_string(count),
                    "entry header past the end of the file");
            break;
        }
        uint8_t header[kResEntryHeaderBytes];
        if (!source.ReadAt(static_cast<uint32_t>(pos), header))
            return kStackNoMemory;
        ResourceEntryInfo entry;
        const char* fault = ReadResourceEntryHeader(header, static_cast<uint32_t>(pos), size, entry);
        const uint64_t next = pos + kResEntryHeaderBytes + entry.paddedLength;
        if (fault) {
            LogDrop(drops, static_cast<uint32_t>(pos), EntryName(entry), fault);
            if (next > size)
                break;  // the next entry cannot be found
            pos = next;
            continue;
        }
        const bool live = (entry.attributes & kResDeleted) == 0;
        if (loadData && live && entry.dataLength != 0) {
            const char* reason = nullptr;
            int result = LoadResourceEntryData(source, entry, cv, &reason);
            if (result == kStackNoMemory)
                return kStackNoMemory;
            if (result != kStackOk) {
                LogDrop(drops, static_cast<uint32_t>(pos), EntryName(entry), reason);
                pos = next;
                continue;
            }
        }
        entries.push_back(entry);
        pos = next;
    }
    return kStackOk;
}

StackReadResult ReadStackFile(ByteSource& source, StackConversion& cv, StackFileContents& contents,
                              bool loadResourceData) {
    contents = StackFileContents{};
    StackReadResult result = ReadStackHeader(source, cv, &contents.header);
    if (!result.ok())
        return result;
    uint16_t cardCount;
    uint32_t resourceOffset, resourceCount;
    int refusal;
    {
        HandleLock lock(contents.header);
        std::span<const uint8_t> h(lock.get(), kStackHeaderBytes);
        cardCount = GetU16(h, kHeaderCardCount);
        resourceOffset = GetU32(h, kHeaderResourceOffset);
        resourceCount = GetU32(h, kHeaderResourceCount);
        refusal = StackHeaderRefusal(h);
    }
    if (refusal) {
        DisposeStackFileContents(contents);
        return Refuse(refusal, "header: refused by its depth or version");
    }
    uint8_t counter[2];
    if (source.ReadAt(kHeaderNextResourceId, counter))
        contents.resourceIdCounter = GetBE16(counter, 0);

    uint32_t pos = kStackHeaderBytes;
    for (uint16_t i = 0; i < cardCount; ++i) {
        Handle card;
        uint32_t length;
        result = ReadCardRecordAt(source, pos, cv, &card, &length, &contents.drops);
        if (!result.ok()) {
            DisposeStackFileContents(contents);
            result.reason = "card " + std::to_string(i + 1) + " at " + std::to_string(pos) + ": " +
                            result.reason;
            return result;
        }
        contents.cards.push_back(card);
        contents.cardOffsets.push_back(pos);
        pos += length;
    }
    if (ReadResourceArea(source, resourceOffset, resourceCount, cv, loadResourceData,
                         contents.resources, &contents.drops) != kStackOk) {
        DisposeStackFileContents(contents);
        return Failed("no memory for the resource area");
    }
    return {};
}

void DisposeStackFileContents(StackFileContents& contents) {
    DisposeHandleAndClear(&contents.header);
    for (Handle& card : contents.cards)
        DisposeHandleAndClear(&card);
    for (ResourceEntryInfo& entry : contents.resources)
        DisposeHandleAndClear(&entry.data);
    contents = StackFileContents{};
}
