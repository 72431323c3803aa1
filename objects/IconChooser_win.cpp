// The icon and cursor chooser: its sources, the subclassed grid (list box 54, which keeps only
// entry numbers) and the choice.
#include "objects/IconChooser.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/events/EditorGuard.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/ui/CursorImages.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "core/ui/WindowUtils.h"
#include "objects/IconFiles.h"
#include "objects/buttons/Buttons.h"
#include "resources/objinfo_ids.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

constexpr UINT_PTR kAnimationTimer = 2;
constexpr UINT kAnimationMs = 17;
constexpr int kTitleIcons = 4225, kTitleCursors = 4226, kBoxIcons = 4227, kBoxCursors = 4228;
constexpr int kFilterIcons = 4229, kFilterAllCursors = 4230, kFilterAnimated = 4231, kFilterStill = 4232;

struct Entry {
    char name[14] = {};  // 8.3 name, disk source only
    uint16_t id = 0;
    uint16_t kind = 0;
    uint16_t drawImage = 0, takeImage = 0;
    Handle data = 0;
    uint32_t step = 0, ticks = 0;  // animated cursors
};

// The dialog's working state, for its lifetime.
struct Chooser {
    bool icons = true;
    int currentId = 0;
    int source = 0;
    char folder[MAX_PATH] = {};
    HWND grid = nullptr;
    WNDPROC gridProc = nullptr;
    std::vector<Entry> entries;
    int selected = -1;
    int top = 0;  // first visible row
    IconGridLayout layout;
    int pictureWidth = 32, pictureHeight = 32;
};

// The chooser a dialog runs: the dialog's parameter, kept with its window.
Chooser* ChooserOf(HWND dialog) { return DialogStateOf<Chooser>(dialog); }
char g_lastFolder[MAX_PATH] = {};  // the disk source starts where it was last

void FreeEntries(Chooser& c) {
    for (Entry& e : c.entries)
        DisposeHandleAndClear(&e.data);
    c.entries.clear();
    c.selected = -1;
    c.top = 0;
}

bool AddEntry(std::vector<Entry>* entries, uint16_t id, uint16_t kind, std::span<const uint8_t> data, const char* name) {
    if (entries->size() >= kMaxChooserEntries || data.empty())
        return false;
    Entry e;
    e.id = id;
    e.kind = kind;
    e.data = NewHandleFromBytes(data);
    if (!e.data)
        return false;
    if (name)
        std::snprintf(e.name, sizeof e.name, "%s", name);
    entries->push_back(e);
    return true;
}

// ---- sources ----

void SamplesPath(char* path, size_t size) {
    GetFileSpecPath(kSlotProgram, static_cast<int>(size), path);
    SetPathFileName("Samples.stk", path, size);
}

// Copies of the current resource file's icons or cursors.
void ReadResources(bool icons, std::vector<Entry>* out) {
    const uint32_t type = icons ? kIcon : kCrsr;
    const int count = CountResources(type);
    for (int i = 1; i <= count && out->size() < kMaxChooserEntries; ++i) {
        const uint16_t id = GetIndResourceId(type, i);
        const std::vector<uint8_t> bytes = HandleToBytes(GetIndResource(type, i));
        if (icons) {
            if (IconImageCount(bytes) && IconDataSize(bytes))
                AddEntry(out, id, kEntryIcon, bytes, nullptr);
            continue;
        }
        const IconFileData cursor = CursorResourceEntry(bytes);
        if (cursor.kind)
            AddEntry(out, id, cursor.kind, cursor.data, nullptr);
    }
}

void ReadSamples(bool icons, std::vector<Entry>* out) {
    if (icons) {
        char path[MAX_PATH] = {};
        SamplesPath(path, sizeof path);
        // No samples stack: the source is off, with no alert.
        if (!FileExists(path))
            return;
        const int32_t previous = CurrentResFile();
        const int32_t samples = OpenSamplesStack();
        if (!samples)
            return;
        ReadResources(true, out);
        CloseResFile(samples);
        if (previous)
            UseResFile(previous);
        return;
    }
    const int width = GetSystemMetrics(SM_CXCURSOR), height = GetSystemMetrics(SM_CYCURSOR);
    for (int id = kFirstBuiltInIcon; id <= kLastBuiltInIcon; id += 16) {
        uint32_t groupSize = 0, imageSize = 0;
        const auto* group = static_cast<const uint8_t*>(
            LoadResData(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(12) /* RT_GROUP_CURSOR */, &groupSize));
        const uint16_t best = group ? BestGroupCursorId({group, groupSize}, width, height, GetScreenDepth()) : 0;
        const auto* image = best ? static_cast<const uint8_t*>(LoadResData(MAKEINTRESOURCEA(best), MAKEINTRESOURCEA(1), &imageSize))
                                 : nullptr;
        const std::vector<uint8_t> file = image ? CursorFileFromModuleImage({image, imageSize}) : std::vector<uint8_t>{};
        AddEntry(out, static_cast<uint16_t>(id), kEntryStillCursor, file, nullptr);
    }
}

