// The "Save Executable Stack" dialog: the tree of stacks and files with their check boxes and
// sizes, and writing the package on OK. The list (StackToGoList.cpp) holds the states; the tree
// shows them.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "core/ui/WindowUtils.h"
#include "graphics/pixels/CardOffscreen.h"
#include "resources/packager_ids.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"
#include "core/text/MacText.h"
#include "stack/save/StackToGo.h"

namespace {

constexpr int kHeaderHeight = 16;
constexpr int kSizeMargin = 2;
constexpr int kAlertIoError = 2680;
constexpr COLORREF kMissingColour = RGB(255, 0, 0);
constexpr char kPlayerName[] = "Pageloom Player.exe";
constexpr char kLibraryName[] = "vic32.dll";

struct Dialog {
    StackToGoList list;
    std::vector<HTREEITEM> items;  // one per list item
    HWND window = nullptr;
    HWND frame = nullptr;
    HWND header = nullptr;
    HWND tree = nullptr;
    WNDPROC frameProc = nullptr;
    HIMAGELIST kinds = nullptr;
    HIMAGELIST states = nullptr;
} g_dialog;

std::string ProgramFolder() {
    char folder[kFileSpecPathSize] = {};
    GetFileSpecFolder(kSlotProgram, folder, sizeof folder);
    std::string text = folder;
    if (!text.empty() && text.back() != '\\')
        text += '\\';
    return text;
}

bool PathExists(const char* path) { return FileExists(path); }

uint64_t PathSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
}

// A moved file looked for beside the open stack and one folder up, as the file locator does.
bool LocateMediaFile(std::string& path, int) {
    char stack[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof stack, stack);
    char found[kFileSpecPathSize] = {};
    if (!FindFileNearStackPath(path.c_str(), stack, found, sizeof found))
        return false;
    path = found;
    return true;
}

std::string ModuleName(int n) {
    char name[261] = {};
    LoadResString(IDS_TOGO_MODULE_BASE + static_cast<uint32_t>(n), name, sizeof name);
    return name;
}

StackToGoFileAccess MachineAccess() {
    StackToGoFileAccess access;
    access.exists = PathExists;
    access.fileSize = PathSize;
    access.locate = LocateMediaFile;
    access.moduleName = ModuleName;
    access.programFolder = ProgramFolder();
    return access;
}

// A stack from the web: the file a stored name stands for is the copy its site sent of that name
// (its own file is itself), or nothing (kStackFilesAreHere: the stack is this machine's).
int SiteCopy(const std::string& path, std::string* copy) {
    char stack[kFileSpecPathSize] = {}, found[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof stack, stack);
    int answer = KeptCopyFromStacksSource(path.c_str(), found, sizeof found);
    if (answer == 0 && StrCmpNoCase(stack, path.c_str()) == 0) {
        answer = 1;
        CopyPathText(path, found, sizeof found);
    }
    if (copy)
        *copy = answer == 1 ? found : "";
    return answer;
}

std::vector<uint8_t> ReadSiteCopy(const std::string& path) {
    std::string copy;
    if (SiteCopy(path, &copy) != 1)
        return {};
    HANDLE file = CreateFileA(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::vector<uint8_t> bytes;
    LARGE_INTEGER size{};
    DWORD got = 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (LONGLONG{256} << 20)) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
            bytes.clear();
    }
    CloseHandle(file);
    return bytes;
}

// The package of a stack from the web holds only what came from its site: every name it stores
// is its site's file of that name, read from the copy downloaded; a name the site did not send
// is missing, nothing on this machine is looked for or read, and no module of this machine goes.
StackToGoFileAccess SiteAccess() {
    StackToGoFileAccess access;
    access.exists = [](const char* path) { return SiteCopy(path, nullptr) == 1; };
    access.fileSize = [](const char* path) {
        std::string copy;
        return SiteCopy(path, &copy) == 1 ? PathSize(copy.c_str()) : uint64_t{0};
    };
    access.readFile = ReadSiteCopy;
    access.programFolder = ProgramFolder();
    return access;
}

bool PacksFromSite(const std::string& stack) { return SiteCopy(stack, nullptr) != kStackFilesAreHere; }

int IndexOf(HTREEITEM item) {
    for (size_t i = 0; i < g_dialog.items.size(); ++i)
        if (g_dialog.items[i] == item)
            return static_cast<int>(i);
    return -1;
}

