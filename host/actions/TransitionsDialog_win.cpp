// "TRANSITIONS": the transition, its speed and a QuickTime effect's settings (ActionsEditor.h).
#include <string>
#include <utility>
#include <vector>

#include "actions/ActionBlock.h"
#include "core/events/EditorGuard.h"
#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "cardview/card/CardRedraw.h"
#include "layers/LayerList.h"
#include "objects/text/TextFields.h"
#include "graphics/palette/AppPalette.h"
#include "cardview/transitions/QtEffect.h"
#include "cardview/transitions/QtEffectResource.h"
#include "cardview/transitions/QtEffectState.h"
#include "cardview/transitions/TransitionTable.h"
#include "host/actions/ActionsEditor.h"
#include "resources/actions_ids.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

// What the dialog is for: its parameter, kept with its window.
struct TransitionDialogRecord {
    uint32_t objectFlag;
    uint32_t titleId;
    uint16_t objectId;
    uint16_t objectKind;
    ActionBlock* block;  // the caller's, whose transition, effect and speed the dialog edits
    // After Try it: the first deactivation gives the activation and these keys back (kMsgReclaim).
    bool reclaim = false;
    HWND reclaimFocus = nullptr;
};

const TransitionDialogRecord& RecordOf(HWND dialog) {
    static const TransitionDialogRecord none{};
    const auto* record = DialogStateOf<const TransitionDialogRecord>(dialog);
    return record ? *record : none;
}

TransitionDialogRecord* EditedRecordOf(HWND dialog) { return DialogStateOf<TransitionDialogRecord>(dialog); }

constexpr int kSpeedFast = 8, kSpeedMedium = 16, kSpeedSlow = 32;
constexpr int kTryColorIndex = 103;

bool IsFade(int number) {
    return number == kTransFadeToBlack || number == kTransFadeToWhite || number == kTransFadeToButtonColor;
}

HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_TRANS_LIST); }

int SelectedNumber(HWND dialog) {
    const LRESULT at = SendMessageA(List(dialog), LB_GETCURSEL, 0, 0);
    if (at == LB_ERR)
        return 0;
    return static_cast<int>(SendMessageA(List(dialog), LB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

void SelectNumber(HWND dialog, int number) {
    HWND list = List(dialog);
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) == number) {
            SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
}

void FillList(HWND dialog, bool object) {
    HWND list = List(dialog);
    for (int i = 0; i < kTransitionListCount; ++i) {
        const int number = kTransitionListNumbers[static_cast<size_t>(i)];
        if (object && IsFade(number))
            continue;
        char name[64] = {};
        LoadResString(static_cast<uint32_t>(2750 + i), name, sizeof name);
        const LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        if (at >= 0)
            SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), number);
    }
    QTFillEffectList(kFirstEffectListItem, list);
}

void ShowSettings(HWND dialog) {
    ShowWindow(GetDlgItem(dialog, IDC_TRANS_SETTINGS), SelectedNumber(dialog) >= kFirstEffectListItem ? SW_SHOW : SW_HIDE);
}

// A selected effect becomes the current one; a plain transition lets it go.
void OnSelection(HWND dialog) {
    const int number = SelectedNumber(dialog);
    if (number >= kFirstEffectListItem)
        QTSetEffectFromTransition(number - 1);
    else
        QTReleaseCurrentEffectRecord();
    ShowSettings(dialog);
}

int ReadSpeed(HWND dialog) {
    if (IsDlgButtonChecked(dialog, IDC_TRANS_SLOW) == BST_CHECKED)
        return kSpeedSlow;
    if (IsDlgButtonChecked(dialog, IDC_TRANS_MEDIUM) == BST_CHECKED)
        return kSpeedMedium;
    return kSpeedFast;
}

// The effect's duration follows the speed: speed x 0.125 x 12.
void TimeEffect(int speed) {
    const QtEffectRecord* current = QTCurrentEffectRecord();
    if (!current)
        return;
    QTSetEffectParams(current->timeScale, static_cast<int32_t>(speed * 0.125 * 12), current->frameCount,
                      current->rate);
}

