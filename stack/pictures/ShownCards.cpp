// The records of the cards re-coloured only to be shown (see the header).
#include "stack/pictures/ShownCards.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/CardPicture.h"
#include "stack/StackOpenSession.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardConvertRecords.h"

namespace {

struct ShownCard {
    Handle card = 0;
    uint32_t session = 0;
    uint32_t group = 0;  // the records re-mapped together
    std::vector<uint8_t> stored, shown;
    std::vector<uint8_t> edited;  // during a save: what an edited record held before it
};

// The cards kept.
struct ShownCards {
    std::vector<ShownCard> cards;
    uint32_t lastGroup = 0;
    // The card picture's paints counted, and the count when the card was last drawn whole.
    uint32_t painted = 1, paintedWhenShown = 0;  // painted until a redraw shows the card
} g_shown;

// What another stack kept goes with it.
void DropOtherStacks() {
    const uint32_t session = CurrentStackIdentity().session;
    std::erase_if(g_shown.cards, [&](const ShownCard& c) { return c.session != session; });
}

ShownCard* Find(Handle card) {
    DropOtherStacks();
    const auto found = std::find_if(g_shown.cards.begin(), g_shown.cards.end(),
                                    [&](const ShownCard& c) { return c.card == card; });
    return found == g_shown.cards.end() ? nullptr : &*found;
}

// The object of a kind and id in a record, empty when it has none.
std::span<const uint8_t> ObjectIn(std::span<const uint8_t> record, uint16_t kind, uint16_t id) {
    CardObjectWalk walk(record);
    ObjectPlace place;
    while (walk.Next(place))
        if (place.kind == kind && place.id == id)
            return record.subspan(place.offset, place.length);
    return {};
}

// The picture block of a kind-1 record (empty for others).
std::span<const uint8_t> PictureBlockOf(std::span<const uint8_t> record) {
    if (record.size() < kCardHeaderBytes || GetU16(record, kCardKind) != kCardKindPicture)
        return {};
    const uint32_t objects = CardObjectsOffsetIn(record);
    return objects >= kCardHeaderBytes && objects <= record.size()
               ? record.subspan(kCardHeaderBytes, objects - kCardHeaderBytes)
               : std::span<const uint8_t>();
}

// A graphic's picture (and mask) data: what follows its 80-byte header.
std::span<const uint8_t> GraphicData(std::span<const uint8_t> object) {
    return object.size() > kGraphicHeaderBytes ? object.subspan(kGraphicHeaderBytes) : std::span<const uint8_t>();
}

// Pixels a record holds in the shown colours that it did not hold when shown: its picture
// painted, or a graphic's picture new or changed (a graphic whose pixels only moved with it has
// the same data).
bool PixelsChangedSinceShown(std::span<const uint8_t> now, const ShownCard& c) {
    if (now.empty())
        return true;  // deleted: the group keeps what it holds
    if (c.stored.size() >= kCardHeaderBytes && GetU16(c.stored, kCardKind) == kCardKindPicture &&
        !std::ranges::equal(PictureBlockOf(now), PictureBlockOf(c.shown)))
        return true;
    CardObjectWalk walk(now);
    ObjectPlace place;
    while (walk.Next(place)) {
        if (place.kind != kObjectGraphic || (place.flags & kObjectHasPath))
            continue;
        const std::span<const uint8_t> object = now.subspan(place.offset, place.length);
        const std::span<const uint8_t> shown = ObjectIn(c.shown, place.kind, place.id);
        if (shown.empty() || !std::ranges::equal(GraphicData(object), GraphicData(shown)))
            return true;
    }
    return false;
}

// The colours of a record's picture table.
std::vector<PaletteColor> TableColors(std::span<const uint8_t> record) {
    return record.size() > kCardHeaderBytes ? MacColorTableColors(PictureRecordColorTable(record))
                                            : std::vector<PaletteColor>();
}

// For each index of the shown palette, the nearest colour's index in the stored one.
std::array<uint8_t, 256> NearestStored(const std::vector<PaletteColor>& shown, const std::vector<PaletteColor>& stored) {
    std::array<uint8_t, 256> table{};
    for (size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<uint8_t>(i);
        if (i >= shown.size() || stored.empty())
            continue;
        int64_t best = -1;
        for (size_t j = 0; j < stored.size() && j < table.size(); ++j) {
            const int dr = shown[i].red - stored[j].red, dg = shown[i].green - stored[j].green,
                      db = shown[i].blue - stored[j].blue;
            const int64_t d = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
            if (best < 0 || d < best) {
                best = d;
                table[i] = static_cast<uint8_t>(j);
            }
        }
    }
    return table;
}

// The group member holding the picture a kept record shows (its stored form names it, or for
// a card that joined the group, what it holds now).
const ShownCard* HolderOf(const ShownCard& c, std::span<const uint8_t> now) {
    const std::span<const uint8_t> record = !c.stored.empty() ? std::span<const uint8_t>(c.stored) : now;
    if (record.size() < kCardHeaderBytes)
        return nullptr;
    const uint16_t id = GetU16(record, kCardKind) == kCardKindPicture ? GetU16(record, kCardId)
                                                                     : GetU16(record, kCardBackgroundId);
    for (const ShownCard& h : g_shown.cards)
        if (h.group == c.group && h.stored.size() >= kCardHeaderBytes &&
            GetU16(h.stored, kCardKind) == kCardKindPicture && GetU16(h.stored, kCardId) == id)
            return &h;
    return nullptr;
}

// An edited record as the file is to hold it beside the records of its group put back as
// stored: its picture as stored unless it was painted, each object not changed since it was shown
// as stored, and in the others each colour index not changed as stored, any other one taking the
// nearest colour of the stored palette (`table`).
std::vector<uint8_t> StoredForm(std::span<const uint8_t> now, const ShownCard& c, const std::array<uint8_t, 256>& table) {
    const uint32_t objects = CardObjectsOffsetIn(now);
    if (objects < kCardHeaderBytes || objects > now.size())
        return {};
    std::vector<uint8_t> out(now.begin(), now.begin() + kCardHeaderBytes);
    const std::span<const uint8_t> block = PictureBlockOf(now);
    const bool pictureAsShown = !c.shown.empty() && std::ranges::equal(block, PictureBlockOf(c.shown));
    const std::span<const uint8_t> keptBlock = pictureAsShown ? PictureBlockOf(c.stored) : block;
    out.insert(out.end(), keptBlock.begin(), keptBlock.end());
    std::vector<ObjectPlace> places;
    const std::vector<ObjectColorWord> words = ObjectColorWords(now, &places);
    uint32_t end = objects;
    for (const ObjectPlace& place : places) {
        const std::span<const uint8_t> object = now.subspan(place.offset, place.length);
        const std::span<const uint8_t> shown = ObjectIn(c.shown, place.kind, place.id);
        const std::span<const uint8_t> stored = ObjectIn(c.stored, place.kind, place.id);
        end = place.offset + place.length;
        if (!shown.empty() && !stored.empty() && std::ranges::equal(object, shown)) {
            out.insert(out.end(), stored.begin(), stored.end());
            continue;
        }
        std::vector<uint8_t> copy(object.begin(), object.end());
        if (place.kind == kObjectGraphic && stored.size() >= kGraphicHeaderBytes && object.size() >= kGraphicHeaderBytes) {
            // Moved, renamed or recoloured: its pixels are the stored ones, in the stored layout.
            copy.assign(stored.begin(), stored.end());
            std::copy_n(object.begin(), kGraphicHeaderBytes, copy.begin());
            SetU32(copy, kObjectLength, GetU32(stored, kObjectLength));
            SetU16(copy, kObjectFlags,
                   static_cast<uint16_t>((GetU16(object, kObjectFlags) & ~kObjectPadded) | (GetU16(stored, kObjectFlags) & kObjectPadded)));
            for (const uint32_t at : {kGraphicPictureFlags, kGraphicPictureDepth})
                SetU16(copy, at, GetU16(stored, at));
            for (const uint32_t at : {kGraphicTrailerLength, kGraphicAfterMask})
                SetU32(copy, at, GetU32(stored, at));
        }
        for (const ObjectColorWord& word : words) {
            if (word.place.offset != place.offset || word.at + 2 > copy.size())
                continue;
            const uint16_t value = GetU16(copy, word.at);
            if (shown.size() >= word.at + 2 && stored.size() >= word.at + 2 && GetU16(shown, word.at) == value)
                SetU16(copy, word.at, GetU16(stored, word.at));
            else if (value >= 1 && value <= 256)
                SetU16(copy, word.at, static_cast<uint16_t>(table[value - 1] + 1));
        }
        out.insert(out.end(), copy.begin(), copy.end());
    }
    out.insert(out.end(), now.begin() + end, now.end());
    SetU32(out, kCardLength, static_cast<uint32_t>(out.size()));
    return out;
}

// Cards made since a picture was fitted to the display that share it (a new card on that
// background, a copy of one of its cards) chose their colours among the shown ones: they go with
// the picture's group.
void JoinCardsOfKeptPictures() {
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        if (GetCardKind(card) != kCardKindShared || Find(card))
            continue;
        const uint16_t holderId = GetHandleWord(card, kCardBackgroundId);
        for (const ShownCard& h : g_shown.cards)
            if (h.stored.size() >= kCardHeaderBytes && GetU16(h.stored, kCardKind) == kCardKindPicture &&
                GetU16(h.stored, kCardId) == holderId) {
                g_shown.cards.push_back({card, h.session, h.group, {}, {}, {}});
                break;
            }
    }
}

}  // namespace

