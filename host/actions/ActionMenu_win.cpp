// The object's action list and the choices of its actions menu (ActionMenu.h).
#include <cstring>
#include <string>

#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "actions/NbaChooser.h"
#include "actions/TestingButtons.h"
#include "actions/TimerButtons.h"
#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "layers/LayerList.h"
#include "host/actions/ActionChoices.h"
#include "host/actions/ActionMenu.h"
#include "objects/ObjectServices.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

// The word of the object's record that names its 'Actn' resource.
uint32_t ActionIdWord(uint16_t kind) { return kind == kObjectGraphic ? kGraphicAction : kTextAction; }

uint16_t StoredActionId(uint16_t kind, uint16_t id) {
    Handle record = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &record, &offset))
        return 0;
    return GetHandleWord(record, offset + ActionIdWord(kind));
}

// The kinds of action a menu offers, in the table's order: the places to go, then the things
// to do (a separator between them).
constexpr int kFirstThingToDo = kChoiceSounds;

void FillEntry(uint8_t* entry, int code) {
    char text[kActionMenuTextBytes] = {};
    LoadResString(static_cast<uint32_t>(code + kActionTextBase), text, sizeof text);
    text[sizeof text - 1] = '\0';
    std::memcpy(entry, text, sizeof text);
    const uint32_t stringId = static_cast<uint32_t>(code + kActionTextBase);
    std::memcpy(entry + kActionMenuTextBytes, &stringId, sizeof stringId);
}

}  // namespace

Handle GetObjectActionHandle(LayerHandle layer, uint32_t* outOffset, uint16_t* outId) {
    uint16_t kind = 0, id = 0;
    {
        LayerLock<> lock(layer);
        if (!lock)
            return 0;
        kind = lock->kind;
        id = lock->id;
    }
    if (kind == kObjectButton) {
        Handle record = 0;
        uint32_t offset = 0;
        if (!FindObject(kObjectButton, id, &record, &offset))
            return 0;
        *outOffset = offset;
        *outId = id;
        return record;
    }
    if (kind != kObjectGraphic && kind != kObjectText)
        return 0;
    const uint16_t actionId = StoredActionId(kind, id);
    *outOffset = 0;
    *outId = actionId;
    return LoadActionResource(actionId);
}

void StoreObjectActionId(LayerHandle layer, uint16_t kind, uint16_t actionId) {
    uint16_t id = 0;
    {
        LayerLock<> lock(layer);
        if (!lock)
            return;
        id = lock->id;
    }
    Handle record = 0;
    uint32_t offset = 0;
    if ((kind != kObjectGraphic && kind != kObjectText) || !FindObject(kind, id, &record, &offset))
        return;
    if (GetHandleWord(record, offset + ActionIdWord(kind)) != actionId) {
        SetHandleWord(record, offset + ActionIdWord(kind), actionId);
        MarkCardChanged();
    }
    if (kind == kObjectText) {
        LayerLock<FieldLayer> field(layer);
        if (field)
            field->actionId = actionId;
    } else {
        LayerLock<GraphicLayer> graphic(layer);
        if (graphic)
            graphic->objectWord = actionId;
    }
}

Handle BuildActionMenuList(HWND, LayerHandle layer, uint16_t, int* outCount) {
    *outCount = 0;
    uint32_t offset = 0;
    uint16_t id = 0;
    Handle record = GetObjectActionHandle(layer, &offset, &id);
    if (!record)
        return 0;
    uint16_t kind = 0;
    {
        LayerLock<> lock(layer);
        kind = lock ? lock->kind : 0;
    }
    std::vector<uint8_t> bytes = HandleToBytes(record);
    if (kind != kObjectButton)
        DisposeHandle(record);
    if (offset > bytes.size())
        return 0;
    const std::vector<int> codes =
        BuildActionMenuEntries(std::span<const uint8_t>(bytes).subspan(offset));
    if (codes.empty())
        return 0;
    Handle list = NewHandle(kActionMenuMaxEntries * kActionMenuEntryBytes);
    if (!list)
        return 0;
    HandleLock lock(list);
    if (!lock) {
        DisposeHandle(list);
        return 0;
    }
    std::memset(lock.get(), 0, kActionMenuMaxEntries * kActionMenuEntryBytes);
    int count = 0;
    for (int code : codes) {
        if (count == static_cast<int>(kActionMenuMaxEntries))
            break;
        FillEntry(lock.get() + count * kActionMenuEntryBytes, code);
        ++count;
    }
    *outCount = count;
    return list;
}

