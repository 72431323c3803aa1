// Card records: a 96-byte header, for kind 1 a picture block, the object records, and the
// trailer 00 00 FA CE. A card read from a file is checked whole before any of it is converted;
// inside a card that passed, a bad object is left out rather than refusing the card.
#include <algorithm>
#include <cstring>
#include <utility>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

constexpr uint32_t kCardWords[] = {kCardId, kCardKind, kCardBackgroundId, kCardFlags,
                                   kCardMenuBar, kCardDepth, kCardWidth, kCardHeight,
                                   kCardAction1, kCardAction2, kCardAction3, kCardCursor,
                                   kCardWord56};


bool IsCardKind(uint16_t kind) {
    return kind == kCardKindPlain || kind == kCardKindPicture || kind == kCardKindShared;
}

void SwapCardHeader(std::span<uint8_t> card) {
    for (uint32_t offset : kCardWords)
        SwapField16(card, offset);
    SwapField32(card, kCardLength);
    // The card name is kept as stored; only its length byte is held to the field.
    if (card[kCardName] > kCardNameBytes - 1)
        card[kCardName] = kCardNameBytes - 1;
}

// The picture block header (and, for the packed format, the run header's two byte counts).
// `format` and `tableSize` are the host-order values.
void SwapPictureBlock(std::span<uint8_t> block, uint16_t format, uint32_t tableSize) {
    SwapField16(block, kBlockWord0);
    SwapField16(block, kBlockFormat);
    SwapField16(block, kBlockFlags);
    SwapField32(block, kBlockLength);
    SwapField32(block, kBlockTableSize);
    if (format == kPictureFormatPacked) {
        size_t run = size_t{kPictureBlockHeaderBytes} + tableSize;
        SwapField32(block, run + kRunLeadCount);
        SwapField32(block, run + kRunTrailCount);
    }
}

// One step of the walk over an object list, in the byte order the record is in (ToHost: the
// record is still in file order): the kind and length of the object at pos, which must have an
// even length of at least its kind's header and end before `end`. A 0 kind is the list's end.
enum class ObjectStep { Object, End, Broken };
ObjectStep ReadObjectStep(std::span<const uint8_t> rec, size_t pos, size_t end, ByteOrder order,
                          uint16_t& kind, uint32_t& length) {
    const bool fileOrder = order == ByteOrder::ToHost;
    kind = 0;
    length = 0;
    if (end - pos < 2)
        return ObjectStep::Broken;
    kind = fileOrder ? GetBE16(rec, pos) : GetU16(rec, pos);
    if (kind == 0)
        return ObjectStep::End;
    if (end - pos < kObjectCommonBytes)
        return ObjectStep::Broken;
    length = fileOrder ? GetBE32(rec, pos + kObjectLength) : GetU32(rec, pos + kObjectLength);
    if ((length & 1) || length < ObjectHeaderBytes(kind) || length > end - pos)
        return ObjectStep::Broken;
    return ObjectStep::Object;
}

void LogDrop(DropLog* drops, uint32_t offset, std::string what, const char* reason) {
    if (drops)
        drops->push_back({offset, std::move(what), reason ? reason : ""});
}

std::string ObjectName(uint16_t kind, uint16_t id) {
    return "object kind " + std::to_string(kind) + " id " + std::to_string(id);
}

