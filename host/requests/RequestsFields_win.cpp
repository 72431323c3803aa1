// Requests of text fields: scrolling, their text and styles, printing, importing and saving
// text, and the active field.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/text/MacText.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "host/dialogs/Printing.h"
#include "host/player/CardNavigation.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestSupport.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/FieldContents_win.h"
#include "objects/text/TextFields.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "format/StackFile.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr uint32_t kTextKindIndex = 1;
uint8_t g_activeName[kNameBytes] = {};

// A text object found by a request's object reference.
struct RequestedField {
    Handle record = 0;     // the card or background record that holds it
    uint32_t offset = 0;
    Handle card = 0;       // the selected card
    uint16_t id = 0;
    HWND window = nullptr; // its window while it lies on the current card
    LayerHandle layer = nullptr;
};

HWND WindowOfLayer(LayerHandle layer) {
    LayerLock<FieldLayer> field(layer);
    return field && field->common.kind == kObjectText ? field->window : nullptr;
}

// The object's bytes inside its record, when the offset is an object boundary there.
std::vector<uint8_t> ObjectBytes(Handle record, uint32_t offset) {
    HandleLock lock(record);
    const std::span<uint8_t> bytes = lock.bytes();
    CardObjectWalk walk(bytes);
    ObjectPlace place;
    while (walk.Next(place))
        if (place.offset == offset)
            return std::vector<uint8_t>(bytes.begin() + place.offset, bytes.begin() + place.offset + place.length);
    return {};
}

// The reference resolved as a text object, whatever kind index [54] held (request 59 passes
// its text handle there): false (and the block's [50], [54], [58] as the reference left them)
// when it names none.
bool ResolveTextObject(NbaParamBlock& b, RequestedField* out) {
    b.param2 = kTextKindIndex;
    if (!ResolveObjectRef(b))
        return false;
    out->offset = b.param1;
    out->record = static_cast<Handle>(b.param2);
    out->card = static_cast<Handle>(b.param3);
    const std::vector<uint8_t> object = ObjectBytes(out->record, out->offset);
    if (object.size() < kObjectCommonBytes || GetU16(object, kObjectKind) != kObjectText)
        return false;
    out->id = GetU16(object, kObjectId);
    if (out->card && out->card == GetCurrentCardRecord()) {
        out->layer = FindLayer(kObjectText, out->id);
        out->window = WindowOfLayer(out->layer);
    }
    return true;
}

void MakeActive(LayerHandle layer, HWND window) {
    if (GetActiveTextField() != layer)
        EndTextEditing(GetActiveTextField());
    SetActiveTextField(layer);
    if (window)
        SetFocus(window);
}

// The layer whose field window is the window; null when none.
LayerHandle FieldLayerWithWindow(HWND window) {
    for (LayerHandle layer = GetLayerListHead(); layer;) {
        LayerLock<ObjectLayer> lock(layer);
        if (!lock)
            break;
        if (lock->kind == kObjectText && WindowOfLayer(layer) == window)
            return layer;
        layer = lock->next;
    }
    return nullptr;
}

std::string StoredToWindows(std::span<const uint8_t> stored) {
    std::string text(stored.begin(), stored.end());
    if (StackTextIsMac())
        MacToAnsi(text.data(), text.size());
    return text;
}

