#include "stack/cards/FieldText.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

uint32_t ObjectLimit(std::span<const uint8_t> object) {
    const uint32_t stored = GetU32(object, kObjectLength);
    const auto size = static_cast<uint32_t>(object.size());
    return stored >= kTextHeaderBytes && stored < size ? stored : size;
}

bool IsTextObject(std::span<const uint8_t> object) {
    return object.size() >= kTextHeaderBytes && GetU16(object, kObjectKind) == kObjectText;
}

StyleRun ReadRun(std::span<const uint8_t> at) {
    StyleRun run;
    run.start = static_cast<int32_t>(GetBE32(at, kRunStart));
    run.lineHeight = static_cast<int16_t>(GetBE16(at, kRunLineHeight));
    run.ascent = static_cast<int16_t>(GetBE16(at, kRunAscent));
    run.fontNumber = static_cast<int16_t>(GetBE16(at, kRunFont));
    run.face = at[kRunFace];
    run.size = static_cast<int16_t>(GetBE16(at, kRunSize));
    run.red = GetBE16(at, kRunColor);
    run.green = GetBE16(at, kRunColor + 2);
    run.blue = GetBE16(at, kRunColor + 4);
    return run;
}

void WriteRun(std::span<uint8_t> at, const StyleRun& run) {
    SetBE32(at, kRunStart, static_cast<uint32_t>(run.start));
    SetBE16(at, kRunLineHeight, static_cast<uint16_t>(run.lineHeight));
    SetBE16(at, kRunAscent, static_cast<uint16_t>(run.ascent));
    SetBE16(at, kRunFont, static_cast<uint16_t>(run.fontNumber));
    at[kRunFace] = run.face;
    at[kRunFace + 1] = 0;
    SetBE16(at, kRunSize, static_cast<uint16_t>(run.size));
    SetBE16(at, kRunColor, run.red);
    SetBE16(at, kRunColor + 2, run.green);
    SetBE16(at, kRunColor + 4, run.blue);
}

void SetObjectLength(std::vector<uint8_t>& object) {
    SetU32(object, kObjectLength, static_cast<uint32_t>(object.size()));
}

// Files may end a text object with one pad byte after its last entry, flagged on the record.
// An edit takes it off first and puts one back when it leaves the record odd: a save writes
// only even records.
void DropRecordPad(std::vector<uint8_t>& object) {
    const uint16_t flags = GetU16(object, kObjectFlags);
    if (!(flags & kObjectPadded) || object.size() <= kTextHeaderBytes)
        return;
    object.pop_back();
    SetU16(object, kObjectFlags, static_cast<uint16_t>(flags & ~kObjectPadded));
}

void KeepObjectEven(std::vector<uint8_t>& object) {
    KeepRecordEven(object, kObjectFlags);
    SetObjectLength(object);
}

void WriteEntryHeader(std::vector<uint8_t>& object, uint32_t at, uint16_t cardId, uint32_t flags,
                      uint32_t textLength, uint32_t length) {
    SetU16(object, at, kTextEntryType);
    SetU16(object, at + kSubOwnerCard, cardId);
    SetU32(object, at + kSubEntryFlags, flags);
    SetU32(object, at + kSubPathLength, textLength);
    SetU32(object, at + kSubLength, length);
}

}  // namespace

std::vector<FieldTextEntry> ListFieldTextEntries(std::span<const uint8_t> object) {
    std::vector<FieldTextEntry> entries;
    if (!IsTextObject(object))
        return entries;
    const uint32_t limit = ObjectLimit(object);
    for (uint32_t at = kTextHeaderBytes; at < limit && limit - at >= kSubRecordHeaderBytes;) {
        if (GetU16(object, at) != kTextEntryType && !entries.empty())
            break;
        FieldTextEntry e{.offset = at,
                         .cardId = GetU16(object, at + kSubOwnerCard),
                         .flags = GetU32(object, at + kSubEntryFlags),
                         .textLength = GetU32(object, at + kSubPathLength),
                         .length = GetU32(object, at + kSubLength)};
        const bool fits = e.length >= kSubRecordHeaderBytes && e.length <= limit - at && e.textLength <= e.length - kSubRecordHeaderBytes;
        if (!fits) {
            // An empty object's header has no length yet: an entry with no text. Anything
            // else that does not fit ends the walk.
            if (entries.empty() && (e.length < kSubRecordHeaderBytes || limit - at == kSubRecordHeaderBytes)) {
                e.length = kSubRecordHeaderBytes, e.textLength = 0, e.flags = 0;
                entries.push_back(e);
            }
            break;
        }
        entries.push_back(e);
        at += e.length;
    }
    return entries;
}

