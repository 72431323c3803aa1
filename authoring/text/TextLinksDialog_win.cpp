// The Hypertext Links dialog (TextLinksDialog.h). Its list is rebuilt from the stack's 'Hlnk'
// resources after every change, so it always shows what the stack holds.
#include "authoring/text/TextLinksDialog.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/ActionsDialog.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "objects/text/TextFields.h"
#include "objects/text/TextLinks.h"
#include "resources/text_ids.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

enum : uint32_t { kAlertDeleteLink = 2331, kAlertReplaceLink = 2332, kAlertUnassignedLinks = 2333, kAlertRenameHow = 2356 };
constexpr int kAlertNo = 1;            // the first label of 2331 to 2333

struct LinkItem {
    std::string name;  // the first 31 characters of the text
    std::string text;
    uint16_t id = 0;
    uint16_t fieldId = 0;
    bool hasActions = false;
};

// The dialog's working state, kept while Actions... takes the person to the actions dialog and
// handed to each opening.
struct LinksDialog {
    uint16_t fieldId = 0;  // the active field's, 0 without one
    // The stack whose links these are: another stack opened under the actions dialog has links
    // of the same ids.
    StackIdentity stack = {};
    std::vector<LinkItem> items;
    HFONT italic = nullptr;
    bool reopened = false;
    std::string keptText;
    DWORD keptSelStart = 0, keptSelEnd = 0;
    int keptSelection = -1;
    int keptFocus = 0;
    Handle actionData = 0;  // what the actions dialog edits
    uint32_t actionOffset = 0;
    uint16_t actionLinkId = 0;
    bool actionLinkHadActions = false;
};

// The state of the open dialog, kept with it from WM_INITDIALOG on.
LinksDialog& DialogOf(HWND dialog) { return *reinterpret_cast<LinksDialog*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

std::string ControlText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
           });
}

// The stack's links of the active field and of all fields: the field's first, each group by name.
std::vector<LinkItem> ReadLinkItems(uint16_t fieldId) {
    std::vector<LinkItem> items;
    StackResFileCurrent stackFile;
    const int count = CountResources(kHlnk);
    for (int i = 1; i <= count; ++i) {
        const uint16_t id = GetIndResourceId(kHlnk, i);
        HandleLock lock(GetIndResource(kHlnk, i));
        const std::optional<LinkFields> link = lock ? ReadLinkFields(lock.bytes()) : std::nullopt;
        if (!link || (link->fieldId != 0 && link->fieldId != fieldId))
            continue;
        LinkItem item;
        item.text.assign(link->text);
        item.name = item.text.substr(0, kLinkNameMax);
        item.id = id;
        item.fieldId = link->fieldId;
        item.hasActions = link->hasActions;  // a link whose action bytes are missing has none
        items.push_back(item);
    }
    std::stable_sort(items.begin(), items.end(), [](const LinkItem& a, const LinkItem& b) {
        if ((a.fieldId != 0) != (b.fieldId != 0))
            return a.fieldId != 0;
        return a.name < b.name;
    });
    return items;
}

// A private copy of the link's record; 0 when it is gone.
Handle LoadLink(uint16_t id) {
    StackResFileCurrent stackFile;
    Handle copy = GetResource(kHlnk, id);
    if (!copy || HandToHand(&copy) != 0)
        return 0;
    return copy;
}

void DeleteLink(uint16_t id) {
    StackResFileCurrent stackFile;
    RemoveResourceEntry(kHlnk, id);
    MarkCardChanged();
}

// The link rebuilt with another text or scope: same id and actions, its action data moved
// behind the new text, then written. False when it could not be.
bool RewriteLink(uint16_t id, const std::string* text, const uint16_t* fieldId) {
    const Handle old = LoadLink(id);
    std::vector<uint8_t> record;
    {
        HandleLock lock(old);
        const std::optional<LinkFields> link = lock ? ReadLinkFields(lock.bytes()) : std::nullopt;
        if (link) {
            std::span<const uint8_t> actions;
            if (link->hasActions)
                actions = lock.bytes().subspan(link->actionOffset);
            // The resource's id names the link, whatever an older copy left in its first word.
            record = BuildLinkRecord(id, fieldId ? *fieldId : link->fieldId, text ? *text : std::string(link->text),
                                     link->hasActions, actions);
        }
    }
    DisposeHandle(old);
    const Handle rebuilt = record.empty() ? 0 : NewHandleFromBytes(record);
    const bool written = rebuilt && UpdateLinkRecord(rebuilt) == 0;
    DisposeHandle(rebuilt);
    if (written)
        MarkCardChanged();
    return written;
}