// The tree and the total field follow the list.
void ShowStates() {
    for (size_t i = 0; i < g_dialog.items.size(); ++i) {
        TVITEMA item{};
        item.mask = TVIF_STATE;
        item.hItem = g_dialog.items[i];
        item.state = INDEXTOSTATEIMAGEMASK(g_dialog.list.items[i].state);
        item.stateMask = TVIS_STATEIMAGEMASK;
        SendMessageA(g_dialog.tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SetDlgItemTextA(g_dialog.window, IDC_TOGO_TOTAL, FormatTenths(g_dialog.list.totalTenths).c_str());
}

HTREEITEM InsertItem(const StackToGoItem& entry, HTREEITEM parent) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    insert.item.pszText = const_cast<char*>(entry.path.c_str());
    insert.item.iImage = insert.item.iSelectedImage = entry.kind;
    insert.item.lParam = static_cast<LPARAM>(entry.tenths);
    insert.item.state = INDEXTOSTATEIMAGEMASK(entry.state);
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(g_dialog.tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void OnClick() {
    const DWORD at = GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ScreenToClient(g_dialog.tree, &hit.pt);
    SendMessageA(g_dialog.tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (!(hit.flags & TVHT_ONITEMSTATEICON))
        return;
    ClickItem(g_dialog.list, IndexOf(hit.hItem));
    ShowStates();
}

LRESULT CustomDraw(NMTVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const int index = IndexOf(reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec));
        if (index >= 0 && g_dialog.list.items[index].state == kToGoMissing)
            draw->clrText = kMissingColour;
        return CDRF_NOTIFYPOSTPAINT;
    }
    case CDDS_ITEMPOSTPAINT: {
        const int index = IndexOf(reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec));
        if (index < 0)
            return CDRF_DODEFAULT;
        const uint32_t tenths = g_dialog.list.items[index].tenths;
        const std::string text = tenths ? FormatTenths(tenths) : "???";
        RECT row = draw->nmcd.rc;
        row.right -= kSizeMargin;
        const int oldMode = SetBkMode(draw->nmcd.hdc, TRANSPARENT);
        const COLORREF oldColour = SetTextColor(draw->nmcd.hdc, tenths ? GetSysColor(COLOR_WINDOWTEXT) : kMissingColour);
        DrawTextA(draw->nmcd.hdc, text.c_str(), -1, &row, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SetTextColor(draw->nmcd.hdc, oldColour);
        SetBkMode(draw->nmcd.hdc, oldMode);
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

// The frame hears what its header and tree have to say.
LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* note = reinterpret_cast<NMHDR*>(lParam);
        if (note->hwndFrom == g_dialog.header &&
            (note->code == HDN_BEGINTRACKA || note->code == HDN_BEGINTRACKW || note->code == HDN_DIVIDERDBLCLICKA ||
             note->code == HDN_DIVIDERDBLCLICKW))
            return TRUE;  // the columns keep their widths
        if (note->hwndFrom == g_dialog.tree) {
            if (note->code == NM_CLICK) {
                OnClick();
                return 0;
            }
            if (note->code == NM_CUSTOMDRAW)
                return CustomDraw(reinterpret_cast<NMTVCUSTOMDRAW*>(lParam));
        }
    }
    return CallWindowProcA(g_dialog.frameProc, window, message, wParam, lParam);
}

HIMAGELIST StripImages(int bitmapId, COLORREF transparent) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HIMAGELIST list = ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, 6, 8);
    HBITMAP bitmap = LoadBitmapA(GetAppInstance(), MAKEINTRESOURCEA(bitmapId));
    if (list && bitmap)
        ImageList_AddMasked(list, bitmap, transparent);
    if (bitmap)
        DeleteObject(bitmap);
    return list;
}

void AddColumn(int stringId, int width, int position) {
    char text[64] = {};
    LoadResString(static_cast<uint32_t>(stringId), text, sizeof text);
    HDITEMA column{};
    column.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    column.pszText = text;
    column.cxy = width;
    column.fmt = HDF_STRING | (position ? HDF_RIGHT : HDF_LEFT);
    SendMessageA(g_dialog.header, HDM_INSERTITEMA, position, reinterpret_cast<LPARAM>(&column));
}