bool AppendObjectActionItems(HMENU menu, LayerHandle layer) {
    int count = 0;
    Handle list = layer ? BuildActionMenuList(GetMainWindow(), layer, 0, &count) : 0;
    if (!list)
        return true;
    bool appended = true;
    {
        HandleLock lock(list);
        if (lock && count > 0)
            appended = AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) != 0;
        for (int i = 0; lock && appended && i < count; ++i) {
            // The last entry, where the object goes, stands apart.
            if (i > 0 && i == count - 1)
                appended = AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) != 0;
            const uint8_t* entry = lock.get() + i * kActionMenuEntryBytes;
            uint32_t stringId = 0;
            std::memcpy(&stringId, entry + kActionMenuTextBytes, sizeof stringId);
            const char* text = reinterpret_cast<const char*>(entry);
            const std::string name(text, strnlen(text, kActionMenuTextBytes));
            const UINT state = ActionChoiceGreyed(static_cast<int>(stringId) - kActionTextBase) ? MF_GRAYED : 0;
            appended = appended && AppendMenuA(menu, MF_STRING | state, stringId, name.c_str()) != 0;
        }
    }
    DisposeHandle(list);
    return appended;
}

bool AppendActionKindsMenu(HMENU menu, const char* title) {
    HMENU kinds = CreatePopupMenu();
    if (!kinds)
        return false;
    bool appended = true;
    for (int code = kChoiceAnotherCard; appended && code <= kChoiceTesting; ++code) {
        char text[kActionMenuTextBytes] = {};
        if (code == kFirstThingToDo)
            appended = AppendMenuA(kinds, MF_SEPARATOR, 0, nullptr) != 0;
        const UINT state = ActionChoiceGreyed(code) ? MF_GRAYED : 0;
        appended = appended && LoadResString(static_cast<uint32_t>(code + kActionTextBase), text, sizeof text) > 0 &&
                   AppendMenuA(kinds, MF_STRING | state, static_cast<UINT_PTR>(code + kActionTextBase), text) != 0;
    }
    if (!appended || !AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(kinds), title)) {
        DestroyMenu(kinds);
        return false;
    }
    return true;
}

int DoActionChoice(HWND window, int code) {
    const EditorGuard guard;
    LayerHandle layer = GetSelectedObject();
    if (!layer || code < kChoiceAnotherCard || code > kChoiceNewAction || ActionChoiceGreyed(code))
        return 0;
    uint16_t kind = 0;
    {
        LayerLock<> lock(layer);
        if (!lock)
            return 0;
        kind = lock->kind;
    }
    if (code == kChoiceStyle || code == kChoiceIcons || code == kChoiceFeatures)
        return RunObjectCommandChoice(window, layer, kind, code);
    uint32_t offset = 0;
    uint16_t id = 0;
    Handle record = GetObjectActionHandle(layer, &offset, &id);
    if (!record)
        return 0;
    const bool button = kind == kObjectButton;
    const LayerName name = NameOfLayer(layer);
    ActionBlock block{};
    LoadActionBlock(record, offset, &block);
    ActionChoiceTarget target{window, layer, kind, record, offset};
    int changed = RunActionChoice(target, code, &block);
    // "Another card..." and the dialogs may leave the card: its layers are new, and an object
    // no longer there takes nothing.
    layer = changed ? FindNamedLayerOrSay(name, window) : FindNamedLayer(name);
    if (!layer)
        changed = 0;
    // The full dialog (58, 69) keeps its own record: saving here would put back the old one.
    const bool fullDialog = code == kChoiceNone || code == kChoiceNewAction;
    if (changed && !fullDialog) {
        if (button) {
            Handle card = 0;
            uint32_t at = 0;
            if (FindObject(kObjectButton, id, &card, &at) && SaveActionBlock(card, at, id, block))
                MarkCardChanged();
        } else if (SaveActionBlock(record, 0, 0, block)) {
            StoreActionResource(&id, record);
            MarkCardChanged();
        }
    }
    if (!changed)
        DropPendingEffectRequest();  // an effect chosen for actions not kept
    DisposeActionBlockData(&block);
    if (!button) {
        if (changed && !fullDialog)
            StoreObjectActionId(layer, kind, id);
        DisposeHandle(record);
    }
    return changed;
}