// Another link of that text in that scope; 0 when none.
uint16_t FindDuplicate(uint16_t activeFieldId, const std::string& text, uint16_t fieldId, uint16_t except) {
    for (const LinkItem& item : ReadLinkItems(activeFieldId))
        if (item.id != except && item.fieldId == fieldId && SameText(item.text, text))
            return item.id;
    return 0;
}

// Asks before a duplicate is replaced: true to go on (the duplicate is gone then), false to stop.
bool ClearDuplicate(HWND dialog, const std::string& text, uint16_t fieldId, uint16_t except, bool* replaced) {
    *replaced = false;
    const uint16_t duplicate = FindDuplicate(DialogOf(dialog).fieldId, text, fieldId, except);
    if (!duplicate)
        return true;
    if (ShowAlertOn(dialog, kAlertReplaceLink) == kAlertNo)
        return false;
    DeleteLink(duplicate);
    *replaced = true;
    return true;
}

int SelectedIndex(HWND dialog) {
    LinksDialog& d = DialogOf(dialog);
    const LRESULT at = SendDlgItemMessageA(dialog, IDC_LINK_LIST, LB_GETCURSEL, 0, 0);
    return at == LB_ERR || at >= static_cast<LRESULT>(d.items.size()) ? -1 : static_cast<int>(at);
}

const LinkItem* SelectedItem(HWND dialog) {
    LinksDialog& d = DialogOf(dialog);
    const int at = SelectedIndex(dialog);
    return at < 0 ? nullptr : &d.items[static_cast<size_t>(at)];
}

void UpdateButtons(HWND dialog) {
    LinksDialog& d = DialogOf(dialog);
    const bool hasText = GetWindowTextLengthA(GetDlgItem(dialog, IDC_LINK_TEXT)) > 0;
    const bool hasLinks = !d.items.empty();
    EnableWindow(GetDlgItem(dialog, IDC_LINK_ADD), hasText || SelectedIndex(dialog) >= 0);
    for (int id : {IDC_LINK_DELETE, IDC_LINK_ACTIONS, IDC_LINK_RENAME})
        EnableWindow(GetDlgItem(dialog, id), hasLinks);
    EnableWindow(GetDlgItem(dialog, IDC_LINK_FIELD_ONLY), d.fieldId != 0 && (hasText || hasLinks));
}

void ShowSelection(HWND dialog) {
    if (const LinkItem* item = SelectedItem(dialog))
        CheckDlgButton(dialog, IDC_LINK_FIELD_ONLY, item->fieldId != 0 ? BST_CHECKED : BST_UNCHECKED);
    UpdateButtons(dialog);
}

// The list read again; the item of that id selected (else the index, kept in the list).
void Relist(HWND dialog, uint16_t selectId, int fallbackIndex = 0) {
    LinksDialog& d = DialogOf(dialog);
    d.items = ReadLinkItems(d.fieldId);
    const HWND list = GetDlgItem(dialog, IDC_LINK_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int select = -1;
    for (size_t i = 0; i < d.items.size(); ++i) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d.items[i].name.c_str()));
        if (d.items[i].id == selectId)
            select = static_cast<int>(i);
    }
    if (select < 0 && !d.items.empty())
        select = std::clamp(fallbackIndex, 0, static_cast<int>(d.items.size()) - 1);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    ShowSelection(dialog);
}

uint16_t AddLink(HWND dialog, const std::string& text) {
    LinksDialog& d = DialogOf(dialog);
    const uint16_t scope = IsDlgButtonChecked(dialog, IDC_LINK_FIELD_ONLY) == BST_CHECKED ? d.fieldId : 0;
    bool replaced = false;
    if (!ClearDuplicate(dialog, text, scope, 0, &replaced))
        return 0;
    const Handle words = NewHandleFromBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    const Handle link = words ? NewLinkResource(words, scope) : 0;
    DisposeHandle(words);
    const uint16_t id = link ? GetHandleWord(link, 0) : 0;
    DisposeHandle(link);
    Relist(dialog, id);
    return id;
}

void OnAdd(HWND dialog) {
    const std::string text = ControlText(dialog, IDC_LINK_TEXT);
    if (!text.empty())
        AddLink(dialog, text);
}

void OnDelete(HWND dialog) {
    LinksDialog& d = DialogOf(dialog);
    const int at = SelectedIndex(dialog);
    if (at < 0 || ShowAlertOn(dialog, kAlertDeleteLink) == kAlertNo)
        return;
    DeleteLink(d.items[static_cast<size_t>(at)].id);
    Relist(dialog, 0, at);
    if (d.items.empty()) {
        UpdateButtons(dialog);
        const HWND edit = GetDlgItem(dialog, IDC_LINK_TEXT);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
    }
}

