// Card import from another stack file. The source's header, card records and resource area are
// read only through the stack reader's checks; ids it brings (cards, objects, resources) are
// renumbered against the open stack so the saved stack keeps them unique.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/UiOps.h"
#include "core/ui/ScreenDepth.h"
#include "graphics/palette/PaletteRemap.h"
#include "objects/text/TextLinks.h"
#include "stack/StackPlatform.h"
#include "stack/cards/CardList.h"
#include "stack/depth/StackDepth.h"
#include "authoring/cards/CardImport.h"
#include "authoring/AuthoringUpcalls.h"
#include "authoring/cards/ObjectFile.h"
#include "format/ByteSource.h"
#include "format/CardSizeWords.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "format/StackReader.h"
#include "stack/open/NewStack.h"
#include "stack/StackOpenSession.h"
#include "stack/pictures/CardPictureStore.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

constexpr size_t kReportSize = 500;

// Where an import leaves the person: the card, entered plainly.

struct ImportFailed {};

// The source stack file open for the whole import.
struct Source {
    FileSpec spec = EmptyFileSpec();  // the source stack's file
    FileRef file = kNoFile;
    std::vector<uint8_t> header;  // host order
    StackConversion cv;
    uint32_t resourceOffset = 0;
    ~Source() {
        if (file != kNoFile)
            FileClose(file);
    }
};

uint16_t HeaderWord(uint32_t offset) {
    const Handle header = GetStackHeaderHandle();
    HandleLock lock(header);
    return lock && GetHandleSize(header) >= kStackHeaderBytes ? GetU16({lock.get(), kStackHeaderBytes}, offset) : 0;
}

void SetHeaderWordTo(uint32_t offset, uint16_t value) {
    const Handle header = GetStackHeaderHandle();
    HandleLock lock(header);
    if (lock && GetHandleSize(header) >= kStackHeaderBytes)
        SetU16({lock.get(), kStackHeaderBytes}, offset, value);
}

// The card's id: a collision (or the id 0, which names no card) takes the stack's next card
// id; otherwise the counter moves past the card's own id so a new card never repeats it.
uint16_t NewCardId(uint16_t oldId) {
    uint16_t next = HeaderWord(kHeaderNextCardId);
    if (next == 0)
        next = 1;
    if (oldId == 0 || FindCardById(oldId)) {
        while (FindCardById(next))
            next = static_cast<uint16_t>(next == 0xFFFF ? 1 : next + 1);
        const uint16_t id = next;
        SetHeaderWordTo(kHeaderNextCardId, static_cast<uint16_t>(id == 0xFFFF ? 1 : id + 1));
        return id;
    }
    if (oldId >= next)
        SetHeaderWordTo(kHeaderNextCardId, static_cast<uint16_t>(oldId == 0xFFFF ? 1 : oldId + 1));
    return oldId;
}

bool OpenSource(Source& source) {
    if (OpenFileSpec(&source.spec, kOpenRead, &source.file) != kFileOk) {
        source.file = kNoFile;
        return false;
    }
    FileByteSource bytes(source.file);
    Handle header = 0;
    if (!ReadStackHeader(bytes, source.cv, &header).ok())
        return false;
    source.header = HandleToBytes(header);
    DisposeHandle(header);
    if (source.header.size() < kStackHeaderBytes || StackHeaderRefusal(source.header) != 0)
        return false;
    source.resourceOffset = GetU32(source.header, kHeaderResourceOffset);
    return true;
}

// Each object a fresh id from the stack's counter; the pairs of the card.
std::vector<IdPair> RenumberObjects(std::span<uint8_t> card) {
    std::vector<IdPair> pairs;
    CardObjectWalk walk(card);
    ObjectPlace place;
    while (walk.Next(place)) {
        const uint16_t fresh = NewUniqueObjectId();
        pairs.push_back({place.id, fresh});
        SetU16(card, place.offset + kObjectId, fresh);
    }
    return pairs;
}

uint32_t ActionField(uint16_t kind) {
    return kind == kObjectGraphic ? kGraphicAction : kind == kObjectText ? kTextAction : 0;
}

// The action of an object or card held onto the chain; false when there is none to carry.
bool HoldAction(uint16_t id, Handle* chain, uint16_t ownerKind, uint16_t ownerId) {
    if (id == 0 || !GetResource(kActn, id))
        return false;
    if (HoldObjectResourceCopy(kActn, id, chain, 0, ownerKind, ownerId) != 0)
        return false;
    HeldResource held{};
    {
        HandleLock lock(*chain);
        std::memcpy(&held, lock.get(), sizeof held);
    }
    GatherActionFileResources(held.request.data, chain);
    return true;
}

