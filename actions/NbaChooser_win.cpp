#include "actions/NbaChooser.h"

#include <algorithm>
#include <string>
#include <vector>

#include "actions/ActionBlock.h"
#include "actions/NbaInfo.h"
#include "actions/NbaModules.h"
#include "core/files/FileSlots.h"
#include "core/files/FileTypes.h"
#include "core/files/OpenFileDialog.h"
#include "core/memory/ByteReader.h"
#include "core/ui/Resources.h"
#include "core/ui/UiOps.h"
#include "core/ui/WindowUtils.h"
#include "resources/nba_ids.h"
#include "format/ResFile.h"

namespace {

constexpr uint32_t kAlertNoMemory = 2224;
constexpr uint32_t kAlertCopyFailed = 2261;
constexpr uint32_t kAlertMoveIntoFolder = 2262;
constexpr uint16_t kStringChooseNba = 2412;
constexpr uint32_t kStringNbaFiles = 4107;
constexpr size_t kMaxDataText = 32000;
constexpr size_t kMaxAddedLineFeeds = 400;

// The chooser's working state, from opening to OK or Cancel.
struct ChooserState {
    HWND dialog = nullptr;
    HWND parent = nullptr;
    int source = kSourceSamples;
    uint16_t selectedId = 0;
    uint16_t setUpId = 0;
    Handle data = 0;
    uint16_t aboutFlags = 0;
    bool cancelled = false;
    Handle* callerData = nullptr;
    uint16_t* callerId = nullptr;
    uint16_t objectId = 0;  // whose actions the module is chosen for
};

ChooserState g_chooser;
int32_t g_samplesRef = 0;
int32_t g_diskRef = 0;

void CloseRef(int32_t* ref) {
    if (*ref)
        CloseResFile(*ref);
    *ref = 0;
}

// The stack file in the slot opened for its resources; 0 when it does not open.
int32_t OpenDiskStack(int slot) {
    const FileSpec* chosen = GetFileSpec(slot);
    const uint32_t base = chosen ? GetStackResourceBase(slot) : 0;
    return base ? OpenResFileAt(chosen, base) : 0;
}

void UseStackFile() {
    if (GetStackResFile())
        UseResFile(GetStackResFile());
}

// Text a module keeps, shown with every lone CR made CRLF (at most 400 more characters).
std::string ShownText(std::span<const uint8_t> bytes) {
    std::string text;
    size_t added = 0;
    for (size_t i = 0; i < bytes.size() && bytes[i]; ++i) {
        text += static_cast<char>(bytes[i]);
        const bool lone = bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n');
        if (lone && added < kMaxAddedLineFeeds) {
            text += '\n';
            ++added;
        }
    }
    return text;
}

// The data edit's text without line feeds, as data; 0 when there is none.
Handle DataFromEdit(HWND dialog) {
    std::vector<char> buffer(kMaxDataText + 1, 0);
    const int n = GetDlgItemTextA(dialog, IDC_NBA_DATA, buffer.data(), static_cast<int>(buffer.size()));
    std::vector<uint8_t> data;
    for (int i = 0; i < n; ++i)
        if (buffer[static_cast<size_t>(i)] != '\n')
            data.push_back(static_cast<uint8_t>(buffer[static_cast<size_t>(i)]));
    return data.empty() ? 0 : NewHandleFromBytes(data);
}

void ShowDataEdit(HWND dialog, bool shown) { ShowWindow(GetDlgItem(dialog, IDC_NBA_DATA), shown ? SW_SHOW : SW_HIDE); }
void EnableOk(HWND dialog, bool enabled) { EnableWindow(GetDlgItem(dialog, IDC_NBA_OK), enabled); }

void DropWorkingData() { DisposeHandleAndClear(&g_chooser.data); }

// The information of list entry n: an 'NBAs' resource of the current file, or the module file.
std::vector<uint8_t> EntryInfo(HWND dialog, int n) {
    if (g_chooser.source == kSourceDisk) {
        const Handle info = LoadNbaInfo();
        std::vector<uint8_t> bytes = HandleToBytes(info);
        DisposeHandle(info);
        return bytes;
    }
    const auto id = static_cast<uint16_t>(SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_GETITEMDATA, n, 0));
    return HandleToBytes(GetResource(kNbas, id));
}

