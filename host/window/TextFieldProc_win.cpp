// The text field windows' procedure: modules and LoomLogo see the messages first, browse clicks
// perform the field's actions and follow its text links, typed web addresses become links, and
// the rest goes to RichEdit.
// It lives here because it calls the modules, LoomLogo, the performer and the browser.
#include "host/window/TextFieldProc.h"

#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <string>

#include "actions/ActionServices.h"
#include "actions/NbaModules.h"
#include "actions/TextLinkActions.h"
#include "core/events/EditorInput.h"
#include "core/events/MouseHooks.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerBuild.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/launching/LaunchPrograms.h"
#include "host/player/CardNavigation.h"
#include "host/player/TextLinkFollow.h"
#include "host/state/MenuOptions.h"
#include "host/window/CardMessageHandler.h"
#include "logo/Logo.h"
#include "media/MediaLibrary.h"
#include "objects/buttons/Buttons.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/TextFields.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

constexpr WPARAM kKeyFlagsNoLink = MK_LBUTTON | MK_MBUTTON;  // 0x11 exactly: the release follows no link
constexpr int kOpenedUrlBytes = 256;

struct FieldState {
    LayerHandle layer = nullptr;
    uint16_t id = 0, options = 0, objectFlags = 0, actionId = 0;
};

FieldState ReadState(HWND window) {
    FieldState state;
    state.layer = FieldLayerOfWindow(window);
    LayerLock<FieldLayer> field(state.layer);
    if (!field)
        return {};
    state.id = field->common.id;
    state.options = field->options;
    state.objectFlags = field->objectFlags;
    state.actionId = field->actionId;
    return state;
}

bool HidesCaret(const FieldState& state) {
    return state.layer && ((state.options & kTextReadOnly) || (state.objectFlags & kObjectHasPath));
}

bool BrowseOrText(uint32_t tool) { return tool == kBrowseTool || tool == kPaintTextTool; }

// The name of the text object with that id on the card on display (length-prefixed).
std::string FieldName(uint16_t id) {
    struct Search {
        uint16_t id;
        std::string name;
    } search{id, {}};
    WalkVisibleObjects(
        GetCurrentCardRecord(),
        [](void* context, std::span<const uint8_t> object) {
            auto* s = static_cast<Search*>(context);
            if (GetU16(object, kObjectKind) == kObjectText && GetU16(object, kObjectId) == s->id)
                s->name = FieldRecordName(object);
        },
        &search);
    return search.name.empty() ? std::string(1, '\0') : search.name;
}

POINT ToCard(HWND window, LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    MapWindowPoints(window, GetCardWindow(), &point, 1);
    return point;
}

// The characters that change the text of a field that takes them: printable ones, Tab,
// Backspace, Return, and the clipboard and undo keys (Ctrl+V, Ctrl+X, Ctrl+Z, Ctrl+Y).
bool TypesText(WPARAM character) {
    return character >= ' ' || character == '\t' || character == '\b' || character == '\r' || character == 0x16 ||
           character == 0x18 || character == 0x1A || character == 0x19;
}

// The other messages by which a person changes the field's text. Its text is stored, and
// compared with the record's, before the stack is saved or let go.
bool ChangesText(HWND window, UINT message, WPARAM wParam) {
    if (GetWindowLongA(window, GWL_STYLE) & ES_READONLY)
        return false;
    switch (message) {
    case WM_IME_CHAR: return TypesText(wParam);
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REDO: return true;
    case WM_KEYDOWN: return wParam == VK_DELETE;
    default: return false;
    }
}

// A white-space character is about to be typed: the word before the caret may be an address.
void DetectWebAddress(HWND window, const FieldState& state, WPARAM character) {
    int32_t start = 0, end = 0;
    TextGetSel(window, &start, &end);
    if (character == '\r')
        --end;
    const int32_t from = std::max(0, end - kWebAddressLookBack);
    if (end <= from)
        return;
    const std::string word = FindWebAddressWord(TextGetRange(window, from, end, kWebAddressLookBack));
    if (word.empty())
        return;
    if (Handle made = NewHandleFromBytes({reinterpret_cast<const uint8_t*>(word.data()), word.size()})) {
        AddUrlLink(made, state.id);
        DisposeHandle(made);
    }
}