void OnRename(HWND dialog) {
    const std::string text = ControlText(dialog, IDC_LINK_TEXT);
    const LinkItem* item = SelectedItem(dialog);
    if (text.empty() || !item) {
        ShowAlertOn(dialog, kAlertRenameHow);
        SetFocus(GetDlgItem(dialog, IDC_LINK_TEXT));
        return;
    }
    const uint16_t id = item->id, scope = item->fieldId;
    bool replaced = false;
    if (!ClearDuplicate(dialog, text, scope, id, &replaced))
        return;
    if (replaced) {
        AddLink(dialog, text);
        return;
    }
    RewriteLink(id, &text, nullptr);
    Relist(dialog, id);
}

void OnFieldOnly(HWND dialog) {
    LinksDialog& d = DialogOf(dialog);
    const LinkItem* item = SelectedItem(dialog);
    if (!item || d.fieldId == 0) {
        UpdateButtons(dialog);
        return;
    }
    const uint16_t id = item->id;
    const uint16_t scope = item->fieldId == 0 ? d.fieldId : 0;
    bool replaced = false;
    if (ClearDuplicate(dialog, item->text, scope, id, &replaced))
        RewriteLink(id, nullptr, &scope);
    Relist(dialog, id);
}

// Actions...: the state kept, the dialog ended for the actions dialog to run.
void OnActions(HWND dialog) {
    LinksDialog& d = DialogOf(dialog);
    const LinkItem* item = SelectedItem(dialog);
    if (!item)
        return;
    const Handle link = LoadLink(item->id);
    d.actionLinkId = item->id;
    d.actionLinkHadActions = item->hasActions;
    d.actionData = link ? CopyLinkRecord(link, nullptr, &d.actionOffset) : 0;
    DisposeHandle(link);
    if (!d.actionData)
        return;
    d.keptText = ControlText(dialog, IDC_LINK_TEXT);
    SendDlgItemMessageA(dialog, IDC_LINK_TEXT, EM_GETSEL, reinterpret_cast<WPARAM>(&d.keptSelStart),
                        reinterpret_cast<LPARAM>(&d.keptSelEnd));
    d.keptSelection = SelectedIndex(dialog);
    d.keptFocus = GetDlgCtrlID(GetFocus());
    EndDialog(dialog, IDC_LINK_ACTIONS);
}

// The edited actions saved into the link: over its own action data, or the link rebuilt with
// the new action record behind its text (what a damaged link held past its text goes). Has-actions
// is set and the link written.
void SaveEditedActions(const LinksDialog& d) {
    Handle link = d.actionData;
    if (!d.actionLinkHadActions) {
        const Handle old = LoadLink(d.actionLinkId);
        std::vector<uint8_t> record;
        {
            HandleLock lock(old);
            HandleLock actions(d.actionData);
            const std::optional<LinkFields> fields = lock ? ReadLinkFields(lock.bytes()) : std::nullopt;
            if (fields && actions)
                record = BuildLinkRecord(d.actionLinkId, fields->fieldId, fields->text, true, actions.bytes());
        }
        DisposeHandle(old);
        link = record.empty() ? 0 : NewHandleFromBytes(record);
    }
    if (link && SetHandleWord(link, 0, d.actionLinkId) && SetHandleWord(link, kLinkHasButton, 1) &&
        UpdateLinkRecord(link) == 0)
        MarkCardChanged();
    if (link != d.actionData)
        DisposeHandle(link);
}

bool OnDone(HWND dialog) {
    LinksDialog& d = DialogOf(dialog);
    const bool unassigned = std::any_of(d.items.begin(), d.items.end(),
                                        [](const LinkItem& item) { return !item.hasActions; });
    if (unassigned && ShowAlertOn(dialog, kAlertUnassignedLinks) == kAlertNo)
        return false;
    EndDialog(dialog, IDOK);
    return true;
}

// A double-clicked word comes selected with the blank after it; a link of that text would
// never stand as a whole word before the next one.
std::string WithoutSurroundingBlanks(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

void OnInit(HWND dialog) {
    LinksDialog& d = DialogOf(dialog);
    if (!d.reopened) {
        HWND field = nullptr;
        {
            LayerLock<FieldLayer> layer(GetActiveTextField());
            if (layer && layer->common.kind == kObjectText)
                field = layer->window;
        }
        if (field && IsWindow(field)) {
            const Handle selected = TextGetSelectedText(field);
            {
                HandleLock text(selected);
                if (text)
                    SetDlgItemTextA(dialog, IDC_LINK_TEXT, WithoutSurroundingBlanks(reinterpret_cast<const char*>(text.get())).c_str());
            }
            DisposeHandle(selected);
        }
    }
    Relist(dialog, 0);
    CenterWindowOnParent(dialog);
    const HWND list = GetDlgItem(dialog, IDC_LINK_LIST);
    const HWND edit = GetDlgItem(dialog, IDC_LINK_TEXT);
    if (d.reopened) {
        SetDlgItemTextA(dialog, IDC_LINK_TEXT, d.keptText.c_str());
        SendMessageA(edit, EM_SETSEL, d.keptSelStart, d.keptSelEnd);
        if (d.keptSelection >= 0)
            SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(d.keptSelection), 0);
        ShowSelection(dialog);
        const HWND focus = GetDlgItem(dialog, d.keptFocus);
        SetFocus(focus ? focus : list);
        return;
    }
    if (d.items.empty()) {
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
    } else {
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        ShowSelection(dialog);
        SetFocus(list);
    }
}

