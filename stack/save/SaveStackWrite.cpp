// The header and the card records of a stack as the file holds them, written through the
// save buffer.
#include <cstring>

#include "core/memory/ByteReader.h"
#include "core/files/SaveBuffer.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/cards/StoredRecords.h"
#include "format/ResFileAccess.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"

namespace {

// Removes the objects marked deleted from one record.
void DropDeletedObjects(Handle card) {
    for (;;) {
        uint32_t marked = 0;
        {
            HandleLock lock(card);
            if (!lock)
                return;
            CardObjectWalk walk(lock.bytes());
            ObjectPlace place;
            while (walk.Next(place))
                if (place.flags & kObjectDeletedFlag) {
                    marked = place.offset;
                    break;
                }
        }
        if (marked == 0 || RemoveObjectRecord(card, marked) != 0)
            return;
    }
}

}  // namespace

void DropDeletedRecords() {
    KeepOneLiveCard();
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        if (IsCardDeleted(card) && GetCardKind(card) != kCardKindShared && HasBackgroundRecord(card))
            SwitchCardBackgroundMode(card);
    }
    for (int i = CountCards(); i >= 1; --i)
        if (IsCardDeleted(GetCardByIndex(i)))
            if (const Handle card = TakeCardRecordAt(i)) {
                FreeCardTestingAnswer(card);
                DisposeHandle(card);
            }
    for (int i = 1; i <= CountCards(); ++i)
        DropDeletedObjects(GetCardByIndex(i));
    SetCardCount(CountCards());
}

StackConversion SaveConversion(const char* stackPath) {
    if (const Handle file = FindResFile(GetStackResFile())) {
        ResFileAccess access(file);
        if (access) {
            StackConversion cv = access.file()->conversion;
            cv.pathsCut = 0;  // this save's own count
            return cv;
        }
    }
    StackConversion cv;
    cv.verticalDpi = ResourceScreenDpi();
    if (stackPath && stackPath[0] && stackPath[1] == ':' && stackPath[2] == '\\')
        cv.stackDrive[0] = stackPath[0];
    return cv;
}

std::vector<uint8_t> StackHeaderFileBytes(uint32_t resourceOffset, StackConversion& cv) {
    std::vector<uint8_t> header = HandleToBytes(GetStackHeaderHandle());
    if (header.size() < kStackHeaderBytes)
        return {};
    header.resize(kStackHeaderBytes);
    uint32_t count = 0;
    uint32_t nextId = 1;
    if (const Handle file = FindResFile(GetStackResFile())) {
        ResFileAccess access(file);
        if (access) {
            // The entries written: the table drops its deleted ones only once the file is in place.
            for (const ResEntry& e : access.entries())
                count += (e.attributes & kResDeleted) ? 0 : 1;
            // A counter that never moved in this session keeps the number the file carried.
            nextId = access.file()->nextId != 0 ? access.file()->nextId : GetU32(header, kHeaderNextResourceId);
        }
    }
    SetU16(header, kHeaderCardCount, static_cast<uint16_t>(CountCards()));
    SetU32(header, kHeaderResourceOffset, resourceOffset);
    SetU32(header, kHeaderResourceCount, count);
    SetU32(header, kHeaderNextResourceId, nextId);
    if (!SwapStackHeader(header, ByteOrder::ToFile, cv))
        return {};
    return header;
}

bool CardRecordFileBytes(Handle card, StackConversion& cv, std::vector<uint8_t>& out) {
    out = HandleToBytes(card);
    if (out.size() < kMinCardRecordBytes)
        return false;
    // The answer handle is this run's: a file keeps none.
    ZeroTestingAnswerField(out);
    const size_t size = out.size();
    // The file's length field is the record's; a record kept at another size would move the
    // resource area away from where the header says it is.
    return SwapCardRecordBytes(out, ByteOrder::ToFile, cv, nullptr) == kStackOk && out.size() == size;
}

int WriteStackHeader(FileRef file, uint32_t resourceOffset, Handle buffer, StackConversion& cv) {
    const std::vector<uint8_t> header = StackHeaderFileBytes(resourceOffset, cv);
    if (header.empty())
        return kStackDamaged;
    return WriteResourceData(file, kStackHeaderBytes, header.data(), buffer);
}

int WriteStackFile(FileRef file, uint32_t resourceOffset, Handle buffer, StackConversion& cv, RecordWriter& records) {
    int err = FileSeek(file, kSeekStart, 0);
    if (err != kFileOk)
        return err;
    uint64_t written = 0;
    err = WriteStackHeader(file, resourceOffset, buffer, cv);
    written += kStackHeaderBytes;
    std::vector<uint8_t> record;
    for (int i = 1; err == kFileOk && i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        // A record nobody edited goes out as the file held it.
        if (const std::vector<uint8_t>* stored = records.StoredFileBytes(card))
            record = *stored;
        else if (!CardRecordFileBytes(card, cv, record))
            return kStackDamaged;
        else
            records.KeepStoredObjects(card, record);
        records.NoteRecordWritten(card, record);
        err = WriteResourceData(file, static_cast<uint32_t>(record.size()), record.data(), buffer);
        written += record.size();
    }
    if (err != kFileOk)
        return err;
    if (written != resourceOffset)
        return kStackDamaged;  // the cards would not end where the resource area begins
    if (!buffer)
        return kFileOk;
    auto position = static_cast<int32_t>(written - WriteBufferHeld(buffer));
    return FlushWriteBuffer(buffer, false, file, kSeekStart, &position);
}
