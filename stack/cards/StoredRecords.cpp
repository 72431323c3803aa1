// Card records as the stack's file holds them (see the header).
#include "stack/cards/StoredRecords.h"

#include <algorithm>
#include <utility>

#include "stack/StackOpenSession.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

struct StoredRecord {
    Handle card = 0;
    std::vector<uint8_t> file;  // as the file holds it
    std::vector<uint8_t> read;  // as it was read and brought to the display
};

// A save under way: the records written as stored, and what each record held when it began.
struct SaveUnderWay {
    bool on = false;
    int depth = 0;  // the file's
    bool sameDepth = false;  // the records' file bytes are at the file's depth
    std::vector<Handle> asStored;
    std::vector<StoredRecord> next;
};

struct StoredRecords {
    uint32_t session = 0;
    int depth = 0;  // of the records' file bytes
    std::vector<StoredRecord> records;
    SaveUnderWay save;
} g_stored;

// What another stack kept goes with it.
std::vector<StoredRecord>& Records() {
    const uint32_t session = CurrentStackIdentity().session;
    if (g_stored.session != session) {
        g_stored.records.clear();
        g_stored.save = {};
        g_stored.session = session;
    }
    return g_stored.records;
}

StoredRecord* Find(std::vector<StoredRecord>& records, Handle card) {
    const auto found = std::find_if(records.begin(), records.end(), [&](const StoredRecord& r) { return r.card == card; });
    return found == records.end() ? nullptr : &*found;
}

}  // namespace

void NoteRecordsAsRead(std::span<const Handle> cards, std::vector<std::vector<uint8_t>> fileBytes, int fileDepth) {
    std::vector<StoredRecord>& records = Records();
    records.clear();
    g_stored.depth = fileDepth;
    for (size_t i = 0; i < cards.size() && i < fileBytes.size(); ++i)
        if (cards[i] && !fileBytes[i].empty())
            records.push_back({cards[i], std::move(fileBytes[i]), HandleToBytes(cards[i])});
}

void BeginWritingRecords(int depth) {
    // A stack read at another depth (16 colours, held at the display's) writes its records anew.
    const bool sameDepth = depth != 0 && depth == g_stored.depth;
    std::vector<StoredRecord>& records = Records();
    g_stored.save = {};
    g_stored.save.on = true;
    g_stored.save.depth = depth;
    g_stored.save.sameDepth = sameDepth;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        std::vector<uint8_t> now = HandleToBytes(card);
        // A handle given back and taken again holds another record: it differs too.
        const StoredRecord* r = Find(records, card);
        if (sameDepth && r && now == r->read)
            g_stored.save.asStored.push_back(card);
        g_stored.save.next.push_back({card, {}, std::move(now)});
    }
}

const std::vector<uint8_t>* StoredFileBytes(Handle card) {
    if (!g_stored.save.on)
        return nullptr;
    std::vector<StoredRecord>& records = Records();
    if (std::find(g_stored.save.asStored.begin(), g_stored.save.asStored.end(), card) == g_stored.save.asStored.end())
        return nullptr;
    const StoredRecord* r = Find(records, card);
    return r ? &r->file : nullptr;
}

uint32_t FileRecordLength(Handle card, uint32_t hostLength) {
    const std::vector<uint8_t>* stored = StoredFileBytes(card);
    return stored ? static_cast<uint32_t>(stored->size()) : hostLength;
}

void KeepStoredObjects(Handle card, std::vector<uint8_t>& file) {
    if (!g_stored.save.on || !g_stored.save.sameDepth)
        return;
    const StoredRecord* r = Find(Records(), card);
    const StoredRecord* now = Find(g_stored.save.next, card);
    if (r && now)
        KeepUnchangedObjects(r->file, r->read, now->read, file);
}

void NoteRecordWritten(Handle card, std::span<const uint8_t> bytes) {
    if (!g_stored.save.on)
        return;
    Records();
    if (StoredRecord* r = Find(g_stored.save.next, card))
        r->file.assign(bytes.begin(), bytes.end());
}

void EndWritingRecords(bool written) {
    if (!g_stored.save.on)
        return;
    std::vector<StoredRecord>& records = Records();
    if (written) {
        std::erase_if(g_stored.save.next, [](const StoredRecord& r) { return r.file.empty(); });
        records = std::move(g_stored.save.next);
        g_stored.depth = g_stored.save.depth;
    }
    g_stored.save = {};
}