void ReadInUse(bool icons, std::vector<Entry>* out) {
    if (!GetStackResFile())
        return;
    StackResFileCurrent stackFile;
    ReadResources(icons, out);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    const DWORD size = GetFileSize(file, nullptr);
    DWORD read = 0;
    // An icon file larger than this is no icon file.
    if (size != INVALID_FILE_SIZE && size <= (8u << 20)) {
        bytes.resize(size);
        if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size)
            bytes.clear();
    }
    CloseHandle(file);
    return bytes;
}

// Every matching file of the folder; the one named `chosen` becomes *selected.
void ReadFolder(const char* folder, const std::vector<std::string>& extensions, const std::string& chosen,
                std::vector<Entry>* out, int* selected) {
    for (const std::string& ext : extensions) {
        WIN32_FIND_DATAA found;
        const std::string pattern = std::string(folder) + "\\*." + ext;
        HANDLE find = FindFirstFileA(pattern.c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
                continue;
            if (out->size() >= kMaxChooserEntries)
                break;
            const std::string name = found.cFileName;
            const std::string path = std::string(folder) + "\\" + name;
            const IconFileData file = ReadIconFile(ext, ReadWholeFile(path));
            const char* shortName = found.cAlternateFileName[0] ? found.cAlternateFileName : found.cFileName;
            if (file.kind && AddEntry(out, 0, file.kind, file.data, shortName) && _stricmp(name.c_str(), chosen.c_str()) == 0)
                *selected = static_cast<int>(out->size()) - 1;
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
}

// The Open dialog of the disk source: the folder and the extensions of the filter chosen.
bool AskDiskFolder(HWND dialog, Chooser& c, std::vector<std::string>* extensions, std::string* chosen) {
    std::string filter;
    auto add = [&](int title, const char* pattern) {
        filter += ResText(title);
        filter += '\0';
        filter += pattern;
        filter += '\0';
    };
    char icoPattern[16], curPattern[24];
    std::snprintf(icoPattern, sizeof icoPattern, "*.%s", "ico");
    std::snprintf(curPattern, sizeof curPattern, "*.%s;*.%s", "cur", "ani");
    if (c.icons) {
        add(kFilterIcons, icoPattern);
    } else {
        add(kFilterAllCursors, curPattern);
        add(kFilterAnimated, "*.ani");
        add(kFilterStill, "*.cur");
    }
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = DialogOwner(dialog);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = c.folder[0] ? c.folder : nullptr;
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn))
        return false;
    std::string path = file;
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return false;
    std::snprintf(c.folder, sizeof c.folder, "%s", path.substr(0, slash).c_str());
    std::snprintf(g_lastFolder, sizeof g_lastFolder, "%s", c.folder);
    *chosen = path.substr(slash + 1);
    if (c.icons)
        *extensions = {"ico"};
    else if (ofn.nFilterIndex == 2)
        *extensions = {"ani"};
    else if (ofn.nFilterIndex == 3)
        *extensions = {"cur"};
    else
        *extensions = {"cur", "ani"};
    return true;
}

// ---- the grid ----

RECT CellRect(const Chooser& c, int index) {
    const int column = index % c.layout.columns, row = index / c.layout.columns - c.top;
    return {column * c.layout.cellWidth, row * c.layout.cellHeight, (column + 1) * c.layout.cellWidth,
            (row + 1) * c.layout.cellHeight};
}

void UpdateScroll(Chooser& c) {
    const int beyond = std::max(c.layout.rows - c.layout.visibleRows, 0);
    c.top = std::clamp(c.top, 0, beyond);
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_POS | SIF_PAGE | SIF_DISABLENOSCROLL, 0, beyond, 0, c.top, 0};
    info.nPage = 1;
    info.nMax = beyond;
    SetScrollInfo(c.grid, SB_VERT, &info, TRUE);
}