// The scroll command of request 44: bit 24 one line down, bit 25 one step of the smooth scroll
// (bit 29 horizontal, bit 30 begins it, bit 31 ends it; the low word is the step), otherwise
// the low word is the line to show at the top.
uint32_t ScrollField(HWND window, uint32_t command) {
    constexpr uint32_t kLineDown = 1u << 24, kSmoothStep = 1u << 25;
    constexpr uint32_t kHorizontal = 1u << 29, kBegin = 1u << 30, kEnd = 1u << 31;
    if (command & kLineDown)
        return ScrollFieldLineDown(window, true) ? 1 : 0;
    if (command & kSmoothStep) {
        const int mode = (command & kBegin) ? 2 : (command & kEnd) ? 1 : 0;
        const int delta = static_cast<int16_t>(command & 0xFFFF);
        return ScrollTextField(window, delta, mode, (command & kHorizontal) == 0, false) ? 1 : 0;
    }
    const int line = static_cast<int>(command & 0xFFFF);
    const int first = static_cast<int>(SendMessageA(window, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageA(window, EM_LINESCROLL, 0, line - first);
    return static_cast<uint32_t>(SendMessageA(window, EM_GETFIRSTVISIBLELINE, 0, 0));
}

}  // namespace

void CbScrollField(NbaParamBlock& b) {
    const uint32_t command = b.handled;
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(b.param2));
    if (window) {
        if (!IsTextFieldWindow(window))
            return;
    } else if (b.param1 == 0 && (b.param3 == 0 || CallerPointer<const uint8_t>(b.param3)[0] == 0)) {
        // No reference and no name: the first text object of the current card.
        for (LayerHandle layer = GetLayerListHead(); layer && !window;) {
            window = WindowOfLayer(layer);
            LayerLock<ObjectLayer> lock(layer);
            layer = lock ? lock->next : nullptr;
        }
    } else {
        RequestedField field;
        if (!ResolveTextObject(b, &field))
            return;
        window = field.window;
    }
    if (!window)
        return;
    b.param1 = ScrollField(window, command);
}

void CbGetFieldText(NbaParamBlock& b) {
    RequestedField field;
    if (!ResolveTextObject(b, &field))
        return;
    Handle text = 0, styles = 0;
    uint32_t start = 0, end = 0;
    if (field.window) {
        text = TextGetRangeHandle(field.window, 0, 0);
        const std::vector<uint8_t> scrap = CollectStyleScrap(field.window, false);
        styles = scrap.empty() ? 0 : NewHandleFromBytes(scrap);
        if (IsBrowseMode()) {
            int32_t s = 0, e = 0;
            TextGetSel(field.window, &s, &e);
            start = static_cast<uint32_t>(s);
            end = static_cast<uint32_t>(e);
        }
    } else {
        const std::vector<uint8_t> object = ObjectBytes(field.record, field.offset);
        if (const std::optional<FieldTextEntry> entry = FindFieldTextEntry(object, GetCardId(field.card), 0)) {
            const std::string plain = StoredToWindows(FieldEntryText(object, *entry));
            text = NewHandleFromBytes(std::span(reinterpret_cast<const uint8_t*>(plain.data()), plain.size()));
            const std::span<const uint8_t> scrap = FieldEntryScrap(object, *entry);
            styles = scrap.size() > 2 ? NewHandleFromBytes(scrap) : 0;
        } else {
            text = NewHandle(0);
        }
    }
    b.param1 = static_cast<uint32_t>(GiveToModule(text));
    b.param2 = static_cast<uint32_t>(GiveToModule(styles));
    b.param3 = start;
    b.param4 = end;
    b.handled = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(field.window));
}

void CbSetFieldText(NbaParamBlock& b) {
    // The handles are consumed: only the module's own are taken.
    const Handle text = ModulesOwnHandle(b.param2);
    const Handle styles = ModulesOwnHandle(b.handled);
    RequestedField field;
    if (!text || !ResolveTextObject(b, &field))
        return;
    std::vector<uint8_t> bytes = HandleToBytes(text);
    while (!bytes.empty() && bytes.back() == 0)
        bytes.pop_back();
    if (StackTextIsMac())
        AnsiToMac(bytes.data(), bytes.size());
    const uint16_t cardId = GetCardId(field.card);
    const std::vector<uint8_t> object = ObjectBytes(field.record, field.offset);
    // Without styles the field keeps its first run: its font, size and colour.
    const std::vector<uint8_t> scrap = styles ? HandleToBytes(styles) : GetFirstStyleRun(object, cardId, 0);
    int32_t selStart = 0, selEnd = 0;
    if (field.window)
        TextGetSel(field.window, &selStart, &selEnd);
    const bool stored = StoreFieldTextInRecord(field.id, field.record, bytes, scrap, cardId, 0) == 0;
    DisposeHandle(text);
    if (styles)
        DisposeHandle(styles);
    if (!stored)
        return;
    MarkCardChanged();
    if (!field.window)
        return;
    SavedRequestBlock saved(b);
    if (HoldUnderEditor(HeldScope::kCard, [] { RefreshCurrentCard(0); })) {
        saved.Restore();
        return;  // the field's window shows the text once the dialog above it has ended
    }
    RefreshCurrentCard(0);
    saved.Restore();
    if (!styles)
        if (HWND window = WindowOfLayer(FindLayer(kObjectText, field.id)))
            TextSetSel(window, selStart, selEnd, false);
}

