// A button's actions (ButtonActions.h), and the flag the handlers check while they run.
#include "host/player/ButtonActions.h"

#include <algorithm>
#include <cstring>

#include "host/player/ActionPerform.h"
#include "host/player/DownloadReplay.h"
#include "host/player/ObjectActions.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

constexpr uint8_t kButtonNameMax = kButtonNameBytes - 1;

uint8_t g_lastName[kButtonNameBytes] = {};
bool g_buttonRunning = false;

// The flag is set for the one performance and cleared however it ends.
struct ButtonRun {
    bool previous = g_buttonRunning;
    ButtonRun() { g_buttonRunning = true; }
    ~ButtonRun() { g_buttonRunning = previous; }
};

}  // namespace

bool IsButtonRunning() { return g_buttonRunning; }

const uint8_t* LastButtonName() { return g_lastName; }

namespace {

// The button of that id: in the card record of cardId first when one is named, else the current
// card's, else any card's; its name kept as the last button's. False when there is none (or it
// was deleted).
bool FindButton(uint16_t buttonId, uint16_t cardId, Handle* card, uint32_t* offset) {
    const Handle named = cardId ? FindCardById(cardId) : 0;
    if (named && FindObjectInCard(kObjectButton, buttonId, named, offset))
        *card = named;
    else if (!FindObject(kObjectButton, buttonId, card, offset))
        return false;
    HandleLock lock(*card);
    const std::span<const uint8_t> bytes = lock.bytes();
    if (*offset + kButtonHeaderBytes > bytes.size() || (GetHandleWord(*card, *offset + kObjectFlags) & kObjectDeletedFlag))
        return false;
    // A stored length past the 32 bytes would read into the next field: 31 at most.
    const uint8_t length = std::min(bytes[*offset + kButtonName], kButtonNameMax);
    std::memset(g_lastName, 0, sizeof g_lastName);
    g_lastName[0] = length;
    std::memcpy(g_lastName + 1, &bytes[*offset + kButtonName + 1], length);
    return true;
}

}  // namespace

int DoButtonActions(HWND cardWindow, uint16_t buttonId, ActionOrigin origin) {
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindButton(buttonId, 0, &card, &offset))
        return 0;
    PendingWork work;
    SetPendingButtonRequest(buttonId, GetCardId(card), origin);
    uint8_t label[kButtonNameBytes];
    std::memcpy(label, g_lastName, sizeof label);
    ButtonRun run;
    return PerformObjectActions(cardWindow, card, offset, buttonId, origin, 0, label);
}

int ReplayButtonAction(HWND cardWindow, uint16_t buttonId, uint16_t cardId, uint16_t action, ActionOrigin origin) {
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindButton(buttonId, cardId, &card, &offset))
        return 0;
    PendingWork work;
    SetPendingButtonRequest(buttonId, GetCardId(card), origin);
    ButtonRun run;
    return PerformOneAction(cardWindow, card, offset, buttonId, origin, action);
}