void Relayout(Chooser& c) {
    RECT client;
    GetClientRect(c.grid, &client);
    c.layout = LayoutIconGrid(client.right, client.bottom, c.pictureWidth, c.pictureHeight, static_cast<int>(c.entries.size()));
    UpdateScroll(c);
}

void DrawEntry(HDC dc, const Chooser& c, int index) {
    const Entry& e = c.entries[index];
    const RECT cell = CellRect(c, index);
    const int x = cell.left + c.layout.marginX, y = cell.top + c.layout.marginY;
    if (e.kind == kEntryAnimatedCursor)
        DrawAnimatedCursorFrame(dc, e.data, e.step, x, y);
    else
        DrawIconImage(dc, e.data, e.drawImage, x, y);
    if (index == c.selected) {
        OwnedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 2, RGB(0, 0, 0)));
        SelectedObject selectPen(dc, pen.get());
        SelectedObject selectBrush(dc, GetStockObject(NULL_BRUSH));
        const int oldRop = SetROP2(dc, R2_NOT);
        Rectangle(dc, cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2);
        SetROP2(dc, oldRop);
        if (GetFocus() == c.grid) {
            RECT focus = cell;
            InflateRect(&focus, -c.layout.marginX / 2, -c.layout.marginY / 2);
            DrawFocusRect(dc, &focus);
        }
    }
}

void PaintGrid(Chooser& c) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(c.grid, &paint);
    FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_WINDOW));
    const int first = c.top * c.layout.columns;
    const int last = std::min<int>(static_cast<int>(c.entries.size()), first + (c.layout.visibleRows + 1) * c.layout.columns);
    for (int i = first; i < last; ++i) {
        const RECT cell = CellRect(c, i);
        RECT overlap;
        if (IntersectRect(&overlap, &cell, &paint.rcPaint))
            DrawEntry(dc, c, i);
    }
    EndPaint(c.grid, &paint);
}

void InvalidateEntry(Chooser& c, int index) {
    if (index < 0)
        return;
    const RECT cell = CellRect(c, index);
    InvalidateRect(c.grid, &cell, FALSE);
}

void Select(Chooser& c, int index) {
    if (c.entries.empty())
        return;
    index = std::clamp(index, 0, static_cast<int>(c.entries.size()) - 1);
    InvalidateEntry(c, c.selected);
    c.selected = index;
    const int row = index / c.layout.columns;
    if (row < c.top || row >= c.top + c.layout.visibleRows) {
        c.top = row < c.top ? row : row - c.layout.visibleRows + 1;
        UpdateScroll(c);
        InvalidateRect(c.grid, nullptr, TRUE);
    }
    InvalidateEntry(c, index);
}

void ScrollTo(Chooser& c, int top) {
    const int before = c.top;
    c.top = top;
    UpdateScroll(c);
    if (c.top != before)
        InvalidateRect(c.grid, nullptr, TRUE);
}

void Animate(Chooser& c) {
    const int first = c.top * c.layout.columns;
    const int last = std::min<int>(static_cast<int>(c.entries.size()), first + (c.layout.visibleRows + 1) * c.layout.columns);
    HDC dc = nullptr;
    for (int i = first; i < last; ++i) {
        Entry& e = c.entries[i];
        if (e.kind != kEntryAnimatedCursor)
            continue;
        HandleLock lock(e.data);
        CursorResource cursor;
        if (!lock || !ReadCursorResource(lock.bytes(), &cursor) || !AdvanceCursorStep(cursor, &e.step, &e.ticks))
            continue;
        if (!dc)
            dc = GetDC(c.grid);
        const RECT cell = CellRect(c, i);
        FillRect(dc, &cell, GetSysColorBrush(COLOR_WINDOW));
        DrawEntry(dc, c, i);
    }
    if (dc)
        ReleaseDC(c.grid, dc);
}