void MeasureItem(HWND dialog, MEASUREITEMSTRUCT* measure) {
    HDC dc = GetDC(dialog);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    measure->itemHeight = static_cast<UINT>(metrics.tmHeight + metrics.tmExternalLeading);
}

HFONT ItalicFont(HWND dialog) {
    LinksDialog& d = DialogOf(dialog);
    if (!d.italic) {
        LOGFONTA face = {};
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        GetObjectA(font ? font : GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
        face.lfItalic = TRUE;
        d.italic = CreateFontIndirectA(&face);
    }
    return d.italic;
}

void DrawItem(HWND dialog, const DRAWITEMSTRUCT* draw) {
    LinksDialog& d = DialogOf(dialog);
    if (draw->itemID >= d.items.size())
        return;
    const LinkItem& item = d.items[draw->itemID];
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    HDC dc = draw->hDC;
    FillRect(dc, &draw->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const HFONT plain = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, item.hasActions ? plain : ItalicFont(dialog));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    RECT margin = draw->rcItem;
    margin.right = margin.left + metrics.tmAveCharWidth + metrics.tmMaxCharWidth;
    if (item.fieldId != 0)
        DrawTextA(dc, "*", 1, &margin, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RECT name = draw->rcItem;
    name.left = margin.right;
    DrawTextA(dc, item.name.c_str(), static_cast<int>(item.name.size()), &name,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, previous);
    if (draw->itemState & ODS_FOCUS)
        DrawFocusRect(dc, &draw->rcItem);
}

INT_PTR CALLBACK LinksDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LinksDialog* d = KeptDialogState<LinksDialog>(dialog, message, lParam);
    if (!d)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: OnInit(dialog); return FALSE;
    case WM_MEASUREITEM: MeasureItem(dialog, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)); return TRUE;
    case WM_DRAWITEM: DrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LINK_ADD: OnAdd(dialog); return TRUE;
        case IDC_LINK_DELETE: OnDelete(dialog); return TRUE;
        case IDC_LINK_RENAME: OnRename(dialog); return TRUE;
        case IDC_LINK_ACTIONS: OnActions(dialog); return TRUE;
        case IDC_LINK_FIELD_ONLY:
            if (HIWORD(wParam) == BN_CLICKED)
                OnFieldOnly(dialog);
            return TRUE;
        case IDC_LINK_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                ShowSelection(dialog);
            else if (HIWORD(wParam) == LBN_DBLCLK)
                OnActions(dialog);
            return TRUE;
        case IDC_LINK_TEXT:
            if (HIWORD(wParam) == EN_CHANGE)
                UpdateButtons(dialog);
            return TRUE;
        case IDOK:
        case IDCANCEL: OnDone(dialog); return TRUE;
        default: return FALSE;
        }
    case WM_DESTROY:
        if (d->italic) {
            DeleteObject(d->italic);
            d->italic = nullptr;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

int EditTextLinks(HWND window) {
    LinksDialog d;
    {
        LayerLock<> field(GetActiveTextField());
        if (field && field->kind == kObjectText)
            d.fieldId = field->id;
    }
    d.stack = CurrentStackIdentity();
    INT_PTR result = IDCANCEL;
    for (;;) {
        result = ResDialogBoxParam(window, LinksDialogProc, "HYPERTEXTLINK", reinterpret_cast<LPARAM>(&d));
        if (result != IDC_LINK_ACTIONS)
            break;
        const bool done = EditObjectActions(d.actionData, d.actionOffset, kActionsOfTextLink) == kActionsDialogOk;
        if (!IsCurrentStack(d.stack)) {
            ShowAlertOn(window, kAlertEditDropped);
            result = IDCANCEL;
            break;
        }
        if (done)
            SaveEditedActions(d);
        DisposeHandleAndClear(&d.actionData);
        d.reopened = true;
    }
    DisposeHandleAndClear(&d.actionData);
    return result == IDOK ? IDOK : IDCANCEL;
}