void TakeChoice(HWND dialog, bool ok) {
    ActionBlock* block = RecordOf(dialog).block;
    if (!block)
        return;
    const int number = SelectedNumber(dialog);
    const int speed = ReadSpeed(dialog);
    if (number > 0)
        block->transition = static_cast<uint16_t>(number);
    block->effectValue = 0;
    if (number >= kFirstEffectListItem) {
        const int16_t current = QTGetCurrentEffectId();
        block->effectValue = static_cast<uint16_t>(current);
        // The effect's record waits for the save of the actions: a Cancel after this OK leaves
        // no 'QTFX' behind.
        if (ok) {
            TimeEffect(speed);
            if (QtEffectRecord* record = QTCurrentEffectRecord()) {
                const uint16_t id = current > 0 ? static_cast<uint16_t>(current) : uint16_t{0};
                if (Handle data = PackQTEffectRecord(record))
                    SetPendingEffectRequest({kQtfx, id, 0, data, kResRequestCarryOut, {}, 0, 0});
            }
        }
    } else if (ok) {
        DropPendingEffectRequest();
    }
    block->transitionSpeed = static_cast<uint16_t>(speed);
}

// The object of the current card is put in the state opposite to the one the transition leads
// to, changed with it, then shown as it is stored.
void TryOnObject(const TransitionDialogRecord& record, int transition, int speed) {
    const uint16_t kind = record.objectKind, id = record.objectId;
    // A transition lets messages through: the object's record is found again for each change,
    // and only while its stack and card are still the current ones.
    const LayerName name = NameOfObject(kind, id);
    const auto flagsWord = [&](Handle* card, uint32_t* offset) {
        *card = GetCurrentCardRecord();
        return IsNamedCardCurrent(name) && *card && FindObjectInCard(kind, id, *card, offset);
    };
    Handle card = 0;
    uint32_t offset = 0;
    if (!flagsWord(&card, &offset))
        return;
    const uint16_t stored = GetHandleWord(card, offset + kObjectFlags);
    const bool showing = record.titleId == kTitleShowItem;
    const auto setFlags = [&](uint16_t flags) {
        if (!flagsWord(&card, &offset))
            return false;
        SetHandleWord(card, offset + kObjectFlags, flags);
        return true;
    };
    const auto hidden = [&](bool hide) {
        return static_cast<uint16_t>(hide ? stored | kObjectHidden : stored & ~kObjectHidden);
    };
    if (setFlags(hidden(showing)))
        UpdateObjectOnCard(kind, id, {kTransFastest, 0, kSpeedFast}, 0);
    if (setFlags(hidden(!showing)))
        UpdateObjectOnCard(kind, id, {transition, 0, speed}, 0);
    if (setFlags(stored))
        UpdateObjectOnCard(kind, id, {kTransFastest, 0, kSpeedFast}, 0);
}

// The windows standing over the card while the dialog runs: the dialog and the dialogs that own
// it, up to the window that holds the card (the browser's, which stays where it is).
std::vector<HWND> WindowsOverCard(HWND dialog) {
    std::vector<HWND> over;
    HWND card = GetCardWindow();
    RECT cardOnScreen{};
    if (card) {
        GetClientRect(card, &cardOnScreen);
        MapWindowPoints(card, nullptr, reinterpret_cast<POINT*>(&cardOnScreen), 2);
    }
    for (HWND at = dialog; at && at != card && !IsChild(at, card) && over.size() < 16; at = GetParent(at)) {
        RECT place{}, both{};
        if (GetWindowRect(at, &place) && IntersectRect(&both, &place, &cardOnScreen))
            over.push_back(at);
    }
    return over;
}

// The display tells of the focus a window off the screen lost only once the dialog reads its
// messages again, after the windows are back: the first deactivation then is that word, and
// the dialog takes the activation and the keys back (kMsgReclaim). Armed after Try it, until it
// is used or the dialog is used.
constexpr UINT kMsgReclaim = WM_APP + 1;

void GiveKeys(HWND dialog, HWND focus) {
    SetForegroundWindow(dialog);
    SetActiveWindow(dialog);
    SetFocus(focus && IsChild(dialog, focus) ? focus : GetDlgItem(dialog, IDC_TRANS_TRY));
}