std::optional<FieldTextEntry> FindFieldTextEntry(std::span<const uint8_t> object, uint16_t cardId,
                                                 uint16_t clipboardCardId) {
    const std::vector<FieldTextEntry> entries = ListFieldTextEntries(object);
    if (entries.empty())
        return std::nullopt;
    if (!(GetU16(object, kObjectFlags) & kObjectBackground) || GetU16(object, entries[0].offset) != kTextEntryType)
        return entries[0];
    for (const FieldTextEntry& e : entries)
        if (e.cardId == cardId)
            return e;
    if (clipboardCardId != 0)
        for (const FieldTextEntry& e : entries)
            if (e.cardId == clipboardCardId)
                return e;
    return entries[0];
}

std::span<const uint8_t> FieldEntryText(std::span<const uint8_t> object, const FieldTextEntry& entry) {
    return object.subspan(entry.offset + kSubRecordHeaderBytes, entry.textLength);
}

std::span<const uint8_t> FieldEntryScrap(std::span<const uint8_t> object, const FieldTextEntry& entry) {
    uint32_t rest = entry.length - kSubRecordHeaderBytes - entry.textLength;
    if ((entry.flags & kTextEntryPadded) && rest > 0)
        --rest;
    return object.subspan(entry.offset + kSubRecordHeaderBytes + entry.textLength, rest);
}

std::vector<StyleRun> ReadStyleScrap(std::span<const uint8_t> scrap, uint32_t textLength) {
    std::vector<StyleRun> runs;
    if (scrap.size() < 2)
        return runs;
    const auto stored = static_cast<int16_t>(GetBE16(scrap, 0));
    const size_t fit = (scrap.size() - 2) / kStyleRunBytes;
    const size_t count = std::min<size_t>(stored > 0 ? static_cast<size_t>(stored) : 0, fit);
    int32_t previous = 0;
    for (size_t i = 0; i < count; ++i) {
        StyleRun run = ReadRun(scrap.subspan(2 + i * kStyleRunBytes, kStyleRunBytes));
        const int64_t clamped = std::clamp<int64_t>(run.start, previous, textLength);
        run.start = i == 0 ? 0 : static_cast<int32_t>(clamped);
        previous = run.start;
        runs.push_back(run);
    }
    return runs;
}

std::vector<uint8_t> WriteStyleScrap(std::span<const StyleRun> runs) {
    const size_t count = std::min<size_t>(runs.size(), 0x7FFF);
    std::vector<uint8_t> scrap(2 + count * kStyleRunBytes);
    SetBE16(scrap, 0, static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i)
        WriteRun(std::span(scrap).subspan(2 + i * kStyleRunBytes, kStyleRunBytes), runs[i]);
    return scrap;
}

std::vector<uint8_t> GetFirstStyleRun(std::span<const uint8_t> object, uint16_t cardId, uint16_t clipboardCardId) {
    const std::optional<FieldTextEntry> entry = FindFieldTextEntry(object, cardId, clipboardCardId);
    if (entry) {
        const std::span<const uint8_t> scrap = FieldEntryScrap(object, *entry);
        std::vector<StyleRun> runs = ReadStyleScrap(scrap, entry->textLength);
        if (scrap.size() >= 3 && !runs.empty())
            return WriteStyleScrap(std::span(runs).first(1));
    }
    const StyleRun standard;
    return WriteStyleScrap(std::span(&standard, 1));
}

StyleRun ReadDiskStyle(std::span<const uint8_t> object) {
    const std::vector<FieldTextEntry> entries = ListFieldTextEntries(object);
    if (entries.empty())
        return {};
    const std::span<const uint8_t> rest = FieldEntryScrap(object, entries[0]);
    if (rest.size() < kDiskStyleBytes)
        return {};
    StyleRun run;
    run.fontNumber = static_cast<int16_t>(GetBE16(rest, 0));
    run.face = rest[2];
    run.size = static_cast<int16_t>(GetBE16(rest, 4));
    run.red = GetBE16(rest, 6), run.green = GetBE16(rest, 8), run.blue = GetBE16(rest, 10);
    return run;
}

