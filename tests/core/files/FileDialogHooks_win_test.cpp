// The Open and Save dialogs' hooks, driven the way the common dialog drives them: a hook dialog
// inside a file dialog that answers the path query, notifications sent to the hook.
#include "core/files/FileDialogHooks.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include <string>

#include "core/files/FileLayer.h"
#include "core/system/PluginModule.h"
#include "tests/support/DialogDriver_win.h"

namespace {

std::string gCurrentPath;  // what the stand-in file dialog reports as its selection
bool gWideDialog = false;  // answers in wide characters, as the Open dialog (a wide one) does

LRESULT CALLBACK FileDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CDM_GETFILEPATH) {
        const size_t size = static_cast<size_t>(wParam);
        if (!lParam || gCurrentPath.size() + 1 > size)
            return -1;
        if (gWideDialog)
            MultiByteToWideChar(CP_ACP, 0, gCurrentPath.c_str(), -1, reinterpret_cast<wchar_t*>(lParam),
                                static_cast<int>(size));
        else
            lstrcpynA(reinterpret_cast<char*>(lParam), gCurrentPath.c_str(), static_cast<int>(size));
        return static_cast<LRESULT>(gCurrentPath.size() + 1);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// An owner, the file dialog it owns, and the hook dialog inside it with the preview box.
class FileDialogHooksWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        previousFileSystem_ = &ActiveFileSystem();
        SetFileSystem(SystemFileSystem());
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA plain{};
        plain.lpfnWndProc = DefWindowProcA;
        plain.hInstance = instance;
        plain.lpszClassName = "WinutilOwner";
        RegisterClassA(&plain);
        WNDCLASSA file{};
        file.lpfnWndProc = FileDialogProc;
        file.hInstance = instance;
        file.lpszClassName = "WinutilFileDialog";
        RegisterClassA(&file);
        WNDCLASSA hook{};
        hook.lpfnWndProc = DefWindowProcA;
        hook.cbWndExtra = DLGWINDOWEXTRA;  // room for the message result
        hook.hInstance = instance;
        hook.lpszClassName = "WinutilHookDialog";
        RegisterClassA(&hook);

        owner_ = CreateWindowExA(0, "WinutilOwner", "", WS_POPUP, 100, 50, 400, 300, nullptr, nullptr, instance, nullptr);
        fileDialog_ = CreateWindowExA(0, "WinutilFileDialog", "", WS_POPUP, 0, 0, 200, 100, owner_, nullptr, instance,
                                      nullptr);
        hookDialog_ = CreateWindowExA(0, "WinutilHookDialog", "", WS_CHILD, 0, 60, 200, 40, fileDialog_, nullptr,
                                      instance, nullptr);
        checkBox_ = CreateWindowExA(0, "BUTTON", "Preview", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 80, 16, hookDialog_,
                                    reinterpret_cast<HMENU>(kPreviewCheckBoxId), instance, nullptr);
        ASSERT_TRUE(owner_ && fileDialog_ && hookDialog_ && checkBox_);

        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        existingWav_ = std::string(folder) + "winutil_hook_clip.wav";
        existingTxt_ = std::string(folder) + "winutil_hook_notes.txt";
        for (const std::string& path : {existingWav_, existingTxt_}) {
            HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(f, INVALID_HANDLE_VALUE);
            CloseHandle(f);
        }
    }
    void TearDown() override {
        DeleteFileA(existingWav_.c_str());
        DeleteFileA(existingTxt_.c_str());
        DestroyWindow(owner_);
        SetFileSystem(previousFileSystem_);
    }

    UINT_PTR Notify(LPOFNHOOKPROC hook, UINT code, OPENFILENAMEA* ofn = nullptr) {
        OFNOTIFYA n{};
        n.hdr.hwndFrom = fileDialog_;
        n.hdr.code = code;
        n.lpOFN = ofn;
        return hook(hookDialog_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
    }
    LONG_PTR MessageResult() const { return GetWindowLongPtrA(hookDialog_, DWLP_MSGRESULT); }

    // Confirms path with a save request of that kind: the hook's message result (0 accepts).
    LONG_PTR Confirm(int32_t kind, const char* required, const std::string& path) {
        SaveCheckRequest request{kind, {}};
        lstrcpynA(request.requiredExtension, required, sizeof request.requiredExtension);
        char file[MAX_PATH];
        lstrcpynA(file, path.c_str(), MAX_PATH);
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.lCustData = reinterpret_cast<LPARAM>(&request);
        gCurrentPath = path;
        SetWindowLongPtrA(hookDialog_, DWLP_MSGRESULT, 0x55);
        EXPECT_EQ(Notify(SaveCheckHook, CDN_FILEOK, &ofn), static_cast<UINT_PTR>(TRUE));
        return MessageResult();
    }

    HWND owner_ = nullptr, fileDialog_ = nullptr, hookDialog_ = nullptr, checkBox_ = nullptr;
    std::string existingWav_, existingTxt_;
    const FileSystemOps* previousFileSystem_ = nullptr;
};

