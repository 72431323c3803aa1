// Link records, making and rewriting links, the matching rules, and the links that travel with
// a copy (TextLinks.h).
#include "objects/text/TextLinks.h"

#include <algorithm>
#include <cstring>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/text/MacText.h"
#include "graphics/palette/PaletteRemap.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "stack/clipboard/Clipboard.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/open/NewStack.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

constexpr uint32_t kLinkIdWord = 0, kLinkFieldWord = 2;

bool IsWordByte(uint8_t c) { return c >= 128 || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }

bool SameFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiToLower(static_cast<uint8_t>(x)) == AsciiToLower(static_cast<uint8_t>(y));
           });
}

bool IsDelimiter(char c) {
    static constexpr std::string_view kDelimiters = "\" ,.!`'?;:-=+()<>{}[]";
    return kDelimiters.find(c) != std::string_view::npos;
}

Handle Duplicate(Handle h) {
    Handle copy = h;
    return IsValidHandle(h) && HandToHand(&copy) == 0 ? copy : 0;
}

std::string_view AsText(std::span<const uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Calls visit(index, id, fields) for each readable link of the current file, in resource order,
// until it returns false.
template <class Visit>
void ForEachLink(Visit visit) {
    const int count = CountResources(kHlnk);
    for (int i = 1; i <= count; ++i) {
        const uint16_t id = GetIndResourceId(kHlnk, i);
        const Handle data = GetIndResource(kHlnk, i);
        HandleLock lock(data);
        if (!lock)
            continue;
        const std::optional<LinkFields> link = ReadLinkFields(lock.bytes());
        if (link && !visit(id, *link))
            return;
    }
}

// The text of the field in the card record, as it shows (Windows characters); empty when the
// card holds no such field.
std::string FieldTextOfCard(Handle card, uint16_t fieldId) {
    uint32_t offset = 0;
    if (!card || !FindObjectInCard(kObjectText, fieldId, card, &offset))
        return {};
    HandleLock lock(card);
    if (!lock || offset + kObjectLength + 4 > lock.bytes().size())
        return {};
    const std::span<const uint8_t> all = lock.bytes();
    const uint32_t length = std::min<uint32_t>(GetU32(all, offset + kObjectLength), static_cast<uint32_t>(all.size() - offset));
    const std::span<const uint8_t> object = all.subspan(offset, length);
    const std::optional<FieldTextEntry> entry = FindFieldTextEntry(object, GetU16(all, kCardId), 0);
    if (!entry)
        return {};
    std::string text(AsText(FieldEntryText(object, *entry)));
    if (OpenStackTextIsMacRoman())
        MacToAnsi(text.data(), text.size());
    return text;
}

// Whether the stack's file on disk holds a link of all fields with this text.
bool DiskStackHoldsLink(std::string_view text) {
    const uint32_t base = GetStackResourceBase(kSlotCurrentStack);
    if (base == 0)
        return false;
    const int32_t previous = CurrentResFile();
    const int32_t disk = OpenResFileAt(GetFileSpec(kSlotCurrentStack), base);
    if (!disk)
        return false;
    bool held = false;
    ForEachLink([&](uint16_t, const LinkFields& link) {
        held = link.fieldId == 0 && link.text == text;
        return !held;
    });
    CloseResFile(disk);
    if (previous)
        UseResFile(previous);
    return held;
}

}  // namespace

std::optional<LinkFields> ReadLinkFields(std::span<const uint8_t> record) {
    if (record.size() < kLinkHeaderBytes)
        return std::nullopt;
    LinkFields link;
    link.id = GetU16(record, kLinkIdWord);
    link.fieldId = GetU16(record, kLinkFieldWord);
    link.pad = GetU16(record, kLinkOtherLength);
    const size_t room = record.size() - kLinkText;
    const size_t length = std::min<size_t>(GetU16(record, kLinkTextLength), room);
    link.text = AsText(record.subspan(kLinkText, length));
    const size_t actions = size_t{kLinkText} + length + link.pad;
    link.hasActions = GetU16(record, kLinkHasButton) != 0 && actions + kEmptyActionRecordBytes <= record.size();
    link.actionOffset = link.hasActions ? static_cast<uint32_t>(actions) : 0;
    return link;
}

std::vector<uint8_t> BuildLinkRecord(uint16_t id, uint16_t fieldId, std::string_view text, bool hasActions,
                                     std::span<const uint8_t> actions) {
    const uint16_t length = static_cast<uint16_t>(std::min<size_t>(text.size(), 0xFFFE));
    const uint16_t pad = length & 1;
    std::vector<uint8_t> record(kLinkHeaderBytes + length + pad, 0);
    SetU16(record, kLinkIdWord, id);
    SetU16(record, kLinkFieldWord, fieldId);
    SetU16(record, kLinkOtherLength, pad);
    SetU16(record, kLinkTextLength, length);
    SetU16(record, kLinkHasButton, hasActions ? 1 : 0);
    std::memcpy(record.data() + kLinkText, text.data(), length);
    record.insert(record.end(), actions.begin(), actions.end());
    return record;
}

void LinkResourceName(std::string_view text, uint8_t (&name)[32]) {
    std::memset(name, 0, sizeof name);
    const size_t n = std::min(text.size(), kLinkNameMax);
    name[0] = static_cast<uint8_t>(n);
    std::memcpy(name + 1, text.data(), n);
}