bool WriteDiskStyle(std::vector<uint8_t>& object, const StyleRun& style) {
    const std::vector<FieldTextEntry> entries = ListFieldTextEntries(object);
    if (entries.empty() || FieldEntryScrap(object, entries[0]).size() < kDiskStyleBytes)
        return false;
    const std::span<uint8_t> block(object.data() + entries[0].offset + kSubRecordHeaderBytes + entries[0].textLength,
                                   kDiskStyleBytes);
    SetBE16(block, 0, static_cast<uint16_t>(style.fontNumber));
    block[2] = style.face, block[3] = 0;
    SetBE16(block, 4, static_cast<uint16_t>(style.size));
    SetBE16(block, 6, style.red), SetBE16(block, 8, style.green), SetBE16(block, 10, style.blue);
    return true;
}

bool StoreFieldEntry(std::vector<uint8_t>& object, uint16_t cardId, uint16_t clipboardCardId,
                     std::span<const uint8_t> text, std::span<const uint8_t> scrap) {
    if (!IsTextObject(object))
        return false;
    // Whatever lies past the record length (a stale tail) is not the object's.
    object.resize(ObjectLimit(object));
    DropRecordPad(object);
    std::optional<FieldTextEntry> entry = FindFieldTextEntry(object, cardId, clipboardCardId);
    const bool background = GetU16(object, kObjectFlags) & kObjectBackground;
    if (!entry) {
        // Not even a whole first header: the object starts over with one entry.
        object.resize(kTextHeaderBytes + kSubRecordHeaderBytes);
        entry = FieldTextEntry{.offset = kTextHeaderBytes, .length = kSubRecordHeaderBytes};
    } else if (background && entry->cardId != cardId && object.size() != kEmptyTextRecordBytes) {
        // Another card's text: a new entry for this card goes in front of it.
        object.insert(object.begin() + entry->offset, kSubRecordHeaderBytes, 0);
        entry->length = kSubRecordHeaderBytes;
    }
    const auto body = static_cast<uint32_t>(text.size() + scrap.size());
    const uint32_t pad = body & 1;
    std::vector<uint8_t> contents(text.begin(), text.end());
    contents.insert(contents.end(), scrap.begin(), scrap.end());
    contents.resize(body + pad);
    const auto first = object.begin() + entry->offset + kSubRecordHeaderBytes;
    object.erase(first, object.begin() + entry->offset + entry->length);
    object.insert(object.begin() + entry->offset + kSubRecordHeaderBytes, contents.begin(), contents.end());
    WriteEntryHeader(object, entry->offset, cardId, pad ? kTextEntryPadded : 0, static_cast<uint32_t>(text.size()),
                     kSubRecordHeaderBytes + body + pad);
    KeepObjectEven(object);
    return true;
}

int PurgeFieldEntries(std::vector<uint8_t>& object, uint16_t cardId, int mode) {
    if (!IsTextObject(object) || !(GetU16(object, kObjectFlags) & kObjectBackground))
        return 0;
    object.resize(ObjectLimit(object));
    DropRecordPad(object);
    int purged = 0;
    for (;;) {
        const std::vector<FieldTextEntry> entries = ListFieldTextEntries(object);
        if (entries.empty() || GetU16(object, entries[0].offset) != kTextEntryType)
            break;
        const auto match = std::find_if(entries.begin(), entries.end(), [&](const FieldTextEntry& e) {
            return mode == 1 ? e.cardId == cardId : e.cardId != cardId;
        });
        if (match == entries.end())
            break;
        if (entries.size() == 1) {
            // The object keeps one empty entry, as a new one has.
            if (match->length == kSubRecordHeaderBytes && match->cardId == 0)
                break;
            object.resize(match->offset + kSubRecordHeaderBytes);
            WriteEntryHeader(object, match->offset, 0, 0, 0, kSubRecordHeaderBytes);
        } else {
            object.erase(object.begin() + match->offset, object.begin() + match->offset + match->length);
        }
        SetObjectLength(object);
        ++purged;
    }
    KeepObjectEven(object);
    return purged;
}