bool InitStackToGoTree(HWND dialog) {
    g_dialog.frame = GetDlgItem(dialog, IDC_TOGO_FRAME);
    if (!g_dialog.frame)
        return false;
    g_dialog.frameProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_dialog.frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc)));
    RECT area;
    GetClientRect(g_dialog.frame, &area);
    const int width = area.right - area.left, height = area.bottom - area.top;
    g_dialog.header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_HORZ, 0, 0, width, kHeaderHeight,
                                      g_dialog.frame, reinterpret_cast<HMENU>(IDC_TOGO_HEADER), nullptr, nullptr);
    SendMessageA(g_dialog.header, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    AddColumn(IDS_TOGO_FILE, width * 9 / 10, 0);
    AddColumn(IDS_TOGO_SIZE, width - width * 9 / 10, 1);
    g_dialog.tree = CreateWindowExA(0, WC_TREEVIEWA, "",
                                    WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                        TVS_EDITLABELS,
                                    0, kHeaderHeight, width, height - kHeaderHeight, g_dialog.frame,
                                    reinterpret_cast<HMENU>(IDC_TOGO_TREE), nullptr, nullptr);
    if (!g_dialog.header || !g_dialog.tree)
        return false;
    SendMessageA(g_dialog.tree, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    g_dialog.kinds = StripImages(IDB_TOGO_KINDS, RGB(255, 0, 255));
    g_dialog.states = StripImages(IDB_TOGO_STATES, RGB(255, 0, 0));
    SendMessageA(g_dialog.tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(g_dialog.kinds));
    SendMessageA(g_dialog.tree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(g_dialog.states));

    char stack[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof stack, stack);
    g_dialog.list = StackToGoList{};
    const bool collected =
        BuildStackToGoList(g_dialog.list, stack, PacksFromSite(stack) ? SiteAccess() : MachineAccess());
    g_dialog.items.clear();
    for (const StackToGoItem& entry : g_dialog.list.items)
        g_dialog.items.push_back(InsertItem(entry, entry.parent < 0 ? TVI_ROOT : g_dialog.items[entry.parent]));
    for (size_t i = 0; i < g_dialog.items.size(); ++i)
        if (g_dialog.list.items[i].parent < 0)
            SendMessageA(g_dialog.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(g_dialog.items[i]));
    ShowStates();
    if (g_dialog.list.missingFiles)
        ShowAlertOn(dialog, IDS_TOGO_MISSING);
    return collected;
}

// Writes the package named by slot 16; alerts say why not.
bool BuildStackToGo() {
    WaitCursor wait;
    StackToGoPlan plan;
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotSaveAs, sizeof path, path);
    plan.packagePath = path;
    uint32_t size = 0;
    const void* launcher = LoadResData("RUNSTACK", "Executable", &size);
    if (!launcher) {
        ShowAlert(kAlertIoError);
        return false;
    }
    plan.launcher = {static_cast<const uint8_t*>(launcher), size};
    plan.libraryPath = ProgramFolder() + kLibraryName;
    plan.playerPath = ProgramFolder() + kPlayerName;
    // A stack from the web packs what its site sent, under the names the stack stores.
    StackToGoList list = g_dialog.list;
    if (PacksFromSite(list.items.empty() ? std::string() : list.items[0].path))
        for (StackToGoItem& item : list.items)
            SiteCopy(item.path, &item.source);
    PlanGroups(list, plan);
    for (const StackToGoItem& item : g_dialog.list.items)
        plan.listed.push_back(item.path);
    switch (WriteStackToGo(plan)) {
    case kToGoOk: return true;
    case kToGoNoLibrary: ShowAlert(IDS_TOGO_NO_LIBRARY); return false;
    case kToGoNoPlayer: ShowAlert(IDS_TOGO_NO_PLAYER); return false;
    case kToGoPackagePacked: ShowAlert(IDS_TOGO_PACKAGE_PACKED); return false;
    default: ShowAlert(kAlertIoError); return false;
    }
}

INT_PTR CALLBACK SaveStackExeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        g_dialog.window = dialog;
        CenterWindowOnParent(dialog);
        SetDlgItemTextA(dialog, IDC_TOGO_TOTAL, "0.0K");
        if (!InitStackToGoTree(dialog))
            EndDialog(dialog, 2);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TOGO_SELECT_ALL:
            SetAllItems(g_dialog.list, kToGoChecked);
            ShowStates();
            return TRUE;
        case IDC_TOGO_CLEAR_ALL:
            SetAllItems(g_dialog.list, kToGoUnchecked);
            ShowStates();
            return TRUE;
        case IDOK:
            BuildStackToGo();
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 2);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_DESTROY:
        if (g_dialog.frame && g_dialog.frameProc)
            SetWindowLongPtrA(g_dialog.frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialog.frameProc));
        if (g_dialog.tree)
            DestroyWindow(g_dialog.tree);
        if (g_dialog.kinds)
            ImageList_Destroy(g_dialog.kinds);
        if (g_dialog.states)
            ImageList_Destroy(g_dialog.states);
        g_dialog = Dialog{};
        return FALSE;
    default:
        return FALSE;
    }
}

// A stack with unsaved changes, or none of its own file, is saved first when the person wants:
// the package takes the stack's file. False when the command ends here.
bool SaveBeforePacking() {
    if (StackHasFile() && !IsStackChanged() && !IsCardChanged())
        return true;
    char package[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotSaveAs, sizeof package, package);
    const int answer = ShowAlert(IDS_TOGO_SAVE_FIRST);
    if (answer == 3)
        return false;
    if (answer == 1) {
        if (StackHasFile())
            SaveStackCommand();
        else
            SaveStackAs();
        SetFileSpecFromPath(kSlotSaveAs, package);  // a Save As of the stack used slot 16 too
        if (IsStackChanged())
            return false;  // not saved: the person has been told why
    }
    return StackHasFile();
}

}  // namespace

void ShowStackToGoDialog() {
    static bool running = false;  // the save before packing may come back through Save As
    if (running)
        return;
    running = true;
    const bool go = SaveBeforePacking();
    running = false;
    if (!go)
        return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    ResDialogBox(GetCardWindow(), SaveStackExeDlgProc, IDD_SAVESTACKEXE_NAME);
}