void ShowInfo(HWND dialog, int n) {
    if (n < 0) {
        SetDlgItemTextA(dialog, IDC_NBA_INFO, "");
        return;
    }
    const std::vector<uint8_t> info = EntryInfo(dialog, n);
    g_chooser.aboutFlags = GetU16(info, kNbaInfoAboutFlags);
    SetDlgItemTextA(dialog, IDC_NBA_INFO, NbaAboutTextOf(info).c_str());
    SendDlgItemMessageA(dialog, IDC_NBA_INFO, EM_SETSEL, 0, 0);
    SendDlgItemMessageA(dialog, IDC_NBA_INFO, EM_SCROLLCARET, 0, 0);
    g_chooser.selectedId = static_cast<uint16_t>(SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_GETITEMDATA, n, 0));
}

int Selection(HWND dialog) { return static_cast<int>(SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_GETCURSEL, 0, 0)); }

void AddEntry(HWND dialog, const std::string& name, uint16_t id) {
    const auto at = SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_SETITEMDATA, at, id);
}

// Lists the modules of the source; alert 2241 when there are none.
int FillList(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_RESETCONTENT, 0, 0);
    if (g_chooser.source == kSourceDisk) {
        const Handle info = LoadNbaInfo();
        if (!info) {
            ShowCardAlert(kAlertNoNbas);
            return 0;
        }
        const std::vector<uint8_t> bytes = HandleToBytes(info);
        DisposeHandle(info);
        AddEntry(dialog, NbaShortNameOf(bytes), GetU16(bytes, kNbaInfoId));
        return 1;
    }
    const int count = CountResources(kNbas);
    for (int i = 1; i <= count; ++i) {
        const uint16_t id = GetIndResourceId(kNbas, i);
        uint8_t name[kResNameSize] = {};
        GetResName(kNbas, id, name);
        AddEntry(dialog, std::string(reinterpret_cast<char*>(name + 1), std::min<size_t>(name[0], kResNameSize - 1)), id);
    }
    if (count == 0)
        ShowCardAlert(kAlertNoNbas);
    return count;
}

int IndexOfId(HWND dialog, uint16_t id) {
    const int count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_GETITEMDATA, i, 0) == id)
            return i;
    return count > 0 ? 0 : -1;
}

void SetUp(HWND dialog) {
    EnableOk(dialog, true);
    const bool keepsText = !(g_chooser.aboutFlags & kNbaAboutNoText);
    if (keepsText) {
        ShowDataEdit(dialog, true);
        SetFocus(GetDlgItem(dialog, IDC_NBA_DATA));
    }
    const bool hide = g_chooser.aboutFlags & kNbaAboutHideChooser;
    if (hide) {
        ShowWindow(dialog, SW_HIDE);
        if (g_chooser.parent)
            ShowWindow(g_chooser.parent, SW_HIDE);
    }
    ClearNbaParamBlock();
    NbaParamBlock* block = GetNbaParamBlock();
    block->objectId = g_chooser.objectId;
    block->param1 = static_cast<uint32_t>(g_chooser.data);
    if (g_chooser.source == kSourceDisk)
        RunNBAModule(kSlotNbaFolder, kNbaMessageSetUp, g_chooser.selectedId, false);
    else
        SendToNBA(g_chooser.selectedId, kNbaMessageSetUp);
    if (hide) {
        if (g_chooser.parent)
            ShowWindow(g_chooser.parent, SW_SHOW);
        ShowWindow(dialog, SW_SHOW);
    }
    g_chooser.setUpId = g_chooser.selectedId;
    switch (block->param1) {
    case kNbaSetUpNewData:
        if (static_cast<Handle>(block->param2) != g_chooser.data) {
            DropWorkingData();
            g_chooser.data = static_cast<Handle>(block->param2);
        }
        break;
    case kNbaSetUpNoData:
        EnableOk(dialog, false);
        break;
    case kNbaSetUpKeepData:
        SetDlgItemTextA(dialog, IDC_NBA_DATA, ShownText(HandleToBytes(g_chooser.data)).c_str());
        break;
    default:
        break;
    }
}

void SelectionChanged(HWND dialog) {
    const int n = Selection(dialog);
    ShowInfo(dialog, n);
    if (n >= 0 && g_chooser.selectedId == g_chooser.setUpId) {
        EnableOk(dialog, true);
        ShowDataEdit(dialog, !(g_chooser.aboutFlags & kNbaAboutNoText));
    } else {
        DropWorkingData();
        g_chooser.setUpId = 0;
        EnableOk(dialog, false);
        ShowDataEdit(dialog, false);
    }
}

