// Following text links (TextLinkFollow.h).
#include "host/player/TextLinkFollow.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "host/player/DownloadReplay.h"
#include "host/player/ObjectActions.h"
#include "objects/text/TextLinks_win.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

constexpr size_t kLinkNameBytes = 32;
constexpr size_t kLinkLabelMax = 255;  // characters of the event's label

uint8_t g_linkName[kLinkNameBytes] = {};

}  // namespace

bool StackFollowsLinks() {
    const Handle header = GetStackHeaderHandle();
    HandleLock lock(header);
    return lock && GetHandleSize(header) >= kStackHeaderBytes &&
           GetU16({lock.get(), kStackHeaderBytes}, kHeaderTimersAndLinks) == 1;
}

int FollowTextLink(int x, int y, bool suppress, int pending, ActionOrigin origin) {
    if (pending && GetActiveTextField())
        return pending;
    if (suppress || !IsBrowseMode() || !StackFollowsLinks())
        return pending;
    const LayerHandle top = HitTestLayers(x, y, false, nullptr);
    RECT bounds = {};
    {
        LayerLock<> layer(top);
        if (!layer || layer->kind != kObjectText)
            return pending;
        bounds = layer->bounds;
    }
    const int performed = FollowLinkAtPoint(top, {x - bounds.left, y - bounds.top}, origin);
    return pending ? pending : performed;
}

int FollowLinkAtPoint(LayerHandle field, POINT point, ActionOrigin origin) {
    int32_t start = 0, end = 0;
    const uint16_t id = FindLinkAtCaret(field, point, &start, &end);
    if (!id)
        return 0;
    HWND window = nullptr;
    bool readOnly = false;
    {
        LayerLock<FieldLayer> layer(field);
        if (!layer)
            return 0;
        window = layer->window;
        readOnly = (layer->options & kTextReadOnly) != 0;
    }
    if (!IsWholeWordRange(window, start, end))
        return 0;
    // The card's timers run during the flash: a link whose field or card has gone by then is
    // not followed.
    const uint16_t card = GetCurrentCardId();
    if (!FlashLinkSelection(window, readOnly, start, end) || GetCurrentCardId() != card)
        return 0;
    return PerformLinkActions(id, origin);
}

int PerformLinkActions(uint16_t linkId, ActionOrigin origin) {
    if (!IsBrowseMode() || linkId == 0)
        return 0;
    Handle data = 0;
    {
        StackResFileCurrent stackFile;
        data = GetResource(kHlnk, linkId);
    }
    uint8_t label[kLinkLabelMax + 1] = {};
    uint32_t offset = 0;
    {
        HandleLock lock(data);
        const std::optional<LinkFields> link = lock ? ReadLinkFields(lock.bytes()) : std::nullopt;
        if (!link || !link->hasActions)
            return 0;
        offset = link->actionOffset;
        const size_t n = std::min(link->text.size(), kLinkLabelMax);
        label[0] = static_cast<uint8_t>(n);
        std::memcpy(label + 1, link->text.data(), n);
        std::memset(g_linkName, 0, sizeof g_linkName);
        g_linkName[0] = static_cast<uint8_t>(std::min(n, kLinkNameMax));
        std::memcpy(g_linkName + 1, label + 1, g_linkName[0]);
    }
    PendingWork work;
    PerformObjectActions(GetMainWindow(), data, offset, linkId, origin, 0, label);
    return 1;
}

const uint8_t* LastLinkName() { return g_linkName; }
