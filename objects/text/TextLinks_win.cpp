// The link under a click in a field window, and its flash (TextLinks_win.h).
#include "objects/text/TextLinks_win.h"

#include <algorithm>
#include <string>

#include "core/memory/Handles.h"
#include "objects/text/TextFields.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

// Waits on a thread timer: paint and everything else goes on being handled, while mouse and key
// input meant for the card window or its fields is dropped. A quit ends the wait and is posted
// again for the loop outside; false then.
bool WaitOnTimer(HWND card, UINT milliseconds) {
    const UINT_PTR timer = SetTimer(nullptr, 0, milliseconds, nullptr);
    if (!timer)
        return true;
    bool goOn = true;
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            goOn = false;
            break;
        }
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer)
            break;
        if (IsInput(msg.message) && card && (msg.hwnd == card || IsChild(card, msg.hwnd)))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, timer);
    return goOn;
}

// The field's position for the match: the character under the point in a read-only field, else
// the selection the click has put there.
struct FieldPosition {
    int32_t p = 0, selStart = 0, selEnd = 0;
};

FieldPosition PositionOf(HWND window, bool readOnly, POINT point) {
    FieldPosition at;
    if (readOnly) {
        at.p = at.selStart = at.selEnd = TextCharFromPos(window, point);
    } else {
        TextGetSel(window, &at.selStart, &at.selEnd);
        at.p = at.selStart;
    }
    return at;
}

}  // namespace

uint16_t MatchLinkAtPosition(std::span<const uint8_t> record, uint16_t linkId, uint16_t fieldId, bool readOnly,
                             HWND window, POINT point, int32_t* start, int32_t* end) {
    const std::optional<LinkFields> link = ReadLinkFields(record);
    if (!link || link->fieldId != fieldId || link->text.empty() || !IsWindow(window))
        return 0;
    const FieldPosition at = PositionOf(window, readOnly, point);
    if (at.p < 0)
        return 0;
    const int32_t n = static_cast<int32_t>(link->text.size());
    const int32_t length = TextGetLength(window);
    const int32_t from = std::max(at.p - n, 0);
    const int32_t to = std::min(at.p + n, length);
    if (to <= from)
        return 0;
    const std::string characters = TextGetRange(window, from, to, to - from);
    const std::optional<LinkRange> range =
        MatchLinkInWindow(characters, from, link->text, readOnly, at.p, at.selStart, at.selEnd);
    if (!range)
        return 0;
    if (start)
        *start = range->start;
    if (end)
        *end = range->end;
    return link->hasActions ? linkId : 0;
}

uint16_t FindLinkAtCaret(LayerHandle field, POINT point, int32_t* start, int32_t* end) {
    HWND window = nullptr;
    uint16_t id = 0;
    bool readOnly = false;
    {
        LayerLock<FieldLayer> layer(field);
        if (!layer || layer->common.kind != kObjectText)
            return 0;
        window = layer->window;
        id = layer->common.id;
        readOnly = (layer->options & kTextReadOnly) != 0;
    }
    if (!IsWindow(window))
        return 0;
    StackResFileCurrent stackFile;
    const int count = CountResources(kHlnk);
    for (const uint16_t owner : {id, uint16_t{0}}) {
        for (int i = 1; i <= count; ++i) {
            const uint16_t linkId = GetIndResourceId(kHlnk, i);
            HandleLock lock(GetIndResource(kHlnk, i));
            if (!lock)
                continue;
            if (const uint16_t found = MatchLinkAtPosition(lock.bytes(), linkId, owner, readOnly, window, point, start, end))
                return found;
        }
    }
    return 0;
}

bool IsWholeWordRange(HWND window, int32_t start, int32_t end) {
    if (!IsWindow(window) || start < 0 || end < start)
        return false;
    const int32_t from = std::max(start - 1, 0);
    const std::string around = TextGetRange(window, from, end + 1, end + 1 - from);
    return IsWholeWordIn(around, static_cast<size_t>(start - from), static_cast<size_t>(end - from));
}

bool FlashLinkSelection(HWND window, bool readOnly, int32_t start, int32_t end) {
    if (!IsWindow(window))
        return false;
    const HWND card = GetParent(window);
    int32_t keptStart = 0, keptEnd = 0;
    TextGetSel(window, &keptStart, &keptEnd);
    TextHideSelection(window, false);
    const UINT half = kFlashMilliseconds / 2;
    for (int32_t i = 0; i < kFlashesPerLink; ++i) {
        TextSetSel(window, start, end, false);
        UpdateWindow(window);
        if (!WaitOnTimer(card, half) || !IsWindow(window))
            return false;
        TextSetSel(window, start, start, false);
        UpdateWindow(window);
        if (!WaitOnTimer(card, half) || !IsWindow(window))
            return false;
    }
    if (readOnly)
        TextSetSel(window, start, end, false);
    else
        TextSetSel(window, keptStart, keptEnd, false);
    return true;
}