LRESULT CALLBACK GridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
    Chooser* c = ChooserOf(GetParent(grid));
    if (!c || !c->gridProc)
        return DefWindowProcA(grid, message, wParam, lParam);
    const int count = static_cast<int>(c->entries.size());
    switch (message) {
    case WM_PAINT: PaintGrid(*c); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateEntry(*c, c->selected); return 0;
    case WM_TIMER:
        if (wParam == kAnimationTimer)
            Animate(*c);
        return 0;
    case WM_VSCROLL:
        switch (LOWORD(wParam)) {
        case SB_LINEUP: ScrollTo(*c, c->top - 1); break;
        case SB_LINEDOWN: ScrollTo(*c, c->top + 1); break;
        case SB_PAGEUP: ScrollTo(*c, c->top - c->layout.visibleRows); break;
        case SB_PAGEDOWN: ScrollTo(*c, c->top + c->layout.visibleRows); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollTo(*c, HIWORD(wParam)); break;
        default: break;
        }
        return 0;
    case WM_KEYDOWN: {
        const int columns = c->layout.columns, at = std::max(c->selected, 0);
        switch (wParam) {
        case VK_PRIOR: ScrollTo(*c, c->top - c->layout.visibleRows); break;
        case VK_NEXT: ScrollTo(*c, c->top + c->layout.visibleRows); break;
        case VK_HOME: Select(*c, 0); break;
        case VK_END: Select(*c, count - 1); break;
        case VK_LEFT:
            if (at % columns > 0)
                Select(*c, at - 1);
            break;
        case VK_RIGHT:
            if (at % columns < columns - 1 && at + 1 < count)
                Select(*c, at + 1);
            break;
        case VK_UP:
            if (at >= columns)
                Select(*c, at - columns);
            break;
        case VK_DOWN: Select(*c, std::min(at + columns, count - 1)); break;
        default: return CallWindowProcA(c->gridProc, grid, message, wParam, lParam);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SetFocus(grid);
        const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        const int column = x / std::max(c->layout.cellWidth, 1), row = y / std::max(c->layout.cellHeight, 1) + c->top;
        const int index = row * c->layout.columns + column;
        if (column < c->layout.columns && index < count)
            Select(*c, index);
        if (message == WM_LBUTTONDBLCLK && count > 0)
            PostMessageA(GetParent(grid), WM_COMMAND, IDOK, 0);
        return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_CHAR: return 0;
    default: return CallWindowProcA(c->gridProc, grid, message, wParam, lParam);
    }
}

// The list box holds the entry numbers 1 to n, nothing else.
void FillGrid(Chooser& c) {
    SendMessageA(c.grid, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < c.entries.size(); ++i) {
        const LRESULT at = SendMessageA(c.grid, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
        SendMessageA(c.grid, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i + 1));
    }
    Relayout(c);
    if (c.selected >= 0)
        Select(c, c.selected);
    InvalidateRect(c.grid, nullptr, TRUE);
}

// Reads a source into the grid; false (the grid as it was) when it yields nothing.
bool UseSource(HWND dialog, Chooser& c, int source) {
    std::vector<Entry> entries;
    int selected = -1;
    if (source == ICN_DISK) {
        std::vector<std::string> extensions;
        std::string chosen;
        if (!AskDiskFolder(dialog, c, &extensions, &chosen))
            return false;
        ReadFolder(c.folder, extensions, chosen, &entries, &selected);
    } else if (source == ICN_SAMPLES) {
        ReadSamples(c.icons, &entries);
    } else {
        ReadInUse(c.icons, &entries);
    }
    if (entries.empty())
        return false;
    if (selected < 0)
        for (size_t i = 0; i < entries.size(); ++i)
            if (c.currentId && entries[i].id == std::abs(c.currentId))
                selected = static_cast<int>(i);
    FreeEntries(c);
    c.entries = std::move(entries);
    c.selected = selected;
    c.source = source;
    FillGrid(c);
    return true;
}

void CheckSource(HWND dialog, int source) { CheckRadioButton(dialog, ICN_SAMPLES, ICN_DISK, source); }

bool SourceHasEntries(bool icons, int source) {
    std::vector<Entry> probe;
    if (source == ICN_SAMPLES)
        ReadSamples(icons, &probe);
    else if (!icons) {
        StackResFileCurrent stackFile;
        return GetStackResFile() && CountResources(kCrsr) > 0;
    } else {
        StackResFileCurrent stackFile;
        return GetStackResFile() && CountResources(kIcon) > 0;
    }
    for (Entry& e : probe)
        DisposeHandleAndClear(&e.data);
    return !probe.empty();
}

bool InitChooser(HWND dialog, Chooser& c) {
    SetWindowTextA(dialog, ResText(c.icons ? kTitleIcons : kTitleCursors).c_str());
    SetDlgItemTextA(dialog, ICN_SOURCE_BOX, ResText(c.icons ? kBoxIcons : kBoxCursors).c_str());
    c.grid = GetDlgItem(dialog, ICN_GRID);
    if (!c.grid)
        return false;
    c.pictureWidth = GetSystemMetrics(c.icons ? SM_CXICON : SM_CXCURSOR);
    c.pictureHeight = GetSystemMetrics(c.icons ? SM_CYICON : SM_CYCURSOR);
    const bool samples = SourceHasEntries(c.icons, ICN_SAMPLES);
    const bool inUse = GetStackResFile() && SourceHasEntries(c.icons, ICN_IN_USE);
    EnableWindow(GetDlgItem(dialog, ICN_SAMPLES), samples);
    EnableWindow(GetDlgItem(dialog, ICN_IN_USE), inUse);
    c.gridProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(c.grid, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GridProc)));
    int first = ICN_DISK;
    if (inUse && (!samples || c.currentId >= 1))
        first = ICN_IN_USE;
    else if (samples)
        first = ICN_SAMPLES;
    if (first != ICN_DISK)
        UseSource(dialog, c, first);
    CheckSource(dialog, first);
    c.source = first;
    Relayout(c);
    SetFocus(c.grid);
    SetTimer(c.grid, kAnimationTimer, kAnimationMs, nullptr);
    return true;
}