LRESULT OnChar(HWND window, const FieldState& state, WPARAM wParam, LPARAM lParam) {
    if (LogoCardEvent(GetCardWindow(), kBrowseTool, WM_CHAR, wParam, lParam))
        return 0;
    if (!IsWindowVisible(window))
        ShowWindow(window, SW_SHOWNA);
    if (wParam == '\t' && (GetKeyState(VK_SHIFT) & 0x8000)) {
        HWND card = GetCardWindow();
        SendMessageA(card, WM_KEYDOWN, VK_SHIFT, 0);
        SendMessageA(card, WM_CHAR, '\t', lParam);
        return 0;
    }
    if (TypesText(wParam) && !(GetWindowLongA(window, GWL_STYLE) & ES_READONLY))
        MarkFieldModified(state.layer);
    if (IsWhiteSpaceCharacter(static_cast<unsigned>(wParam)))
        DetectWebAddress(window, state, wParam);
    return CallRichEdit(window, WM_CHAR, wParam, lParam);
}

LRESULT OnButtonDown(HWND window, const FieldState& state, WPARAM wParam, LPARAM lParam) {
    const uint32_t tool = GetCurrentTool();
    if (!BrowseOrText(tool))
        return CallRichEdit(window, WM_LBUTTONDOWN, wParam, lParam);
    HWND card = GetCardWindow();
    const POINT at = ToCard(window, lParam);
    if (LogoCardEvent(card, static_cast<int>(tool), WM_LBUTTONDOWN, wParam, MAKELPARAM(at.x, at.y)))
        return CallRichEdit(window, WM_LBUTTONDOWN, wParam, lParam);
    if (tool == kBrowseTool) {
        if (HitTestLayers(at.x, at.y, false, nullptr) != state.layer)
            return SendMessageA(card, WM_LBUTTONDOWN, wParam, MAKELPARAM(at.x, at.y));
        if (!(wParam & MK_CONTROL))
            PerformActionResource(state.actionId, PersonsAct::Of(WM_LBUTTONDOWN), 0, FieldName(state.id).c_str() + 1);
        // The actions may have left the card, and this window with it.
        if (!IsWindow(window))
            return 0;
    }
    if (HidesCaret(state))
        return 0;
    return CallRichEdit(window, WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT OnMouseActivate(HWND window, const FieldState& state, WPARAM wParam, LPARAM lParam) {
    if (!IsWindowVisible(window))
        ShowWindow(window, SW_SHOWNA);
    if (state.layer) {
        if (GetActiveTextField() != state.layer)
            EndTextEditing(GetActiveTextField());
        SetActiveTextField(state.layer);
        SetCurrentFieldName(FieldName(state.id));
    }
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (HidesCaret(state))
        HideCaret(window);
    SetFocus(window);
    return CallRichEdit(window, WM_MOUSEACTIVATE, wParam, lParam);
}

LRESULT OnDropFiles(HWND window, WPARAM wParam) {
    if (!IsAdvancedUser()) {
        DragFinish(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    POINT point = {};
    DragQueryPoint(reinterpret_cast<HDROP>(wParam), &point);
    MapWindowPoints(window, GetCardWindow(), &point, 1);
    if (DropRecord* record = LockDropRecord()) {
        *record = {reinterpret_cast<void*>(wParam), point.x, point.y};
        UnlockDropRecord();
    }
    SendMessageA(GetCardWindow(), WM_DROPFILES, 0, kDropFromTextField);
    if (DropRecord* record = LockDropRecord()) {
        *record = {};
        UnlockDropRecord();
    }
    return 0;
}

}  // namespace

LRESULT CALLBACK TextFieldWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Under an editor a field of the card takes only the editor's own input.
    if (CardInputHeld(message, wParam)) {
        if (message == WM_DROPFILES)
            DragFinish(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    if (ForwardMessageToNBAs(window, message, LOWORD(wParam), lParam))
        return 0;
    if (IsMediaLibTextItem(window)) {
        switch (message) {
        case WM_PRINTCLIENT:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_KEYDOWN:
        case WM_MOUSEACTIVATE:
        case WM_SETCURSOR:
        case WM_CHAR: return 0;
        default: break;
        }
    }
    const FieldState state = ReadState(window);
    if (HidesCaret(state))
        HideCaret(window);
    if (ChangesText(window, message, wParam))
        MarkFieldModified(state.layer);
    switch (message) {
    case WM_CHAR: return OnChar(window, state, wParam, lParam);
    case WM_MOUSEMOVE: {
        const POINT at = ToCard(window, lParam);
        const uint32_t tool = GetCurrentTool();
        if (!LogoCardEvent(GetCardWindow(), static_cast<int>(tool), WM_MOUSEMOVE, wParam, MAKELPARAM(at.x, at.y)))
            TrackButtonsAt(GetCardWindow(), at.x, at.y);
        break;
    }
    case WM_LBUTTONDOWN: return OnButtonDown(window, state, wParam, lParam);
    case WM_LBUTTONUP:
        if (GetCurrentTool() == kBrowseTool && wParam != kKeyFlagsNoLink && StackFollowsLinks() && state.layer) {
            FollowLinkAtPoint(state.layer, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))},
                              PersonsAct::Of(WM_LBUTTONUP));
            // The actions may have left the card, and this window with it.
            if (!IsWindow(window))
                return 0;
        }
        break;
    case WM_SETCURSOR:
        if (!BrowseOrText(GetCurrentTool()) || LOWORD(lParam) == HTVSCROLL)
            break;
        if (HCURSOR cursor = GetFieldCursor(window)) {
            SetClassLongPtrA(GetCardWindow(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
            SetCursor(cursor);
            return 0;
        }
        break;
    case WM_MOUSEACTIVATE: return OnMouseActivate(window, state, wParam, lParam);
    case WM_KILLFOCUS: SendMessageA(window, EM_HIDESELECTION, TRUE, 0); break;
    // The selection hidden when the field lost the keys shows again when it has them back:
    // hidden, it stays so, and a selection made with the mouse would never show.
    case WM_SETFOCUS: SendMessageA(window, EM_HIDESELECTION, FALSE, 0); break;
    case WM_PAINT: {
        HideCaret(window);
        GiveFieldPalette(window);
        if (!(state.objectFlags & kTextTransparent))
            break;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        const bool painted = PaintTransparentField(window, dc);
        EndPaint(window, &paint);
        if (painted)
            return 0;
        break;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: {
        const LRESULT result = CallRichEdit(window, message, wParam, lParam);
        FitFieldTextArea(window);
        return result;
    }
    case WM_DESTROY:
        if (LayerLock<FieldLayer> field(state.layer); field && field->window == window)
            field->window = nullptr;
        SetFieldLayerOfWindow(window, nullptr);
        break;
    case WM_DROPFILES: return OnDropFiles(window, wParam);
    case WM_PALETTECHANGED: {
        if (reinterpret_cast<HWND>(wParam) == window)
            return 0;
        HDC dc = GetDC(window);
        HPALETTE previous = SelectPalette(dc, GetAppPalette(), FALSE);
        const UINT realized = RealizePalette(dc);
        if (previous)
            SelectPalette(dc, previous, FALSE);
        ReleaseDC(window, dc);
        return realized;
    }
    case WM_PRINTCLIENT:
        RenderFieldInto(window, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_NCPAINT: {
        // The border again in a colour the display shows whole: a palette display dithers the
        // window-frame colour into dots.
        const LRESULT result = CallRichEdit(window, message, wParam, lParam);
        if (HDC dc = GetWindowDC(window)) {
            PrintFieldFrame(window, dc);
            ReleaseDC(window, dc);
        }
        return result;
    }
    case WM_PRINT: {
        // Drawn into the card (other tools, transitions), a framed field keeps its frame.
        const LRESULT result = CallRichEdit(window, message, wParam, lParam);
        if (lParam & PRF_NONCLIENT) {
            PrintFieldScrollBar(window, reinterpret_cast<HDC>(wParam));
            PrintFieldFrame(window, reinterpret_cast<HDC>(wParam));
        }
        return result;
    }
    default: break;
    }
    return CallRichEdit(window, message, wParam, lParam);
}

void OpenDetectedUrl(HWND textControl, LPARAM notification) {
    const auto* link = reinterpret_cast<const ENLINK*>(notification);
    if (!link || !IsWindow(textControl))
        return;
    // The range may end at -1 (the text's end) or come reversed: taken within the text, then
    // cut to what the buffer holds.
    const std::string address = TextGetRange(textControl, link->chrg.cpMin, link->chrg.cpMax, kOpenedUrlBytes - 1);
    if (!address.empty())
        OpenUrlString(address.c_str());
}