namespace {

// Runs `edit` over a copy of the text object and puts the copy back in the card record.
template <typename Edit>
int EditTextObject(uint16_t textId, Handle card, Edit edit) {
    uint32_t offset = 0;
    if (!IsValidHandle(card) || !FindObjectInCard(kObjectText, textId, card, &offset))
        return -1;
    Handle copy = CopyObjectRecord(card, offset);
    if (!copy)
        return -1;
    std::vector<uint8_t> object = HandleToBytes(copy);
    DisposeHandle(copy);
    const std::vector<uint8_t> original = object;
    const int result = edit(object);
    if (result < 0)
        return -1;
    if (object == original)
        return result;
    if (RemoveObjectRecord(card, offset) != 0)
        return -1;
    if (InsertObjectBytes(card, offset, object) != 0) {
        InsertObjectBytes(card, offset, original);
        return -1;
    }
    // Text stored that differs is an edit, whoever typed, pasted, dropped or asked for it.
    MarkStackModified();
    return result;
}

}  // namespace

int PurgeFieldCardEntries(uint16_t textId, Handle card, int mode) {
    if (!IsValidHandle(card) || GetHandleSize(card) < kMinCardRecordBytes)
        return 0;
    const uint16_t cardId = GetHandleWord(card, kCardId);
    const int purged = EditTextObject(textId, card, [&](std::vector<uint8_t>& object) {
        return PurgeFieldEntries(object, cardId, mode);
    });
    return purged < 0 ? 0 : purged;
}

int StoreFieldTextInRecord(uint16_t textId, Handle card, std::span<const uint8_t> text,
                           std::span<const uint8_t> scrap, uint16_t cardId, uint16_t clipboardCardId) {
    return EditTextObject(textId, card, [&](std::vector<uint8_t>& object) {
        return StoreFieldEntry(object, cardId, clipboardCardId, text, scrap) ? 0 : -1;
    }) < 0 ? -1 : 0;
}

std::vector<uint8_t> BuildTextObjectRecord(const NewTextObject& fields, std::string_view name,
                                           std::span<const uint8_t> scrap, uint16_t cardId,
                                           std::span<const uint8_t> diskSpec) {
    std::vector<uint8_t> object(kEmptyTextRecordBytes, 0);
    SetU16(object, kObjectKind, kObjectText);
    SetU16(object, kObjectId, fields.id);
    const int16_t rect[4] = {fields.left, fields.top, fields.right, fields.bottom};
    for (uint32_t i = 0; i < 4; ++i)
        SetU16(object, kObjectRect + 2 * i, static_cast<uint16_t>(rect[i]));
    SetU16(object, kObjectFlags, fields.flags);
    SetU16(object, kTextOptions, fields.options);
    SetU16(object, kTextColor, fields.colorPlusOne);
    SetU16(object, kTextAlignment, static_cast<uint16_t>(fields.alignment));
    SetU16(object, kTextAction, fields.actionId);
    SetU16(object, kTextCursor, fields.cursorId);
    const size_t nameLength = std::min<size_t>(name.size(), kTextNameBytes - 1);
    object[kTextName] = static_cast<uint8_t>(nameLength);
    std::copy_n(name.begin(), nameLength, object.begin() + kTextName + 1);
    const std::vector<StyleRun> runs = ReadStyleScrap(scrap, 0);
    const StyleRun base = runs.empty() ? StyleRun{} : runs[0];
    SetBE16(object, kTextBaseFont, static_cast<uint16_t>(base.fontNumber));
    object[kTextBaseFace] = base.face;
    SetBE16(object, kTextBaseSize, static_cast<uint16_t>(base.size));
    SetBE16(object, kTextBaseColor, base.red);
    SetBE16(object, kTextBaseColor + 2, base.green);
    SetBE16(object, kTextBaseColor + 4, base.blue);
    if (!(fields.flags & kObjectHasPath)) {
        WriteEntryHeader(object, kTextHeaderBytes, cardId, 0, 0, kSubRecordHeaderBytes);
        SetObjectLength(object);
        return object;
    }
    const auto body = static_cast<uint32_t>(diskSpec.size() + kDiskStyleBytes);
    const uint32_t pad = body & 1;
    object.insert(object.end(), diskSpec.begin(), diskSpec.end());
    object.resize(object.size() + kDiskStyleBytes + pad, 0);
    WriteEntryHeader(object, kTextHeaderBytes, cardId, pad ? kTextEntryPadded : 0,
                     static_cast<uint32_t>(diskSpec.size()), kSubRecordHeaderBytes + body + pad);
    SetObjectLength(object);
    WriteDiskStyle(object, base);
    return object;
}