// The windows that cover the card step aside (off the screen) while it shows the choice, and
// come back where they were, the dialog active again with the keys where they were.
class OffTheScreen {
public:
    explicit OffTheScreen(HWND dialog) : dialog_(dialog), focus_(GetFocus()) {
        const int offX = GetSystemMetrics(SM_CXSCREEN) + 20;
        const int offY = GetSystemMetrics(SM_CYSCREEN) + 20;
        for (HWND window : WindowsOverCard(dialog)) {
            RECT place{};
            GetWindowRect(window, &place);
            moved_.push_back({window, place});
            SetWindowPos(window, nullptr, offX, offY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ~OffTheScreen() {
        for (const auto& [window, place] : moved_) {
            if (IsWindow(window))
                SetWindowPos(window, nullptr, place.left, place.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (!IsWindow(dialog_))
            return;
        GiveKeys(dialog_, focus_);
        if (TransitionDialogRecord* record = EditedRecordOf(dialog_); record && !moved_.empty()) {
            record->reclaim = true;
            record->reclaimFocus = focus_;
        }
    }
    OffTheScreen(const OffTheScreen&) = delete;
    OffTheScreen& operator=(const OffTheScreen&) = delete;

private:
    HWND dialog_, focus_;
    std::vector<std::pair<HWND, RECT>> moved_;
};

// The card, or the object, shows the choice while what covers it steps aside.
void TryIt(HWND dialog) {
    const OffTheScreen aside(dialog);
    const int number = SelectedNumber(dialog);
    const int speed = ReadSpeed(dialog);
    int transition = number;
    if (number >= kFirstEffectListItem) {
        TimeEffect(speed);
        transition = kTransQuickTimeEffect;
    }
    HWND window = GetMainWindow();
    if (const TransitionDialogRecord& record = RecordOf(dialog); record.objectFlag) {
        TryOnObject(record, transition, speed);
    } else if (window) {
        RECT client{};
        GetClientRect(window, &client);
        // The text objects are filled over and come in with the card.
        const TextFieldWindowsHeld held(client);
        if (!IsFade(number)) {
            WindowDC dc(window);
            OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(PaletteIndexToColor(kTryColorIndex)));
            if (dc && brush)
                FillRect(dc.get(), &client, brush.get());
        }
        // The card as it is: drawing it afresh would add a second set of layers and windows.
        ShowCardAsItIs({transition, 0, speed});
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
}

void Start(HWND dialog) {
    const ActionBlock& block = *RecordOf(dialog).block;
    QTSelectEffect(static_cast<int16_t>(block.effectValue));
    FillList(dialog, RecordOf(dialog).objectFlag != 0);
    SelectNumber(dialog, block.transition);
    const int speedId = block.transitionSpeed == kSpeedSlow     ? IDC_TRANS_SLOW
                        : block.transitionSpeed == kSpeedMedium ? IDC_TRANS_MEDIUM
                                                                 : IDC_TRANS_FAST;
    CheckRadioButton(dialog, IDC_TRANS_FAST, IDC_TRANS_SLOW, speedId);
    ShowWindow(GetDlgItem(dialog, IDC_TRANS_CHANGE_CARD), IsWalkingToAnotherCard() ? SW_SHOW : SW_HIDE);
    ShowSettings(dialog);
    char title[128] = {};
    if (LoadResString(RecordOf(dialog).titleId, title, sizeof title) > 0)
        SetWindowTextA(dialog, title);
}

INT_PTR CALLBACK TransitionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        Start(dialog);
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE && RecordOf(dialog).reclaim)
            PostMessageA(dialog, kMsgReclaim, 0, 0);
        return FALSE;
    case kMsgReclaim:
        if (TransitionDialogRecord* record = EditedRecordOf(dialog); record && record->reclaim) {
            record->reclaim = false;
            GiveKeys(dialog, record->reclaimFocus);
        }
        return TRUE;
    case WM_COMMAND:
        if (TransitionDialogRecord* record = EditedRecordOf(dialog); record && LOWORD(wParam) != IDC_TRANS_TRY)
            record->reclaim = false;
        switch (LOWORD(wParam)) {
        case IDC_TRANS_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                OnSelection(dialog);
            return TRUE;
        case IDC_TRANS_SETTINGS: QTEditEffectParams(dialog); return TRUE;
        case IDC_TRANS_TRY: TryIt(dialog); return TRUE;
        case IDOK: TakeChoice(dialog, true); EndDialog(dialog, IDOK); return TRUE;
        case IDC_TRANS_CHANGE_CARD: TakeChoice(dialog, false); EndDialog(dialog, IDC_TRANS_CHANGE_CARD); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

int RunTransitionsDialog(HWND window, ActionBlock& block, int objectFlag, uint32_t titleId, uint16_t objectKind,
                         uint16_t objectId) {
    const EditorGuard guard;
    TransitionDialogRecord record{static_cast<uint32_t>(objectFlag), titleId, objectId, objectKind, &block};
    const INT_PTR result = ResDialogBoxParam(window, TransitionsProc, "TRANSITIONS", reinterpret_cast<LPARAM>(&record));
    if (result == IDOK || result == IDC_TRANS_CHANGE_CARD)
        return static_cast<int>(result);
    return IDCANCEL;
}