// Held copies made to be stored more than once keep their data; these are stored once, so
// their data goes into the stack's file.
void MoveHeldDataIntoStack(Handle chain) {
    ForEachHeld(chain, [](HeldResource& held) { held.request.flags &= ~kResRequestCopyData; });
}

// The 'Snd ' copies of a chain in chain order: their ids (before storing: old; after: new).
std::vector<uint16_t> SoundIds(Handle chain) {
    std::vector<uint16_t> ids;
    ForEachHeld(chain, [&ids](const HeldResource& held) {
        if (held.request.type == kSnd)
            ids.push_back(held.request.id);
    });
    return ids;
}

// The card's object id pairs as the copy's remap table while links are gathered: a link of a
// source field is taken by the field's new id. The table in force before comes back after.
class ObjectIdRemap {
public:
    explicit ObjectIdRemap(const std::vector<IdPair>& pairs)
        : previous_(GetColorRemapTable()), previousCount_(GetColorRemapCount()) {
        std::vector<uint8_t> bytes(pairs.size() * sizeof(IdPair));
        if (!bytes.empty())
            std::memcpy(bytes.data(), pairs.data(), bytes.size());
        table_ = NewHandleFromBytes(bytes);
        SetColorRemapTable(table_, static_cast<int16_t>(table_ ? pairs.size() : 0));
    }
    ~ObjectIdRemap() {
        SetColorRemapTable(previous_, previousCount_);
        DisposeHandle(table_);
    }
    ObjectIdRemap(const ObjectIdRemap&) = delete;
    ObjectIdRemap& operator=(const ObjectIdRemap&) = delete;

private:
    Handle previous_;
    int16_t previousCount_;
    Handle table_ = 0;
};

// Step 6 of a card: what its objects and its own actions use, from the source's resources,
// stored with new ids; the card's three action words follow. Objects whose action could not be
// carried lose the reference rather than point at an unrelated resource of this stack.
void CarryCardResources(Handle card, const Source& source, uint16_t (&actions)[3], const std::vector<IdPair>& objectIds) {
    const int32_t stackFile = GetStackResFile();
    const int32_t sourceFile = source.resourceOffset ? OpenResFileAt(&source.spec, source.resourceOffset) : 0;
    Handle chain = 0;
    std::vector<std::pair<uint32_t, bool>> objectActions;  // field offset, carried
    if (sourceFile) {
        UseResFile(sourceFile);
        std::vector<ObjectPlace> places;
        {
            HandleLock lock(card);
            CardObjectWalk walk(lock.bytes());
            for (ObjectPlace place; walk.Next(place);)
                places.push_back(place);
        }
        // The gatherers take what they hold from the stack's resource file: for this card that
        // is the source's.
        SetStackResFile(sourceFile);
        const ObjectIdRemap remap(objectIds);
        for (const ObjectPlace& place : places) {
            if (place.kind == kObjectButton)
                GatherObjectFileResources(place.kind, place.id, &chain);
            if (place.kind == kObjectText)
                GatherLinksForCopy(card, place.id, &chain, false);
            const uint32_t field = ActionField(place.kind);
            if (field == 0 || place.length < field + 2)
                continue;
            uint16_t id;
            {
                HandleLock lock(card);
                id = GetU16(lock.bytes(), place.offset + field);
            }
            if (id != 0)
                objectActions.push_back({place.offset + field, HoldAction(id, &chain, place.kind, place.id)});
        }
        for (uint16_t& action : actions)
            if (action != 0 && !HoldAction(action, &chain, 0, 0))
                action = 0;
        SetStackResFile(stackFile);
        CloseResFile(sourceFile);
    } else {
        HandleLock lock(card);
        CardObjectWalk walk(lock.bytes());
        for (ObjectPlace place; walk.Next(place);)
            if (const uint32_t field = ActionField(place.kind); field && place.length >= field + 2)
                objectActions.push_back({place.offset + field, false});
        std::fill(std::begin(actions), std::end(actions), 0);
    }
    {
        HandleLock lock(card);
        const std::span<uint8_t> record = lock.bytes();
        for (auto [field, carried] : objectActions)
            if (!carried)
                SetU16(record, field, 0);
    }
    UseResFile(stackFile);
    MoveHeldDataIntoStack(chain);
    const std::vector<uint16_t> oldSounds = SoundIds(chain);
    StoreHeldResourcesRemapped(chain, actions);
    const std::vector<uint16_t> newSounds = SoundIds(chain);
    FreeResourceEntryChain(&chain, true);

    // A button that plays a stored sound first follows the sound's new id.
    HandleLock lock(card);
    const std::span<uint8_t> record = lock.bytes();
    CardObjectWalk walk(record);
    for (ObjectPlace place; walk.Next(place);) {
        if (place.kind != kObjectButton || !(GetU16(record, place.offset + kButtonActionFlags) & kActSoundResource))
            continue;
        const std::span<uint8_t> button = record.subspan(place.offset, place.length);
        ButtonChunkWalk chunks(button);
        ObjectPlace first;
        if (!chunks.Next(first) || first.kind != kTagSoundResource)
            continue;
        const uint16_t old = GetU16(button, first.offset + kChunkValue);
        for (size_t i = 0; i < oldSounds.size() && i < newSounds.size(); ++i)
            if (oldSounds[i] == old) {
                SetU16(button, first.offset + kChunkValue, newSounds[i]);
                break;
            }
    }
}