void PutBackStoredCards() {
    DropOtherStacks();
    JoinCardsOfKeptPictures();
    // A group with pixels new since it was shown (its picture painted, a graphic's picture made or
    // changed) keeps what it holds now: they are in the shown colours, which its objects' indexes
    // then name too.
    std::vector<uint32_t> painted;
    for (const ShownCard& c : g_shown.cards) {
        const std::vector<uint8_t> now = HandleToBytes(c.card);
        if (now != c.shown && PixelsChangedSinceShown(now, c))
            painted.push_back(c.group);
    }
    std::erase_if(g_shown.cards, [&](const ShownCard& c) { return std::ranges::find(painted, c.group) != painted.end(); });
    for (ShownCard& c : g_shown.cards) {
        std::vector<uint8_t> now = HandleToBytes(c.card);
        c.edited.clear();
        if (!c.shown.empty() && now == c.shown) {
            SetHandleBytes(c.card, c.stored);
            continue;
        }
        const ShownCard* holder = HolderOf(c, now);
        if (!holder)
            continue;
        const std::vector<uint8_t> form = StoredForm(now, c, NearestStored(TableColors(holder->shown), TableColors(holder->stored)));
        if (form.empty() || SetHandleBytes(c.card, form) != 0)
            continue;
        c.edited = std::move(now);
    }
}