// A module chosen outside "NBAS" is copied in after alert 2262; false when it is not there.
bool CopyIntoNbaFolder() {
    const FileSpec* chosen = GetFileSpec(kSlotNbaFolder);
    if (!chosen)
        return false;
    const std::string name(NameOf(*chosen));
    const std::string from(PathOf(*chosen));
    if (!PutNbaFileInSlot(name.c_str()))
        return false;  // no safe name for the copy
    const FileSpec inFolder = *GetFileSpec(kSlotNbaFolder);
    SetFileSpecFromPath(kSlotNbaFolder, from.c_str());
    if (SameSpecPath(inFolder, *GetFileSpec(kSlotNbaFolder)))
        return true;
    if (ShowCardAlert(kAlertMoveIntoFolder) != 1)
        return false;
    if (!CopyFileA(from.c_str(), std::string(PathOf(inFolder)).c_str(), FALSE)) {
        ShowCardAlert(kAlertCopyFailed);
        return false;
    }
    PutFileSpec(kSlotNbaFolder, inFolder);
    return true;
}

void RefillAndShow(HWND dialog) {
    if (FillList(dialog) > 0) {
        SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_SETCURSEL, 0, 0);
        ShowInfo(dialog, 0);
    } else {
        ShowInfo(dialog, -1);
    }
    DropWorkingData();
    g_chooser.setUpId = 0;
    EnableOk(dialog, false);
    ShowDataEdit(dialog, false);
}

void ChooseSource(HWND dialog, int newSource) {
    std::string filter = ResText(kStringNbaFiles);
    filter += '\0';
    filter += "*.nba";
    filter += '\0';
    const FileRequest request{kStringChooseNba, filter.c_str(), 0, 0, kSlotNbaFolder, 0};
    for (;;) {
        if (!SetMediaSourceRadio(&g_chooser.source, newSource, IDC_NBA_SAMPLES, request, kSourceAcceptModules, dialog))
            return;
        if (g_chooser.source == kSourceDisk && !CopyIntoNbaFolder()) {
            SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_RESETCONTENT, 0, 0);
            continue;
        }
        RefillAndShow(dialog);
        const int count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_GETCOUNT, 0, 0));
        if (g_chooser.source != kSourceDisk || count > 0)
            return;
    }
}

void EndChooser(HWND dialog, int result) {
    CloseSamplesStacks();
    SetNbaChooserWindow(nullptr);
    g_chooser.dialog = nullptr;
    EndDialog(dialog, result);
}

void Confirm(HWND dialog) {
    if (!g_chooser.data)
        g_chooser.data = DataFromEdit(dialog);
    // The module of the choice names slot 12 for the 'NBAs' request.
    if (g_chooser.source != kSourceDisk) {
        const std::optional<std::string> name = NbaFileNameOf(HandleToBytes(GetResource(kNbas, g_chooser.selectedId)));
        if (!name || !PutNbaFileInSlot(name->c_str()))
            SetFileSpecFromPath(kSlotNbaFolder, "");
    }
    if (!MakeNbaResourceRequest())
        DropWorkingData();
    if (g_chooser.callerData) {
        DisposeHandle(*g_chooser.callerData);
        *g_chooser.callerData = g_chooser.data;
    }
    g_chooser.data = 0;
    if (g_chooser.callerId)
        *g_chooser.callerId = g_chooser.selectedId;
    EndChooser(dialog, IDOK);
}

void Open(HWND dialog) {
    g_chooser.dialog = dialog;
    SetNbaChooserWindow(dialog);
    g_chooser.data = *g_chooser.callerData;
    if (g_chooser.data && HandToHand(&g_chooser.data) != 0) {
        g_chooser.data = 0;
        ShowCardAlert(kAlertNoMemory);
        g_chooser.cancelled = true;
        EndChooser(dialog, IDCANCEL);
        return;
    }
    const uint16_t wanted = *g_chooser.callerId;
    bool inUse = false;
    if (GetStackResFile()) {
        UseStackFile();
        inUse = wanted && IsValidHandle(GetResource(kNbas, wanted));
    }
    g_chooser.source = inUse ? kSourceInUse : kSourceSamples;
    UseSamplesStack(g_chooser.source);
    CheckRadioRange(IDC_NBA_SAMPLES, g_chooser.source, dialog);
    const int count = FillList(dialog);
    if (count > 0 && g_chooser.data) {
        const int at = IndexOfId(dialog, wanted);
        SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_SETCURSEL, at, 0);
        ShowInfo(dialog, at);
        if (!(g_chooser.aboutFlags & kNbaAboutNoText)) {
            ShowDataEdit(dialog, true);
            SetUp(dialog);
        } else {
            EnableOk(dialog, true);
        }
    } else {
        EnableOk(dialog, false);
        ShowDataEdit(dialog, false);
        if (count > 0) {
            const int at = inUse ? IndexOfId(dialog, wanted) : 0;
            SendDlgItemMessageA(dialog, IDC_NBA_NAMES, LB_SETCURSEL, at, 0);
            ShowInfo(dialog, at);
        }
    }
    CenterWindowOnScreen(dialog);
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        Open(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_NBA_NAMES:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                SelectionChanged(dialog);
            return TRUE;
        case IDC_NBA_USE:
            if (Selection(dialog) >= 0)
                SetUp(dialog);
            return TRUE;
        case IDC_NBA_SAMPLES: case IDC_NBA_IN_USE: case IDC_NBA_DISK:
            if (HIWORD(wParam) == BN_CLICKED)
                ChooseSource(dialog, LOWORD(wParam) - IDC_NBA_SAMPLES);
            return TRUE;
        case IDC_NBA_OK:
            Confirm(dialog);
            return TRUE;
        case IDCANCEL:
            DropWorkingData();
            g_chooser.cancelled = true;
            EndChooser(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;  // "Access" does nothing
        }
    default:
        return FALSE;
    }
}

}  // namespace