Handle NewLinkResource(Handle text, uint16_t fieldId) {
    std::string words;
    {
        HandleLock lock(text);
        if (!lock)
            return 0;
        words.assign(AsText(lock.bytes()));
    }
    // A terminator handed along is no part of the link.
    if (const size_t end = words.find('\0'); end != std::string::npos)
        words.resize(end);
    if (words.empty())
        return 0;
    const uint16_t id = NewUniqueObjectId();
    const std::vector<uint8_t> record = BuildLinkRecord(id, fieldId, words, false, {});
    ResRequest request{};
    request.type = kHlnk;
    request.id = id;
    request.data = NewHandleFromBytes(record);
    request.flags = kResRequestCarryOut;
    LinkResourceName(words, request.name);
    if (!request.data || !WriteStackResource(&request)) {
        DisposeHandle(request.data);
        return 0;
    }
    const Handle link = NewHandleFromBytes(record);
    if (request.id != id) {
        StackResFileCurrent stackFile;
        SetHandleWord(GetResource(kHlnk, request.id), kLinkIdWord, request.id);
        SetHandleWord(link, kLinkIdWord, request.id);
    }
    MarkCardChanged();
    return link;
}

int UpdateLinkRecord(Handle link) {
    uint16_t id = 0;
    std::string text;
    {
        HandleLock lock(link);
        const std::optional<LinkFields> fields = lock ? ReadLinkFields(lock.bytes()) : std::nullopt;
        if (!fields)
            return kFileMissing;
        id = fields->id;
        text.assign(fields->text);
    }
    StackResFileCurrent stackFile;
    const Handle old = GetResource(kHlnk, id);
    const Handle copy = old ? Duplicate(link) : 0;
    if (!copy || !ReplaceResourceData(old, copy)) {
        DisposeHandle(copy);
        return kFileMissing;
    }
    uint8_t name[32];
    LinkResourceName(text, name);
    SetResName(kHlnk, id, name);
    return kFileOk;
}

Handle CopyLinkRecord(Handle link, uint16_t* id, uint32_t* actionOffset) {
    std::optional<LinkFields> fields;
    {
        HandleLock lock(link);
        if (lock)
            fields = ReadLinkFields(lock.bytes());
    }
    if (!fields)
        return 0;
    if (id)
        *id = fields->id;
    if (fields->hasActions) {
        if (actionOffset)
            *actionOffset = fields->actionOffset;
        return Duplicate(link);
    }
    if (actionOffset)
        *actionOffset = 0;
    return NewEmptyActionRecord(NewUniqueObjectId());
}

bool LinkTextExists(std::string_view text) {
    StackResFileCurrent stackFile;
    bool exists = false;
    ForEachLink([&](uint16_t, const LinkFields& link) {
        exists = !link.text.empty() && text.size() >= link.text.size() && SameFolded(text.substr(0, link.text.size()), link.text);
        return !exists;
    });
    return exists;
}

bool IsWholeWordIn(std::string_view text, size_t start, size_t end) {
    if (start > 0 && start <= text.size() && IsWordByte(static_cast<uint8_t>(text[start - 1])))
        return false;
    if (end < text.size() && (IsWordByte(static_cast<uint8_t>(text[end])) || text[end] == '_'))
        return false;
    return true;
}

std::optional<LinkRange> MatchLinkInWindow(std::string_view window, int32_t from, std::string_view linkText,
                                           bool readOnly, int32_t p, int32_t selStart, int32_t selEnd) {
    const int32_t n = static_cast<int32_t>(linkText.size());
    if (n == 0 || from < 0 || p < from)
        return std::nullopt;
    const int32_t last = std::min(p - from, static_cast<int32_t>(window.size()) - n);
    for (int32_t k = 0; k <= last; ++k) {
        if (!SameFolded(window.substr(static_cast<size_t>(k), static_cast<size_t>(n)), linkText))
            continue;
        const int32_t a = from + k;
        const bool applies = readOnly ? (a < p && p < a + n) : (a <= selStart && selEnd <= a + n);
        if (applies)
            return LinkRange{a, a + n};
    }
    return std::nullopt;
}

bool SearchLinkText(std::string_view linkText, std::string_view text, bool exact, bool wholeWord) {
    if (linkText.empty() || linkText.size() > text.size())
        return false;
    size_t at = std::string_view::npos;
    for (size_t i = 0; i + linkText.size() <= text.size(); ++i) {
        const std::string_view here = text.substr(i, linkText.size());
        if (exact ? here == linkText : SameFolded(here, linkText)) {
            at = i;
            break;
        }
    }
    if (at == std::string_view::npos)
        return false;
    if (!wholeWord)
        return true;
    const size_t end = at + linkText.size();
    return (at == 0 || IsDelimiter(text[at - 1])) && (end == text.size() || IsDelimiter(text[end]));
}

void GatherLinksForCopy(Handle card, uint16_t fieldId, Handle* chain, bool importMode) {
    if (!chain)
        return;
    const std::string fieldText = fieldId ? FieldTextOfCard(card, fieldId) : std::string();
    ForEachLink([&](uint16_t id, const LinkFields& link) {
        if (!link.hasActions)
            return true;
        if (fieldId) {
            const bool ours = link.fieldId != 0 && (LookupRemappedColor(link.fieldId) == fieldId ||
                                                    (importMode && link.fieldId == fieldId));
            if (!ours || (card && !SearchLinkText(link.text, fieldText, false, true)))
                return true;
        } else if (link.fieldId != 0 || (!importMode && DiskStackHoldsLink(link.text))) {
            return true;
        }
        if (HoldResourceCopy(kHlnk, id, chain, 0) != 0)
            return true;
        HeldResource held{};
        {
            HandleLock lock(*chain);
            std::memcpy(&held, lock.get(), sizeof held);
        }
        if (fieldId && !importMode)
            SetHandleWord(held.request.data, kLinkFieldWord, fieldId);
        GatherButtonResources(held.request.data, link.actionOffset, chain);
        return true;
    });
}