int CardToHost(std::vector<uint8_t>& rec, StackConversion& cv, DropLog* drops, uint32_t fileOffset) {
    if (CheckCardRecord(rec))
        return kStackDamaged;
    const size_t end = rec.size() - kCardTrailerBytes;
    std::vector<uint8_t> out(rec.begin(), rec.begin() + kCardHeaderBytes);
    SwapCardHeader(out);
    size_t pos = kCardHeaderBytes;
    if (GetU16(out, kCardKind) == kCardKindPicture) {
        const uint32_t blockLength = GetBE32(rec, kPictureBlockOffset + kBlockLength);
        out.insert(out.end(), rec.begin() + kPictureBlockOffset,
                   rec.begin() + kPictureBlockOffset + blockLength);
        std::span<uint8_t> block(out.data() + kPictureBlockOffset, blockLength);
        SwapPictureBlock(block, GetBE16(block, kBlockFormat), GetBE32(block, kBlockTableSize));
        pos += blockLength;
    }
    GetConvertedTextFlag(out, cv);

    while (pos < end) {
        const uint32_t at = fileOffset + static_cast<uint32_t>(pos);
        uint16_t kind = 0;
        uint32_t length = 0;
        const ObjectStep step = ReadObjectStep(rec, pos, end, ByteOrder::ToHost, kind, length);
        if (step == ObjectStep::End) {
            if (end - pos > 2)
                LogDrop(drops, at + 2, "bytes after the object list", "data after the end mark");
            break;
        }
        if (step == ObjectStep::Broken) {
            // The next object cannot be found: the list ends here.
            if (end - pos < 2)
                LogDrop(drops, at, "object list", "object list runs into the trailer");
            else
                LogDrop(drops, at, ObjectName(kind, GetBE16(rec, pos + kObjectId)) + " and the objects after it",
                        "object length odd, shorter than its header or past the card");
            break;
        }
        std::vector<uint8_t> object(rec.begin() + static_cast<std::ptrdiff_t>(pos),
                                    rec.begin() + static_cast<std::ptrdiff_t>(pos + length));
        const char* reason = nullptr;
        if (ConvertObjectRecord(object, ByteOrder::ToHost, cv, &reason) == kStackOk)
            out.insert(out.end(), object.begin(), object.end());
        else
            LogDrop(drops, at, ObjectName(kind, GetBE16(rec, pos + kObjectId)), reason);
        pos += length;
    }
    out.insert(out.end(), std::begin(kCardTrailer), std::end(kCardTrailer));
    SetU32(out, kCardLength, static_cast<uint32_t>(out.size()));
    rec.swap(out);
    return kStackOk;
}

int CardToFile(std::vector<uint8_t>& rec, StackConversion& cv) {
    if (rec.size() < kMinCardRecordBytes || GetU32(rec, kCardLength) != rec.size() ||
        !IsCardKind(GetU16(rec, kCardKind)))
        return kStackDamaged;
    const size_t end = rec.size() - kCardTrailerBytes;
    GetConvertedTextFlag(rec, cv);
    std::vector<uint8_t> out(rec.begin(), rec.begin() + kCardHeaderBytes);
    size_t pos = kCardHeaderBytes;
    if (GetU16(rec, kCardKind) == kCardKindPicture) {
        if (end - pos < kPictureBlockHeaderBytes)
            return kStackDamaged;
        const uint32_t blockLength = GetU32(rec, kPictureBlockOffset + kBlockLength);
        const uint32_t tableSize = GetU32(rec, kPictureBlockOffset + kBlockTableSize);
        const uint16_t format = GetU16(rec, kPictureBlockOffset + kBlockFormat);
        if (blockLength < kPictureBlockHeaderBytes || blockLength > end - pos ||
            tableSize > blockLength - kPictureBlockHeaderBytes ||
            (format == kPictureFormatPacked &&
             kRunHeaderBytes > blockLength - kPictureBlockHeaderBytes - tableSize))
            return kStackDamaged;
        out.insert(out.end(), rec.begin() + kPictureBlockOffset,
                   rec.begin() + kPictureBlockOffset + blockLength);
        SwapPictureBlock(std::span<uint8_t>(out.data() + kPictureBlockOffset, blockLength), format,
                         tableSize);
        pos += blockLength;
    }
    SwapCardHeader(out);

    while (pos < end) {
        uint16_t kind = 0;
        uint32_t length = 0;
        const ObjectStep step = ReadObjectStep(rec, pos, end, ByteOrder::ToFile, kind, length);
        if (step == ObjectStep::End)
            break;
        if (step == ObjectStep::Broken)
            return kStackDamaged;
        std::vector<uint8_t> object(rec.begin() + static_cast<std::ptrdiff_t>(pos),
                                    rec.begin() + static_cast<std::ptrdiff_t>(pos + length));
        if (ConvertObjectRecord(object, ByteOrder::ToFile, cv, nullptr) != kStackOk)
            return kStackDamaged;
        out.insert(out.end(), object.begin(), object.end());
        pos += length;
    }
    out.insert(out.end(), std::begin(kCardTrailer), std::end(kCardTrailer));
    SetBE32(out, kCardLength, static_cast<uint32_t>(out.size()));
    if (CheckCardRecord(out))
        return kStackDamaged;
    rec.swap(out);
    return kStackOk;
}

}  // namespace