void CheckRadioRange(int firstId, int index, HWND dialog) {
    CheckRadioButton(dialog, firstId, firstId + 2, firstId + std::clamp(index, 0, 2));
}

void UseSamplesStack(int mode) {
    switch (mode) {
    case 0:
        if (!g_samplesRef)
            g_samplesRef = OpenSamplesStack();
        else
            UseResFile(g_samplesRef);
        CloseRef(&g_diskRef);
        if (g_samplesRef)
            UseResFile(g_samplesRef);
        break;
    case 1:
        CloseRef(&g_samplesRef);
        CloseRef(&g_diskRef);
        UseStackFile();
        break;
    case 2:
        CloseRef(&g_samplesRef);
        if (g_diskRef)
            UseResFile(g_diskRef);
        break;
    default:
        break;
    }
}

bool UseDiskStack(int slot) {
    if (!g_diskRef) {
        const FileSpec* chosen = GetFileSpec(slot);
        if (!chosen || IsSoundFileType(std::string(NameOf(*chosen))))
            return false;
        g_diskRef = OpenDiskStack(slot);
        if (!g_diskRef)
            return false;
    }
    CloseRef(&g_samplesRef);
    UseResFile(g_diskRef);
    return true;
}

void CloseSamplesStacks() {
    CloseRef(&g_samplesRef);
    CloseRef(&g_diskRef);
    UseStackFile();
}

bool SetMediaSourceRadio(int* source, int newSource, int firstRadio, const FileRequest& request, int flags,
                         HWND dialog) {
    bool ok = true;
    if (newSource == kSourceDisk) {
        FileSpec picked;
        ok = GetOpenFileWithPreview(dialog, request, &picked);
        if (ok) {
            PutFileSpec(request.slot, picked);  // the next dialog starts from it
            const FileSpec* chosen = GetFileSpec(request.slot);
            const std::string name = chosen ? std::string(NameOf(*chosen)) : std::string();
            const bool unopened = IsSoundFileType(name) || ((flags & kSourceAcceptModules) && IsSafeNbaFileName(name));
            if (!unopened) {
                const int32_t ref = OpenDiskStack(request.slot);
                ok = ref != 0;
                if (ok) {
                    CloseRef(&g_diskRef);
                    g_diskRef = ref;
                }
            }
        }
    } else if (newSource == kSourceInUse) {
        ok = GetStackResFile() != 0;
    }
    if (!ok) {
        CheckRadioRange(firstRadio, *source, dialog);
        return false;
    }
    *source = newSource;
    UseSamplesStack(newSource);
    CheckRadioRange(firstRadio, newSource, dialog);
    return true;
}

int RunNbaChooser(HWND parent, Handle* data, uint16_t* nbaId, uint16_t objectId) {
    if (!data || !nbaId)
        return 0;
    NotifyStackNBAs(kNbaMessageChooserOpens);
    g_chooser = ChooserState{};
    g_chooser.parent = parent;
    g_chooser.callerData = data;
    g_chooser.callerId = nbaId;
    g_chooser.objectId = objectId;
    const INT_PTR result = ResDialogBoxParam(parent, ChooserProc, "NBA", 0);
    const bool confirmed = result == IDOK && !g_chooser.cancelled;
    DropWorkingData();
    SetNbaChooserWindow(nullptr);
    return confirmed ? 1 : 0;
}