void PutBackShownCards() {
    DropOtherStacks();
    for (ShownCard& c : g_shown.cards) {
        if (c.edited.empty()) {
            if (!c.shown.empty() && HandleToBytes(c.card) == c.stored)
                SetHandleBytes(c.card, c.shown);
            continue;
        }
        // The edit stays as the person sees it; the file holds its stored form.
        std::vector<uint8_t> written = HandleToBytes(c.card);
        if (SetHandleBytes(c.card, c.edited) == 0) {
            c.stored = std::move(written);
            c.shown = std::move(c.edited);
        }
        c.edited.clear();
    }
}

void KeepCardsAsStored(std::span<const Handle> records) {
    // One group for these records and for every record re-mapped with one of them before.
    const uint32_t group = ++g_shown.lastGroup;
    std::vector<uint32_t> joined;
    for (const Handle card : records) {
        if (!card)
            continue;
        ShownCard* kept = Find(card);
        if (kept)
            joined.push_back(kept->group);
        // Kept once: a card shown, edited and shown again is kept as edited.
        if (kept && HandleToBytes(card) == kept->shown)
            continue;
        if (!kept) {
            g_shown.cards.push_back({card, CurrentStackIdentity().session, group, {}, {}, {}});
            kept = &g_shown.cards.back();
        }
        kept->stored = HandleToBytes(card);
        kept->shown.clear();
    }
    for (ShownCard& c : g_shown.cards)
        if (std::find(joined.begin(), joined.end(), c.group) != joined.end())
            c.group = group;
}

void NoteCardsAsShown(std::span<const Handle> records) {
    for (const Handle card : records)
        if (ShownCard* kept = Find(card))
            kept->shown = HandleToBytes(card);
}

void StoreShownCards() {
    DropOtherStacks();
    g_shown.cards.clear();
}

void TakeBackStoredCards() {
    PutBackStoredCards();
    DropOtherStacks();
    g_shown.cards.clear();
}

std::vector<uint8_t> StoredPictureRecord(Handle card) {
    const Handle holder = ResolvePictureRecord(card);
    if (const ShownCard* kept = holder ? Find(holder) : nullptr; kept && !kept->stored.empty())
        return kept->stored;
    return HandleToBytes(holder);
}

void NoteCardPicturePainted() { ++g_shown.painted; }

void NoteCardPictureShown() { g_shown.paintedWhenShown = g_shown.painted; }

bool CardPicturePainted() { return g_shown.painted != g_shown.paintedWhenShown; }