Handle NewHandleWithEndMark(uint32_t n) {
    if (n > 0xFFFFFFFFu - 2)
        return 0;
    Handle h = NewHandle(n + 2);
    HandleLock lock(h);
    if (!lock) {
        DisposeHandle(h);
        return 0;
    }
    lock.get()[n] = 0xFA;
    lock.get()[n + 1] = 0xCE;
    return h;
}

const char* CheckCardRecord(std::span<const uint8_t> rec) {
    const size_t size = rec.size();
    if (size < kMinCardRecordBytes)
        return "card record shorter than 100 bytes";
    if (GetBE32(rec, kCardLength) != size)
        return "card record length differs from its bytes";
    if (std::memcmp(rec.data() + size - kCardTrailerBytes, kCardTrailer, kCardTrailerBytes) != 0)
        return "card record does not end with 00 00 FA CE";
    const uint16_t kind = GetBE16(rec, kCardKind);
    if (!IsCardKind(kind))
        return "card kind not 0, 1 or 3";
    if (kind != kCardKindPicture)
        return nullptr;

    const size_t room = size - kCardHeaderBytes - kCardTrailerBytes;  // for block and objects
    if (room < kPictureBlockHeaderBytes)
        return "picture block header past the card";
    std::span<const uint8_t> header = rec.subspan(kPictureBlockOffset, kPictureBlockHeaderBytes);
    const uint32_t blockLength = GetBE32(header, kBlockLength);
    const uint32_t tableSize = GetBE32(header, kBlockTableSize);
    const uint32_t pad = (GetBE16(header, kBlockFlags) & kPicturePadFlag) ? 1 : 0;
    if (blockLength < kPictureBlockHeaderBytes || blockLength > room)
        return "picture block length outside the card";
    const uint32_t data = blockLength - kPictureBlockHeaderBytes;  // table, picture, pad
    if (tableSize > data || pad > data - tableSize)
        return "colour table size outside the picture block";
    if (tableSize != 0) {
        std::span<const uint8_t> table = rec.subspan(kPictureTableOffset, tableSize);
        if (tableSize < 8)
            return "colour table shorter than its header";
        uint32_t count = uint32_t{GetBE16(table, kMacColorTableCount)} + 1;
        if (count > kMaxColorTableEntries)
            return "colour table of more than 256 entries";
        if (8 + count * 8 > tableSize)
            return "colour table entries past its size";
    }
    if (GetBE16(header, kBlockFormat) == kPictureFormatPacked) {
        const uint32_t packed = data - tableSize - pad;
        if (packed < kRunHeaderBytes)
            return "run header past the picture block";
        const uint32_t stream = packed - kRunHeaderBytes;
        if (stream > 0) {
            const uint8_t flag = rec[kPictureTableOffset + tableSize + kRunHeaderBytes];
            if (stream < 4 || flag > 1)
                return "damaged LZRW1 stream";
        }
    }
    return nullptr;
}

uint32_t CardObjectsOffsetIn(std::span<const uint8_t> card) {
    if (GetU16(card, kCardKind) == kCardKindPicture)
        return kCardHeaderBytes + GetU32(card, kPictureBlockOffset + kBlockLength);
    return kCardHeaderBytes;
}

uint32_t CardObjectsOffset(Handle card) {
    HandleLock lock(card);
    if (!lock)
        return kCardHeaderBytes;
    return CardObjectsOffsetIn(lock.bytes());
}

int SwapCardRecordBytes(std::vector<uint8_t>& record, ByteOrder order, StackConversion& cv,
                        DropLog* drops, uint32_t fileOffset) {
    return order == ByteOrder::ToHost ? CardToHost(record, cv, drops, fileOffset)
                                      : CardToFile(record, cv);
}

