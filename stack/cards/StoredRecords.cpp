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

struct StoredRecords {
    uint32_t session = 0;  // of the stack the records belong to
    int depth = 0;  // of the records' file bytes
    std::vector<StoredRecord> records;
} g_stored;

uint32_t OpenSession() { return CurrentStackIdentity().session; }

// The record kept for a card of the open stack; what another stack kept counts for nothing.
const StoredRecord* Kept(Handle card) {
    if (g_stored.session != OpenSession())
        return nullptr;
    const auto found = std::find_if(g_stored.records.begin(), g_stored.records.end(),
                                    [&](const StoredRecord& r) { return r.card == card; });
    return found == g_stored.records.end() ? nullptr : &*found;
}

}  // namespace

void NoteRecordsAsRead(std::span<const Handle> cards, std::vector<std::vector<uint8_t>> fileBytes, int fileDepth) {
    g_stored.records.clear();
    g_stored.session = OpenSession();
    g_stored.depth = fileDepth;
    for (size_t i = 0; i < cards.size() && i < fileBytes.size(); ++i)
        if (cards[i] && !fileBytes[i].empty())
            g_stored.records.push_back({cards[i], std::move(fileBytes[i]), HandleToBytes(cards[i])});
}

RecordWriter BeginWritingRecords(int depth) {
    RecordWriter writer;
    writer.session_ = OpenSession();
    writer.depth_ = depth;
    // A stack read at another depth (16 colours, held at the display's) writes its records anew.
    const bool sameDepth = depth != 0 && depth == g_stored.depth;
    writer.sameDepth_ = sameDepth;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        std::vector<uint8_t> now = HandleToBytes(card);
        // A handle given back and taken again holds another record: it differs too.
        const StoredRecord* r = Kept(card);
        if (sameDepth && r && now == r->read)
            writer.asStored_.push_back(card);
        writer.next_.push_back({card, {}, std::move(now)});
    }
    return writer;
}

const std::vector<uint8_t>* RecordWriter::StoredFileBytes(Handle card) const {
    if (std::find(asStored_.begin(), asStored_.end(), card) == asStored_.end())
        return nullptr;
    const StoredRecord* r = Kept(card);
    return r ? &r->file : nullptr;
}

uint32_t RecordWriter::FileRecordLength(Handle card, uint32_t hostLength) const {
    const std::vector<uint8_t>* stored = StoredFileBytes(card);
    return stored ? static_cast<uint32_t>(stored->size()) : hostLength;
}

void RecordWriter::KeepStoredObjects(Handle card, std::vector<uint8_t>& file) const {
    if (!sameDepth_)
        return;
    const StoredRecord* r = Kept(card);
    const auto now = std::find_if(next_.begin(), next_.end(), [&](const WrittenRecord& w) { return w.card == card; });
    if (r && now != next_.end())
        KeepUnchangedObjects(r->file, r->read, now->read, file);
}

void RecordWriter::NoteRecordWritten(Handle card, std::span<const uint8_t> bytes) {
    const auto found = std::find_if(next_.begin(), next_.end(), [&](const WrittenRecord& r) { return r.card == card; });
    if (found != next_.end())
        found->file.assign(bytes.begin(), bytes.end());
}

void EndWritingRecords(RecordWriter&& writer, bool written) {
    if (!written || writer.session_ != OpenSession())
        return;
    std::erase_if(writer.next_, [](const WrittenRecord& r) { return r.file.empty(); });
    g_stored.records.clear();
    for (WrittenRecord& r : writer.next_)
        g_stored.records.push_back({r.card, std::move(r.file), std::move(r.read)});
    g_stored.session = writer.session_;
    g_stored.depth = writer.depth_;
}