TEST_F(FileDialogHooksWinTest, RegisteredMessagesAreKept) {
    RegisterFileDialogMessages();
    EXPECT_GE(GetFileNameOkMessage(), 0xC000u);
    EXPECT_EQ(GetFileNameOkMessage(), RegisterWindowMessageA("commdlg_FileNameOK"));
    EXPECT_EQ(GetSelChangedMessage(), RegisterWindowMessageA("commdlg_LBSelChangedNotify"));
    EXPECT_NE(GetFileNameOkMessage(), GetSelChangedMessage());
}

TEST_F(FileDialogHooksWinTest, DialogsAreCentredOverTheirOwnerWhenInitialised) {
    const LPOFNHOOKPROC hooks[] = {CenterOnInitHook, PreviewOpenHook, SaveCheckHook};
    for (LPOFNHOOKPROC hook : hooks) {
        SetWindowPos(fileDialog_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Notify(hook, CDN_FOLDERCHANGE);  // not the end of initialisation: stays put
        RECT r;
        GetWindowRect(fileDialog_, &r);
        EXPECT_EQ(r.left, 0);
        Notify(hook, CDN_INITDONE);
        GetWindowRect(fileDialog_, &r);
        EXPECT_EQ(r.left, 200);  // owner centre (300, 200), dialog 200 x 100
        EXPECT_EQ(r.top, 150);
    }
}

TEST_F(FileDialogHooksWinTest, PreviewBoxFollowsTheSelectedKind) {
    gWideDialog = true;
    CheckDlgButton(hookDialog_, kPreviewCheckBoxId, BST_CHECKED);
    gCurrentPath = existingTxt_;
    Notify(PreviewOpenHook, CDN_SELCHANGE);
    EXPECT_FALSE(IsWindowEnabled(checkBox_)) << "a text file has no preview";

    gCurrentPath = existingWav_;
    Notify(PreviewOpenHook, CDN_SELCHANGE);
    EXPECT_TRUE(IsWindowEnabled(checkBox_)) << "a sound has one";

    gCurrentPath = "C:\\nowhere\\picture.BMP";  // a picture kind, even when missing
    EnableWindow(checkBox_, FALSE);
    Notify(PreviewOpenHook, CDN_SELCHANGE);
    EXPECT_TRUE(IsWindowEnabled(checkBox_));

    // With the box unchecked a selection change leaves everything alone.
    CheckDlgButton(hookDialog_, kPreviewCheckBoxId, BST_UNCHECKED);
    gCurrentPath = existingTxt_;
    Notify(PreviewOpenHook, CDN_SELCHANGE);
    EXPECT_TRUE(IsWindowEnabled(checkBox_));
    // The step on its own.
    ShowSelectedFilePreview(hookDialog_);
    EXPECT_FALSE(IsWindowEnabled(checkBox_));
    gWideDialog = false;
}

TEST_F(FileDialogHooksWinTest, SaveNamesAcceptedWithoutAsking) {
    DialogDriver driver;
    driver.Run([&] {
        EXPECT_EQ(Confirm(kSaveKindAny, "", existingWav_ + ".new.stk"), 0) << "kind 0 takes any new name";
        EXPECT_EQ(Confirm(kSaveKindSound, "WAV", existingWav_ + ".new.wav"), 0);
        EXPECT_EQ(Confirm(2, "TXT", existingTxt_ + ".new.txt"), 0);
        return 0;
    });
    EXPECT_EQ(driver.DialogsSeen(), 0);

    // No request with the dialog: nothing to check.
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    SetWindowLongPtrA(hookDialog_, DWLP_MSGRESULT, 0x55);
    Notify(SaveCheckHook, CDN_FILEOK, &ofn);
    EXPECT_EQ(MessageResult(), 0);
}

TEST_F(FileDialogHooksWinTest, SaveNamesRefusedWithTheirAlerts) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2352), [](DialogView& box) { box.Press(52); });
    driver.Expect(DialogMatch::Alert(2300), [](DialogView& box) { box.Press(52); });
    driver.Run([&] {
        EXPECT_NE(Confirm(kSaveKindSound, "WAV", std::string(folder) + "clip.mp3"), 0);
        EXPECT_NE(Confirm(1, "BMP", std::string(folder) + "picture.stk"), 0);
        return 0;
    });
    EXPECT_EQ(driver.DialogsSeen(), 2);
}

TEST_F(FileDialogHooksWinTest, ReplacingAnExistingFileIsAsked) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2327), [](DialogView& box) { box.Press(52); });  // Yes
    driver.Expect(DialogMatch::Alert(2327), [](DialogView& box) { box.Press(53); });  // No
    driver.Run([&] {
        EXPECT_EQ(Confirm(2, "TXT", existingTxt_), 0) << "Yes replaces";
        EXPECT_NE(Confirm(2, "TXT", existingTxt_), 0) << "No keeps the dialog open";
        return 0;
    });
}

}  // namespace