// One source card into the list after `after`; false when it could not be inserted.
bool ImportCard(Handle card, const Source& source, int after, IdPair& pair) {
    uint16_t actions[3];
    {
        HandleLock lock(card);
        const std::span<uint8_t> record = lock.bytes();
        actions[0] = GetU16(record, kCardAction1);
        actions[1] = GetU16(record, kCardAction2);
        actions[2] = GetU16(record, kCardAction3);
        // An older source keeps its card size in the header only.
        if (GetU16(source.header, kHeaderVersion) < 5)
            CopyCardSizeWords(source.header, record);
        pair.oldId = GetU16(record, kCardId);
        pair.newId = NewCardId(pair.oldId);
        SetU16(record, kCardId, pair.newId);
        // Older saves wrote a run-time handle here: an imported card starts with no answer.
        ZeroTestingAnswerField(record);
    }
    if (AddCardRecord(card, after) != 0)
        return false;
    MarkCardChanged();
    std::vector<IdPair> objectIds;
    {
        HandleLock lock(card);
        objectIds = RenumberObjects(lock.bytes());
    }
    CarryCardResources(card, source, actions, objectIds);
    {
        HandleLock lock(card);
        const std::span<uint8_t> record = lock.bytes();
        SetU16(record, kCardAction1, actions[0]);
        SetU16(record, kCardAction2, actions[1]);
        SetU16(record, kCardAction3, actions[2]);
    }
    FitImportedCardToStack(card);
    return true;
}

// Goes to the first card that came in, and reports how many came when they were several.
void ShowImportedCards(uint16_t firstCardId, const char* path, int count) {
    const char* slash = std::strrchr(path, '\\');
    GetAuthoringUpcalls().showImportedCards(firstCardId, slash ? slash + 1 : path, count >= 2 ? count : 0);
}

int OpenInstead(const char* path) {
    int16_t sourceCount = 0;
    {
        const FileSpecKeeper lent(kSlotScratch);
        SetFileSpecFromPath(kSlotScratch, path);
        sourceCount = CountStackCards(kSlotScratch);
    }
    if (GetAuthoringUpcalls().openInsteadOfImport(path) != 0)
        return 0;
    const uint16_t first = GetCardId(GetCardByIndex(1));
    SetCurrentCardId(first);
    MarkCardChanged();
    ShowImportedCards(first, path, GetCardCount());
    return sourceCount;
}

}  // namespace


uint16_t LookupIdPair(uint16_t oldId, int count, const IdPair* table) {
    if (count < 1 || !table)
        return 0;
    for (int i = 0; i < count; ++i)
        if (table[i].oldId == oldId)
            return table[i].newId;
    return 0;
}

int16_t CountStackCards(int slot) {
    FileRef file = kNoFile;
    if (OpenFileSlot(slot, kOpenRead, &file) != kFileOk)
        return 0;
    int16_t count = 0;
    {
        FileByteSource bytes(file);
        StackConversion cv;
        Handle header = 0;
        if (ReadStackHeader(bytes, cv, &header).ok()) {
            HandleLock lock(header);
            count = GetI16({lock.get(), kStackHeaderBytes}, kHeaderCardCount);
        }
        DisposeHandle(header);
    }
    FileClose(file);
    return count;
}