int SwapCardRecord(Handle card, ByteOrder order, StackConversion& cv, DropLog* drops) {
    if (!IsValidHandle(card))
        return kStackNoMemory;
    std::vector<uint8_t> bytes = HandleToBytes(card);
    const int result = SwapCardRecordBytes(bytes, order, cv, drops);
    if (result != kStackOk)
        return result;
    return SetHandleBytes(card, bytes) == 0 ? kStackOk : kStackNoMemory;
}

namespace {

struct ListedObject {
    uint16_t kind = 0, id = 0;
    uint32_t offset = 0, length = 0;
};

// The objects of a card record in either order (ToHost: the record is in file order).
std::vector<ListedObject> ListObjects(std::span<const uint8_t> rec, ByteOrder order) {
    std::vector<ListedObject> list;
    const bool fileOrder = order == ByteOrder::ToHost;
    if (rec.size() < kMinCardRecordBytes)
        return list;
    size_t pos = kCardHeaderBytes;
    if ((fileOrder ? GetBE16(rec, kCardKind) : GetU16(rec, kCardKind)) == kCardKindPicture) {
        const uint32_t block = fileOrder ? GetBE32(rec, kPictureBlockOffset + kBlockLength)
                                         : GetU32(rec, kPictureBlockOffset + kBlockLength);
        if (block > rec.size() - kCardTrailerBytes - pos)
            return list;
        pos += block;
    }
    const size_t end = rec.size() - kCardTrailerBytes;
    uint16_t kind = 0;
    uint32_t length = 0;
    while (pos < end && ReadObjectStep(rec, pos, end, order, kind, length) == ObjectStep::Object) {
        const uint16_t id = fileOrder ? GetBE16(rec, pos + kObjectId) : GetU16(rec, pos + kObjectId);
        list.push_back({kind, id, static_cast<uint32_t>(pos), length});
        pos += length;
    }
    return list;
}

// The one object of that kind and id; null when there is none or more than one.
const ListedObject* OnlyObject(const std::vector<ListedObject>& list, uint16_t kind, uint16_t id) {
    const ListedObject* found = nullptr;
    for (const ListedObject& o : list)
        if (o.kind == kind && o.id == id) {
            if (found)
                return nullptr;
            found = &o;
        }
    return found;
}

std::span<const uint8_t> BytesOf(std::span<const uint8_t> rec, const ListedObject& o) {
    return rec.subspan(o.offset, o.length);
}

}  // namespace

int KeepUnchangedObjects(std::span<const uint8_t> stored, std::span<const uint8_t> read,
                         std::span<const uint8_t> now, std::span<uint8_t> file) {
    const std::vector<ListedObject> storedList = ListObjects(stored, ByteOrder::ToHost);
    const std::vector<ListedObject> readList = ListObjects(read, ByteOrder::ToFile);
    const std::vector<ListedObject> nowList = ListObjects(now, ByteOrder::ToFile);
    const std::vector<ListedObject> fileList = ListObjects(file, ByteOrder::ToHost);
    if (nowList.size() != fileList.size())
        return 0;
    int kept = 0;
    for (size_t i = 0; i < nowList.size(); ++i) {
        const ListedObject& n = nowList[i];
        const ListedObject& f = fileList[i];
        const ListedObject* r = OnlyObject(readList, n.kind, n.id);
        const ListedObject* s = OnlyObject(storedList, n.kind, n.id);
        if (f.kind != n.kind || f.id != n.id || !r || !s || s->length != f.length)
            continue;
        const std::span<const uint8_t> nowBytes = BytesOf(now, n), readBytes = BytesOf(read, *r);
        if (!std::equal(nowBytes.begin(), nowBytes.end(), readBytes.begin(), readBytes.end()))
            continue;
        const std::span<const uint8_t> storedBytes = BytesOf(stored, *s);
        std::copy(storedBytes.begin(), storedBytes.end(), file.begin() + f.offset);
        ++kept;
    }
    return kept;
}
