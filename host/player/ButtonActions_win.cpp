// A button's actions (ButtonActions.h), and the flag the handlers check while they run.
#include "host/player/ButtonActions.h"

#include <algorithm>
#include <cstring>

#include "host/player/ActionPerform.h"
#include "host/player/DownloadReplay.h"
#include "host/player/ObjectActions.h"
#include "stack/cards/CardList.h"
#include "stack/format/StackFile.h"

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

int DoButtonActions(HWND cardWindow, uint16_t buttonId, uint32_t byClick) {
    SetPendingButtonRequest(buttonId, byClick);
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kObjectButton, buttonId, &card, &offset))
        return 0;
    {
        HandleLock lock(card);
        const std::span<const uint8_t> bytes = lock.bytes();
        if (offset + kButtonHeaderBytes > bytes.size() || (GetHandleWord(card, offset + kObjectFlags) & kObjectDeletedFlag))
            return 0;
        // A stored length past the 32 bytes would read into the next field: 31 at most.
        const uint8_t length = std::min(bytes[offset + kButtonName], kButtonNameMax);
        std::memset(g_lastName, 0, sizeof g_lastName);
        g_lastName[0] = length;
        std::memcpy(g_lastName + 1, &bytes[offset + kButtonName + 1], length);
    }
    uint8_t label[kButtonNameBytes];
    std::memcpy(label, g_lastName, sizeof label);
    ButtonRun run;
    return PerformObjectActions(cardWindow, card, offset, buttonId, static_cast<int>(byClick), 0, label);
}
