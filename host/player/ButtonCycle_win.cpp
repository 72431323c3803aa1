// Starting and advancing the button cycle, and its keys (ButtonCycleKeys.h).
#include "host/player/ButtonCycleKeys.h"

#include "actions/ButtonCycle.h"
#include "core/memory/ByteReader.h"
#include "layers/LayerList.h"
#include "host/player/ButtonActions.h"
#include "host/player/ObjectActions.h"
#include "objects/buttons/Buttons.h"
#include "stack/cards/CardList.h"
#include "stack/cards/ObjectScan.h"
#include "format/StackFile.h"

namespace {

struct FoundButton {
    uint16_t id = 0;
    bool hidden = false;
};

// The button of that name (any case) among the objects visible on the current card.
FoundButton FindCardButton(const std::string& name) {
    FoundButton found;
    const Handle card = GetCurrentCardRecord();
    if (!card || name.size() >= kButtonNameBytes)
        return found;
    ObjectScan scan;
    BeginObjectScan(scan, card, false);
    ScannedObject object;
    while (NextObjectInScan(scan, &object, true)) {
        if (object.kind != kObjectButton)
            continue;
        HandleLock lock(object.record);
        const std::span<const uint8_t> bytes = lock.bytes();
        if (object.offset + kButtonName + kButtonNameBytes > bytes.size())
            continue;
        const uint8_t* stored = bytes.data() + object.offset + kButtonName;
        if (stored[0] != name.size() ||
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, reinterpret_cast<const char*>(stored + 1),
                           stored[0], name.data(), static_cast<int>(name.size())) != CSTR_EQUAL)
            continue;
        found = {object.id, (object.flags & kObjectHidden) != 0};
        break;
    }
    EndObjectScan(scan);
    return found;
}

// Inverts the button's highlight in the window (a second call takes it away).
void InvertButton(HWND window, uint16_t id) {
    if (const LayerHandle layer = FindLayer(kObjectButton, id)) {
        LayerLock<ButtonLayer> lock(layer);
        if (lock && window)
            HiliteButtonLayer(lock.get(), window);
    }
}

void Unhighlight(HWND window) {
    ButtonCycleState& cycle = ButtonCycle();
    if (cycle.highlighted)
        InvertButton(window, cycle.highlighted);
    cycle.highlighted = 0;
}

}  // namespace

void StartButtonCycle(HWND window, std::span<const uint8_t> list) {
    Unhighlight(window);
    ButtonCycleState& cycle = ButtonCycle();
    cycle.names = ReadCycleNames(list);
    cycle.position = kCycleNoPosition;
    cycle.active = true;
    AdvanceButtonCycle(window);
}

void AdvanceButtonCycle(HWND window) {
    ButtonCycleState& cycle = ButtonCycle();
    Unhighlight(window);
    const size_t count = cycle.names.size();
    if (count == 0)
        return;
    size_t position = cycle.position == kCycleNoPosition || cycle.position >= count ? 0 : cycle.position;
    for (size_t tried = 0; tried < count; ++tried) {
        const size_t entry = position;
        position = (position + 1) % count;
        const FoundButton button = FindCardButton(cycle.names[entry]);
        if (button.id && button.hidden)
            continue;
        if (button.id) {
            InvertButton(window, button.id);
            cycle.highlighted = button.id;
        }
        break;
    }
    cycle.position = static_cast<uint16_t>(position);
}

int ButtonCycleKey(HWND window, UINT message, WPARAM key) {
    ButtonCycleState& cycle = ButtonCycle();
    if (!cycle.active || message != WM_KEYDOWN)
        return 0;
    if (key == VK_TAB) {
        AdvanceButtonCycle(window);
        return 1;
    }
    if (key == VK_RETURN && cycle.highlighted) {
        DoButtonActions(window, cycle.highlighted, PersonsAct::Of(message, key));
        return 1;
    }
    return 0;
}
