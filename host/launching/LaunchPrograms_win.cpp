// The launch action's dialog and the launch itself (LaunchPrograms.h).
#include "host/launching/LaunchPrograms.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/files/OpenFileDialog.h"
#include "core/memory/Handles.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "host/downloads/DownloadStreams.h"
#include "host/launching/LaunchConsent.h"
#include "host/state/Preferences.h"
#include "resources/launch_ids.h"

namespace {

constexpr uint32_t kStringChooseProgramTitle = 2410;
constexpr uint32_t kStringFindProgramTitle = 2418;
constexpr uint32_t kStringChooseDocumentTitle = 2419;
constexpr uint32_t kStringFindProgramFilter = 4081;
constexpr uint32_t kStringAnyFileFilter = 4082;
constexpr uint32_t kStringProgramFilter = 4083;
constexpr uint16_t kFileTypeProgram = 15;
constexpr uint16_t kFileTypeAny = 0xFFFF;

// The work record's parts, copied in and out of the handle (it has no alignment of its own).
constexpr uint32_t kWorkFlags = 0;
constexpr uint32_t kWorkProgram = 2;
constexpr uint32_t kWorkDocument = kWorkProgram + sizeof(FileSpec);
static_assert(kWorkDocument + sizeof(FileSpec) == kLaunchWorkBytes);

Handle g_work = 0;

struct LaunchWork {
    uint16_t flags = 0;
    FileSpec program = {};
    FileSpec document = {};
};

bool ReadWork(LaunchWork* work) {
    HandleLock lock(g_work);
    if (!lock || GetHandleSize(g_work) < kLaunchWorkBytes)
        return false;
    std::memcpy(&work->flags, lock.get() + kWorkFlags, sizeof work->flags);
    std::memcpy(&work->program, lock.get() + kWorkProgram, sizeof(FileSpec));
    std::memcpy(&work->document, lock.get() + kWorkDocument, sizeof(FileSpec));
    work->program.path[kFileSpecPathSize - 1] = 0;
    work->program.name[kFileSpecNameSize - 1] = 0;
    work->document.path[kFileSpecPathSize - 1] = 0;
    work->document.name[kFileSpecNameSize - 1] = 0;
    return true;
}

bool WriteWork(const LaunchWork& work) {
    HandleLock lock(g_work);
    if (!lock || GetHandleSize(g_work) < kLaunchWorkBytes)
        return false;
    std::memcpy(lock.get() + kWorkFlags, &work.flags, sizeof work.flags);
    std::memcpy(lock.get() + kWorkProgram, &work.program, sizeof(FileSpec));
    std::memcpy(lock.get() + kWorkDocument, &work.document, sizeof(FileSpec));
    return true;
}

bool EntryNamesFile(const FileSpec& entry) { return entry.path[0] && entry.name[0]; }

// A filter string kept with '|' between its parts, as the Open dialog wants it: NULs between
// them and two at the end.
std::string FilterFromString(uint32_t id) {
    char text[256] = {};
    LoadResString(id, text, sizeof text - 1);
    std::string filter(text);
    for (char& c : filter)
        if (c == '|')
            c = 0;
    filter.push_back(0);
    filter.push_back(0);
    return filter;
}

// The Open dialog for the dialog's Choose buttons; the choice goes into `entry`.
bool ChooseInto(HWND dialog, uint32_t titleId, uint32_t filterId, uint16_t fileType, FileSpec* entry) {
    const std::string filter = FilterFromString(filterId);
    const FileRequest request = {static_cast<uint16_t>(titleId), filter.c_str(), 0, fileType, kNoSlot, 0};
    return GetOpenFileWithPreview(dialog, request, entry);
}

void ShowNames(HWND dialog, const LaunchWork& work) {
    SetDlgItemTextA(dialog, IDC_LAUNCH_PROGRAM, work.program.name);
    SetDlgItemTextA(dialog, IDC_LAUNCH_DOCUMENT, work.document.name);
}

INT_PTR CALLBACK LaunchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    LaunchWork work;
    switch (message) {
    case WM_INITDIALOG:
        if (!ReadWork(&work)) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        CheckDlgButton(dialog, IDC_LAUNCH_QUIT, (work.flags & kLaunchQuitAfter) ? BST_CHECKED : BST_UNCHECKED);
        ShowNames(dialog, work);
        CenterWindowOnScreen(dialog);
        SetFocus(GetDlgItem(dialog, IDC_LAUNCH_CHOOSE_DOCUMENT));
        return FALSE;
    case WM_COMMAND:
        if (!ReadWork(&work))
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_LAUNCH_CHOOSE_PROGRAM:
            if (ChooseInto(dialog, kStringChooseProgramTitle, kStringProgramFilter, kFileTypeProgram, &work.program))
                WriteWork(work);
            ShowNames(dialog, work);
            return TRUE;
        case IDC_LAUNCH_CHOOSE_DOCUMENT:
            if (ChooseInto(dialog, kStringChooseDocumentTitle, kStringAnyFileFilter, kFileTypeAny, &work.document))
                WriteWork(work);
            ShowNames(dialog, work);
            return TRUE;
        case IDC_LAUNCH_CLEAR:
            work.program = {};
            work.document = {};
            WriteWork(work);
            ShowNames(dialog, work);
            return TRUE;
        case IDOK:
            if (IsDlgButtonChecked(dialog, IDC_LAUNCH_QUIT) == BST_CHECKED)
                work.flags |= kLaunchQuitAfter;
            else
                work.flags &= static_cast<uint16_t>(~kLaunchQuitAfter);
            WriteWork(work);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

int Refuse() {
    ShowAlert(kAlertLaunchFailed);
    return 0;
}

std::string SlotPath(int slot) {
    const FileSpec* entry = GetFileSpec(slot);
    return entry ? std::string(PathOf(*entry)) : std::string();
}

// The program the shell opens the document with, looked up in the document's folder.
bool FindAssociatedProgram(const std::string& document) {
    char folder[kFileSpecPathSize] = {};
    GetFileSpecFolder(kSlotLaunchDocument, folder, sizeof folder);
    char program[MAX_PATH + 1] = {};
    const auto found = reinterpret_cast<intptr_t>(FindExecutableA(document.c_str(), folder, program));
    if (found <= 32 || !program[0])
        return false;
    SetFileSpecFromPath(kSlotLaunchProgram, program);
    return true;
}

bool LocateProgram() {
    // A stack from the web names a program of this machine only where it says it is: nothing is
    // searched for on other drives or near it, and no one is asked to find it.
    if (OpenStackIsFromTheWeb())
        return CheckFileSlotExists(kSlotLaunchProgram) == kFileOk;
    const std::string filter = FilterFromString(kStringFindProgramFilter);
    const FileRequest request = {static_cast<uint16_t>(kStringFindProgramTitle), filter.c_str(), 0,
                                 kFileTypeProgram, static_cast<uint16_t>(kSlotLaunchProgram), 0};
    return LocateFile(request, kSlotLaunchProgram, true, true) != 0;
}

bool LocateDocument() {
    // A local stack's document that is where the stack says is used as it is; otherwise (and
    // always for a stack from the web, whose names are its site's) it is asked for beside the
    // stack.
    if (!OpenStackIsFromTheWeb() && CheckFileSlotExists(kSlotLaunchDocument) == kFileOk)
        return true;
    const std::string filter = FilterFromString(kStringAnyFileFilter);
    const FileRequest request = {static_cast<uint16_t>(kStringChooseDocumentTitle), filter.c_str(), 0, kFileTypeAny,
                                 static_cast<uint16_t>(kSlotLaunchDocument), 0};
    return LocateFile(request, kSlotLaunchDocument, false) != 0;
}

}  // namespace

bool SlotNamesFile(int slot) {
    const FileSpec* entry = GetFileSpec(slot);
    return entry && EntryNamesFile(*entry);
}

int EditLaunchAction(HWND owner, uint16_t* flags) {
    if (!flags)
        return 0;
    if (!g_work) {
        g_work = NewHandle(kLaunchWorkBytes);
        if (!g_work)
            return 0;
    }
    LaunchWork work;
    work.flags = *flags;
    if (const FileSpec* program = GetFileSpec(kSlotLaunchProgram))
        work.program = *program;
    if (const FileSpec* document = GetFileSpec(kSlotLaunchDocument))
        work.document = *document;
    if (!WriteWork(work))
        return 0;
    if (ResDialogBox(owner, LaunchDialogProc, "LAUNCHDLG") != IDOK || !ReadWork(&work))
        return 0;  // Cancel keeps the launch as it was
    if (FileSpec* program = GetFileSpec(kSlotLaunchProgram))
        *program = work.program;
    if (FileSpec* document = GetFileSpec(kSlotLaunchDocument))
        *document = work.document;
    if (!EntryNamesFile(work.program) && !EntryNamesFile(work.document)) {
        *flags = 0;
        return 0;
    }
    *flags = static_cast<uint16_t>(kLaunchConfigured | (work.flags & kLaunchQuitAfter));
    return 1;
}

bool IsLaunchAllowed() {
    char value[256] = {};
    const int length = ReadPrefString("user", "govern", value, sizeof value);
    if (length >= static_cast<int>(sizeof value) - 1)
        return false;  // too long to be read whole
    return GovernAllowsLaunch(value);
}

int LaunchApplication(uint16_t) {
    const bool hasDocument = SlotNamesFile(kSlotLaunchDocument);
    if ((!hasDocument && !SlotNamesFile(kSlotLaunchProgram)) || !IsLaunchAllowed())
        return Refuse();
    // The person is asked before anything is looked for: finding a program or document tries the
    // paths the stack names (other drives, network shares, near the stack, a dialog).
    const std::string namedProgram = SlotNamesFile(kSlotLaunchProgram) ? SlotPath(kSlotLaunchProgram) : std::string();
    const std::string namedDocument = hasDocument ? SlotPath(kSlotLaunchDocument) : std::string();
    if (!AskLaunchConsent(namedProgram, namedDocument))
        return 0;
    std::string document;
    if (hasDocument) {
        if (!LocateDocument())
            return Refuse();
        document = SlotPath(kSlotLaunchDocument);
        if (IsShellRunType(document) && IsDownloadedFile(document.c_str()))
            return Refuse();
        if (!SlotNamesFile(kSlotLaunchProgram) && !FindAssociatedProgram(document))
            return Refuse();
    }
    if (!LocateProgram())
        return Refuse();
    const std::string program = SlotPath(kSlotLaunchProgram);
    if (program.empty() || IsDownloadedFile(program.c_str()))
        return Refuse();
    // Found elsewhere than the stack named: the person is asked again, about what was found.
    const bool moved = lstrcmpiA(document.c_str(), namedDocument.c_str()) != 0 ||
                       (!namedProgram.empty() && lstrcmpiA(program.c_str(), namedProgram.c_str()) != 0);
    if (moved && !AskLaunchConsent(program, document))
        return 0;
    const std::string parameters = QuoteLaunchParameter(document);
    char folder[kFileSpecPathSize] = {};
    GetFileSpecFolder(kSlotLaunchProgram, folder, sizeof folder);
    // Quit after launch is kept in the flags but not followed: the window is the browser's.
    if (ShellOpen(program.c_str(), parameters.c_str(), folder) <= 32)
        return Refuse();
    return 1;
}

void FreeLaunchBuffer() { DisposeHandleAndClear(&g_work); }

void FreeLaunchDialogData() { FreeLaunchBuffer(); }