void EndChooser(HWND dialog, Chooser& c, INT_PTR result) {
    KillTimer(c.grid, kAnimationTimer);
    SendMessageA(c.grid, LB_RESETCONTENT, 0, 0);
    if (c.gridProc)
        SetWindowLongPtrA(c.grid, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(c.gridProc));
    c.gridProc = nullptr;
    EndDialog(dialog, result);
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    Chooser* c = ChooserOf(dialog);
    if (!c)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        if (!InitChooser(dialog, *c))
            EndDialog(dialog, IDCANCEL);
        return FALSE;  // the focus is the grid's
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndChooser(dialog, *c, c->selected >= 0 ? IDOK : IDCANCEL);
            return TRUE;
        case IDCANCEL:
            c->selected = -1;
            EndChooser(dialog, *c, IDCANCEL);
            return TRUE;
        case ICN_SAMPLES:
        case ICN_IN_USE:
        case ICN_DISK:
            if (HIWORD(wParam) == BN_CLICKED) {
                const int source = LOWORD(wParam);
                // The disk source asks again each time; another source only when it changes.
                if ((source == ICN_DISK || source != c->source) && !UseSource(dialog, *c, source))
                    CheckSource(dialog, c->source);
                else
                    CheckSource(dialog, source);
                SetFocus(c->grid);
            }
            return TRUE;
        default: break;
        }
        break;
    default: break;
    }
    return FALSE;
}

// The chosen entry's data as the selection keeps it.
Handle SelectionData(const Chooser& c, const Entry& e) {
    HandleLock lock(e.data);
    if (!lock)
        return 0;
    if (c.icons || e.kind == kEntryAnimatedCursor)
        return NewHandleFromBytes(lock.bytes());
    if (e.id >= kFirstBuiltInIcon && e.id <= kLastBuiltInIcon && c.source == ICN_SAMPLES)
        return 0;
    const std::vector<uint8_t> crsr = MakeStillCursorData(lock.bytes());
    return crsr.empty() ? 0 : NewHandleFromBytes(crsr);
}

}  // namespace

bool RunIconChooser(HWND window, bool icons, int currentId) {
    const EditorGuard guard;
    Chooser chooser;
    chooser.icons = icons;
    chooser.currentId = currentId;
    std::snprintf(chooser.folder, sizeof chooser.folder, "%s", g_lastFolder);
    chooser.entries.reserve(kMaxChooserEntries);
    const INT_PTR result = ResDialogBoxParam(window, ChooserProc, "ICONSDLG", reinterpret_cast<LPARAM>(&chooser));
    bool chosen = false;
    if (result == IDOK && chooser.selected >= 0 && chooser.selected < static_cast<int>(chooser.entries.size())) {
        const Entry& e = chooser.entries[chooser.selected];
        ClearIconSelection();
        IconSelection* selection = GetIconSelection();
        selection->mode = icons ? 1 : 0;
        selection->fromStack = chooser.source == ICN_IN_USE ? 1 : 0;
        // A file from disk gets the stack's next id now: callers take a non-zero id as a choice.
        selection->id = e.id ? e.id : NextUniqueResId(FindResFile(GetStackResFile()));
        selection->data = SelectionData(chooser, e);
        chosen = true;
    }
    FreeEntries(chooser);
    return chosen;
}