void FitImportedCardToStack(Handle card) {
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    const int screen = GetScreenDepth();
    int depth, cardWidth, cardHeight;
    {
        HandleLock lock(card);
        if (!lock || GetHandleSize(card) < kMinCardRecordBytes)
            return;
        const std::span<const uint8_t> record = lock.bytes();
        depth = GetU16(record, kCardDepth);
        cardWidth = GetU16(record, kCardWidth);
        cardHeight = GetU16(record, kCardHeight);
    }
    if (depth == screen && cardWidth == width && cardHeight == height && depth != 16 && depth != 32)
        return;
    if (cardWidth != width || cardHeight != height)
        ResizeCardObjects(card, 1, width, height);
    {
        ConversionSwitches run;
        run.force = true;
        run.convertPixels = true;
        run.keepGraphicByteOrder = true;
        ConversionRun scope(run);
        GetStackPlatformOps().convertCardPicture(card, depth, screen, width, height);
    }
    HandleLock lock(card);
    if (lock && GetHandleSize(card) >= kMinCardRecordBytes) {
        const std::span<uint8_t> record = lock.bytes();
        SetU16(record, kCardWidth, width);
        SetU16(record, kCardHeight, height);
    }
}

std::string ImportCountText(const char* prefix, int count, const char* middle, const char* fileName) {
    std::string text = std::string(prefix ? prefix : "").substr(0, 200) + std::to_string(count) +
                       std::string(middle ? middle : "").substr(0, 255) + (fileName ? fileName : "");
    if (text.size() > kReportSize - 1)
        text.resize(kReportSize - 1);
    return text;
}

int ImportCardsFromStack(const char* path) {
    if (!path)
        return 0;
    if (GetAuthoringUpcalls().stackIsFresh())
        return OpenInstead(path);
    Source source;
    SetFileSpecPath(&source.spec, path);
    const bool readable = OpenSource(source);
    const int n = readable ? GetU16(source.header, kHeaderCardCount) : 0;
    const int current = GetCurrentCardRecord() ? GetCardIndex(GetCurrentCardRecord()) : 0;
    const int insertAt = current + 1;
    std::vector<IdPair> cards(static_cast<size_t>(n), IdPair{0, 0});
    std::vector<Handle> imported;
    bool failed = false;
    if (readable) {
        FileByteSource bytes(source.file);
        uint64_t at = kStackHeaderBytes;
        for (int i = 0; i < n && !failed && at < bytes.Size(); ++i) {
            Handle card = 0;
            uint32_t length = 0;
            const bool ok = ReadCardRecordAt(bytes, static_cast<uint32_t>(at), source.cv, &card, &length, nullptr).ok();
            if (!ok) {
                // A card that does not read is skipped when its length still leads to the next.
                uint8_t prefix[6] = {};
                if (!bytes.ReadAt(static_cast<uint32_t>(at), prefix))
                    break;
                length = GetBE32(prefix, kCardLength);
                if (length < kMinCardRecordBytes || length > bytes.Size() - at)
                    break;
                at += length;
                continue;
            }
            at += length;
            if (!ImportCard(card, source, insertAt - 1 + static_cast<int>(imported.size()), cards[i])) {
                DisposeHandle(card);
                failed = true;
                break;
            }
            imported.push_back(card);
        }
    }
    // Group cards follow their imported owner; an owner outside the import is none.
    for (Handle card : imported) {
        HandleLock lock(card);
        const std::span<uint8_t> record = lock.bytes();
        if (GetU16(record, kCardKind) == kCardKindShared && GetU16(record, kCardBackgroundId) != 0)
            SetU16(record, kCardBackgroundId,
                   LookupIdPair(GetU16(record, kCardBackgroundId), static_cast<int>(cards.size()), cards.data()));
    }
    if (!imported.empty() && source.resourceOffset) {
        if (const int32_t sourceFile = OpenResFileAt(&source.spec, source.resourceOffset)) {
            const int32_t stackFile = GetStackResFile();
            Handle chain = 0;
            UseResFile(sourceFile);
            GatherLinksForCopy(0, 0, &chain, true);
            CloseResFile(sourceFile);
            UseResFile(stackFile);
            StoreHeldResourcesRemapped(chain, nullptr);
            FreeResourceEntryChain(&chain, true);
        }
    }
    if (failed) {
        ShowCardAlert(kAlertReadyMadeFailed);
        return -1;
    }
    const Handle first = GetCardByIndex(insertAt);
    // The cards that came in, which a damaged source may make fewer than its count.
    ShowImportedCards(first ? GetCardId(first) : GetCurrentCardId(), path, static_cast<int>(imported.size()));
    return static_cast<int>(imported.size());
}
