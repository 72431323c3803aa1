// "IFEATURE": what an object is, its feature flags and its cursor; and the cursor box that opens
// the chooser.
#include "objects/ObjectInfo.h"

#include <algorithm>
#include <cstdio>

#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "objects/IconChooser.h"
#include "objects/buttons/ButtonIcons.h"
#include "resources/objinfo_ids.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "format/StackFile.h"

namespace {

constexpr int kStringButton = 4026, kStringGraphic = 4027, kStringTextObject = 4028;
constexpr uint16_t kKindFlag = 128, kDropOffFlag = 256;

// The exchange block of the dialog's lifetime.
struct Features {
    uint16_t flags = 0;
    uint16_t cursorId = 0;
    uint16_t kind = 0, id = 0;
    LayerHandle layer = 0;
    bool chosen = false;  // a cursor was chosen in this dialog
};

// The box that shows flag 128 for each kind; the other two are hidden.
int KindBox(uint16_t kind) {
    switch (kind) {
    case kObjectGraphic: return IFE_DRAGGABLE;
    case kObjectButton: return IFE_NO_CLICK;
    case kObjectText: return IFE_TRANSPARENT;
    default: return 0;
    }
}

void SetNumber(HWND dialog, int item, const char* format, long value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    SetDlgItemTextA(dialog, item, text);
}

// Owner, space and position of an object that has a layer; false when it is not found.
bool ShowPlace(HWND dialog, const Features& f) {
    Handle record = 0;
    uint32_t offset = 0;
    if (!FindObject(f.kind, f.id, &record, &offset))
        return false;
    HandleLock lock(record);
    if (!lock)
        return false;
    const std::span<const uint8_t> card = lock.bytes();
    const std::span<const uint8_t> object = card.subspan(std::min<size_t>(offset, card.size()));
    long space = static_cast<long>(GetU32(object, kObjectLength));
    if (f.kind == kObjectButton && (GetU16(object, kButtonOptions) & kButtonShowIcon)) {
        // A missing icon leaves the record's own length.
        if (const uint16_t icon = GetU16(object, kButtonIconId))
            space += static_cast<long>(GetResSize(GetStackResFile(), kIcon, icon));
    }
    SetNumber(dialog, IFE_OWNER, "%d", GetU16(card, kCardId));
    SetNumber(dialog, IFE_SPACE, "%ld", space);
    SetNumber(dialog, IFE_POSITION, "%d", GetObjectIndex(record, f.kind, f.id));
    return true;
}

bool InitFeatures(HWND dialog, const Features& f) {
    CheckDlgButton(dialog, IFE_LOCKED, (f.flags & kObjectLocked) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IFE_GROUP, (f.flags & kObjectBackground) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IFE_HIDDEN, (f.flags & kObjectHidden) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IFE_CURSOR, f.cursorId ? BST_CHECKED : BST_UNCHECKED);
    const int kindBox = KindBox(f.kind);
    if (!kindBox)
        return false;
    for (int box : {IFE_DRAGGABLE, IFE_NO_CLICK, IFE_TRANSPARENT})
        if (box != kindBox)
            ShowWindow(GetDlgItem(dialog, box), SW_HIDE);
    if (f.kind != kObjectButton)
        ShowWindow(GetDlgItem(dialog, IFE_DROP_OFF), SW_HIDE);
    CheckDlgButton(dialog, kindBox, (f.flags & kKindFlag) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IFE_DROP_OFF, (f.flags & kDropOffFlag) ? BST_CHECKED : BST_UNCHECKED);
    const int type = f.kind == kObjectButton ? kStringButton : f.kind == kObjectGraphic ? kStringGraphic : kStringTextObject;
    SetDlgItemTextA(dialog, IFE_TYPE, ResText(type).c_str());
    SetNumber(dialog, IFE_ID, "%d", f.id);
    return !f.layer || ShowPlace(dialog, f);
}

void ApplyFeatures(HWND dialog, Features& f) {
    auto set = [&](int box, uint16_t flag) {
        if (IsDlgButtonChecked(dialog, box) == BST_CHECKED)
            f.flags |= flag;
        else
            f.flags &= static_cast<uint16_t>(~flag);
    };
    set(IFE_LOCKED, kObjectLocked);
    set(IFE_GROUP, kObjectBackground);
    set(IFE_HIDDEN, kObjectHidden);
    set(KindBox(f.kind), kKindFlag);
    if (f.kind == kObjectButton)
        set(IFE_DROP_OFF, kDropOffFlag);
    if (IsDlgButtonChecked(dialog, IFE_CURSOR) != BST_CHECKED)
        f.cursorId = 0;
    else if (const IconSelection* selection = GetIconSelection();
             f.chosen && selection && selection->id && selection->mode == 0)
        f.cursorId = selection->id;  // nothing chosen here (a choice left pending, an icon) keeps the cursor
}

void CentreOnParent(HWND dialog) {
    HWND parent = GetParent(dialog);
    RECT outer, own;
    if (!parent || !GetWindowRect(parent, &outer) || !GetWindowRect(dialog, &own))
        return;
    const int w = own.right - own.left, h = own.bottom - own.top;
    SetWindowPos(dialog, nullptr, (outer.left + outer.right - w) / 2, (outer.top + outer.bottom - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog's features come as its parameter and stay with its window.
INT_PTR CALLBACK FeaturesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* f = KeptDialogState<Features>(dialog, message, lParam);
    if (!f)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        if (!InitFeatures(dialog, *f)) {
            EndDialog(dialog, IDCANCEL);
            return FALSE;
        }
        CentreOnParent(dialog);
        SetFocus(GetDlgItem(dialog, IFE_LOCKED));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IFE_CURSOR:
            if (HIWORD(wParam) == BN_CLICKED)
                f->chosen = ChooseIconIfChecked(dialog, IFE_CURSOR, f->cursorId);
            return TRUE;
        case IDOK:
            ApplyFeatures(dialog, *f);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            ClearIconSelection();
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default: break;
        }
        break;
    default: break;
    }
    return FALSE;
}

}  // namespace

INT_PTR ShowItemInfo(HWND window, uint16_t kind, uint16_t id, uint16_t* flags, uint16_t* cursorId, LayerHandle layer) {
    const EditorGuard guard;
    if (!flags || !cursorId)
        return IDCANCEL;
    Features features{*flags, *cursorId, kind, id, layer};
    const INT_PTR result =
        ResDialogBoxParam(window, FeaturesProc, "IFEATURE", reinterpret_cast<LPARAM>(&features));
    if (result != IDOK)
        return IDCANCEL;
    *flags = features.flags;
    *cursorId = features.cursorId;
    return IDOK;
}

bool ChooseIconIfChecked(HWND dialog, int item, uint16_t cursorId) {
    if (IsDlgButtonChecked(dialog, item) != BST_CHECKED) {
        ClearIconSelection();
        return false;
    }
    if (RunIconChooser(dialog, false, cursorId))
        return true;
    if (cursorId == 0)
        CheckDlgButton(dialog, item, BST_UNCHECKED);
    return false;
}