void CbPrintField(NbaParamBlock& b) {
    RequestedField field;
    const bool found = ResolveTextObject(b, &field);
    b.param1 = 0;
    if (!found || !field.layer)
        return;
    MakeActive(field.layer, field.window);
    b.param1 = static_cast<uint32_t>(RunPrintMenuCommand(GetMainWindow(), kPrintCommand));
}

void CbImportTextFile(NbaParamBlock& b) {
    Handle text = 0;
    b.param1 = ImportTextFile(&text) ? static_cast<uint32_t>(GiveToModule(text)) : 0;
}

void CbSaveHandleToFile(NbaParamBlock& b) {
    const Handle data = CallerHandle(b.param1);
    if (!data)
        return;
    char path[MAX_PATH] = {};
    if (AskSaveStackFile(GetMainWindow(), kSaveText, path, sizeof path))
        WriteHandleToPath(data, path, GetHandleSize(data));
}

void CbPrintHandle(NbaParamBlock& b) {
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(b.param1));
    LayerHandle layer = window ? FieldLayerWithWindow(window) : nullptr;
    if (!layer)
        return;
    const LayerHandle previous = GetActiveTextField();
    SetActiveTextField(layer);
    RunPrintMenuCommand(GetMainWindow(), kPrintCommand);
    SetActiveTextField(previous);
}

void CbSetActiveField(NbaParamBlock& b) {
    RequestedField field;
    if (ResolveTextObject(b, &field) && field.layer)
        MakeActive(field.layer, field.window);
}

void CbGetActiveField(NbaParamBlock& b) {
    b.param1 = b.param2 = b.param3 = 0;
    const LayerHandle active = GetActiveTextField();
    uint16_t id = 0;
    {
        LayerLock<ObjectLayer> lock(active);
        if (!lock || lock->kind != kObjectText)
            return;
        id = lock->id;
    }
    const Handle card = GetCurrentCardRecord();
    Handle record = 0;
    uint32_t offset = 0;
    if (!card || !FindObject(kObjectText, id, &record, &offset))
        return;
    const std::string counted = FieldRecordName(ObjectBytes(record, offset));  // with its length byte
    b.param1 = KeepPString(g_activeName, counted.empty() ? std::string_view() : std::string_view(counted).substr(1));
    b.param2 = static_cast<uint32_t>(card);
    b.param3 = id;
}

void CbNextActiveField(NbaParamBlock&) {
    const LayerHandle active = GetActiveTextField();
    bool passed = active == nullptr;
    for (LayerHandle layer = GetLayerListHead(); layer;) {
        uint16_t kind = 0, id = 0;
        LayerHandle next = nullptr;
        {
            LayerLock<ObjectLayer> lock(layer);
            if (!lock)
                return;
            kind = lock->kind;
            id = lock->id;
            next = lock->next;
        }
        if (layer == active) {
            passed = true;
        } else if (passed && kind == kObjectText) {
            Handle record = 0;
            uint32_t offset = 0;
            if (FindObject(kObjectText, id, &record, &offset)) {
                const std::vector<uint8_t> object = ObjectBytes(record, offset);
                const bool usable = object.size() >= kTextHeaderBytes &&
                                    !(GetU16(object, kObjectFlags) & kObjectDeletedFlag) &&
                                    !(GetU16(object, kTextActivation) & kTextStaysInactive);
                if (usable) {
                    MakeActive(layer, WindowOfLayer(layer));
                    return;
                }
            }
        }
        layer = next;
    }
}
