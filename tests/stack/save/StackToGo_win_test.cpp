// The stand-alone packager in the hosted plug-in: Save As with the stand-alone filter on a stack
// with an unsaved change, the save question, the tree, Select All and OK; the package read back
// by the independent unpacker, then run: it shows the first card and leaves no folder behind.
// Missing library or player: their alerts, and no package.
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PreferenceFlags.h"
#include "host/menus/MenuCommands.h"
#include "host/player/CardHistory.h"
#include "host/player/CardNavigation.h"
#include "resources/packager_ids.h"
#include "stack/cards/CardList.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"
#include "stack/save/StackToGo.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/StandAloneUnpacker.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
namespace fs = std::filesystem;

constexpr int kOpenCommand = 101, kSaveAsCommand = 103;
constexpr int kFileNameCombo = 1148, kFileNameEdit = 1152, kFilterCombo = 1136;
constexpr uint32_t kCardColour = 0x3060C0;  // 0xRRGGBB

std::string TempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    return temp;
}

// "C:\a\b.wav" as a stack keeps it: "C::a:b.wav".
std::string MacForm(const std::string& dos) {
    std::string mac = dos.substr(0, 2) + ":" + dos.substr(3);
    for (char& c : mac)
        if (c == '\\')
            c = ':';
    return mac;
}

sb::Object ActionButton(uint16_t id, uint16_t flags, std::vector<sb::Chunk> chunks) {
    const auto top = static_cast<int16_t>(10 + 25 * id);
    sb::Object b = sb::Button(id, {200, top, 260, static_cast<int16_t>(top + 20)}, "b" + std::to_string(id));
    b.words.push_back({20, flags});
    b.chunks = std::move(chunks);
    return b;
}

std::vector<std::string> TempFolderNames(const char* prefix) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(TempFolder()))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

// The folder of this program, which is the plug-in's program folder here.
std::string ProgramFolder() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1);
}

// The colour at a point of a PNG file, 0xRRGGBB; ~0 when it cannot be read.
uint32_t PngPixel(const std::string& path, int x, int y) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return ~0u;
    uint32_t result = ~0u;
    {
        const std::wstring wide(path.begin(), path.end());
        Gdiplus::Bitmap bitmap(wide.c_str());
        Gdiplus::Color colour;
        if (bitmap.GetLastStatus() == Gdiplus::Ok && bitmap.GetPixel(x, y, &colour) == Gdiplus::Ok)
            result = colour.GetValue() & 0xFFFFFF;
    }
    Gdiplus::GdiplusShutdown(token);
    return result;
}

struct TreeView {
    HWND tree;
    std::vector<HTREEITEM> Children(HTREEITEM parent) const {
        std::vector<HTREEITEM> items;
        auto item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
        while (item) {
            items.push_back(item);
            item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
        }
        return items;
    }
    TVITEMA Item(HTREEITEM handle, char* text = nullptr) const {
        TVITEMA item{};
        item.mask = TVIF_IMAGE | TVIF_STATE | TVIF_PARAM | (text ? TVIF_TEXT : 0);
        item.hItem = handle;
        item.stateMask = TVIS_STATEIMAGEMASK;
        item.pszText = text;
        item.cchTextMax = text ? 260 : 0;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item;
    }
    int State(HTREEITEM handle) const { return static_cast<int>((Item(handle).state >> 12) & 0xF); }
};

class StackToGoPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        tag_ = ProcessTag();
        folder_ = TempFolder();
        // A picture card of one colour, then a second card; the first carries every kind of
        // reference, a missing sound among them.
        sb::Picture picture = sb::SolidPicture(160, 120, 8, 5);
        picture.palette.resize(6);
        picture.palette[5] = {0x30, 0x60, 0xC0};
        stack_.cardWidth = 160;
        stack_.cardHeight = 120;
        stack_.cards = {sb::PictureCard(1, picture), sb::PlainCard(2)};
        sb::Object graphic = sb::Graphic(9, {0, 0, 16, 16}, "g");
        graphic.flags = 0x40;
        graphic.mask.clear();
        graphic.data = sb::MacPath(MacForm(PutBitmap("pic" + tag_ + ".bmp")));
        sb::Chunk module;
        module.kind = 51;
        module.words = {{16, 1}};
        stack_.cards[0].objects = {
            ActionButton(1, 0x21, {sb::PathChunk(60, MacForm(Put("second" + tag_ + ".stk", 0))),
                                   sb::PathChunk(82, MacForm(Put("bell" + tag_ + ".wav", 1536)))}),
            ActionButton(2, 0x100, {sb::PathChunk(89, MacForm(Put("clip" + tag_ + ".avi", 4096)))}),
            graphic,
            ActionButton(3, 0x08, {module}),
            ActionButton(4, 0x01, {sb::PathChunk(82, MacForm(folder_ + "gone" + tag_ + ".wav"))}),
        };
        sb::Stack second;
        second.cards = {sb::PlainCard(1)};
        sb::WriteFile(folder_ + "second" + tag_ + ".stk", sb::BuildStack(second).bytes);
        CreateDirectoryA((ProgramFolder() + "NBAS").c_str(), nullptr);
        module_ = ProgramFolder() + "NBAS\\Pageloom Tools.nba";
        std::ofstream(module_, std::ios::binary) << std::string(300, 'm');
        SetAdvancedUser(true);
    }
    void TearDown() override {
        SetAdvancedUser(false);
        DeleteFileA(module_.c_str());
        RemoveDirectoryA((ProgramFolder() + "NBAS").c_str());
        for (const std::string& name : made_)
            DeleteFileA(name.c_str());
        DeleteFileA((folder_ + "second" + tag_ + ".stk").c_str());
    }
    std::string Put(const std::string& name, size_t size) {
        const std::string path = folder_ + name;
        if (size) {
            std::string bytes(size, '\0');
            for (size_t i = 0; i < size; ++i)
                bytes[i] = static_cast<char>(i * 13 + name.size());
            std::ofstream(path, std::ios::binary) << bytes;
            made_.push_back(path);
        }
        return path;
    }

    // A real picture file: the player loads it when it shows the card.
    std::string PutBitmap(const std::string& name) {
        constexpr int kSide = 16, kRow = kSide * 3;
        std::string bmp(54 + kRow * kSide, '\x40');
        const auto put32 = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                bmp[at + i] = static_cast<char>(v >> (8 * i));
        };
        bmp[0] = 'B', bmp[1] = 'M';
        put32(2, static_cast<uint32_t>(bmp.size()));
        put32(6, 0);
        put32(10, 54);
        put32(14, 40);
        put32(18, kSide);
        put32(22, kSide);
        put32(26, 1 | 24 << 16);
        put32(30, 0);
        put32(34, kRow * kSide);
        for (size_t at : {38u, 42u, 46u, 50u})
            put32(at, 0);
        const std::string path = folder_ + name;
        std::ofstream(path, std::ios::binary) << bmp;
        made_.push_back(path);
        return path;
    }

    std::string tag_, folder_, module_;
    std::vector<std::string> made_;
    sb::Stack stack_;
};

TEST_F(StackToGoPlugin, UnsavedStackPackagedAndPlayed) {
    SKIP_UNLESS_TRUE_COLOUR("the packaged stack is compared with the card's exact colour");
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack_, "togo" + tag_ + ".stk", &page));
    // Opened from this machine (the Open command), the stack's files are where its paths say: the
    // package takes them from there (a stack from the web packs only what its site sent).
    DialogDriver opener(15000);
    opener.Expect(DialogMatch::Caption("Please select a stack"), [&](DialogView& box) {
        box.SetFileName(page.file);
        box.Press(IDOK);
    });
    EXPECT_TRUE(opener.Run([&] { return DoMenuCommand(page.embed, kOpenCommand, 0, nullptr); }));
    char opened[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof opened, opened);
    const std::string stackPath = opened;
    ASSERT_EQ(stackPath, page.file);
    GoNextCard({3, 0, 8});
    PumpPageMessages();
    ASSERT_EQ(GetCardId(GetCurrentCardRecord()), 2);
    const int historyCount = CardHistoryCount();
    MarkStackModified();
    const std::string package = folder_ + "togo" + tag_ + ".exe";
    made_.push_back(package);

    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Caption("Please name this Stack"), [&](DialogView& box) {
        box.SetText(box.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, package);
        ASSERT_EQ(box.ListItem(kFilterCombo, 1), "Pageloom Stand-alone Stack (Windows Exe)");
        box.SetListSelection(kFilterCombo, 1);
        // The dialog takes the filter when the choice is confirmed.
        const HWND combo = GetDlgItem(box.Window(), kFilterCombo);
        SendMessageA(box.Window(), WM_COMMAND, MAKEWPARAM(kFilterCombo, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
        box.Press(IDOK);
    });
    // Don't Save: the package takes the stack's file as it is, and the change stays unsaved.
    driver.Expect(DialogMatch::Alert(IDS_TOGO_SAVE_FIRST), [](DialogView& box) { box.Press(53); });
    driver.Expect(DialogMatch::Alert(IDS_TOGO_MISSING), [](DialogView& box) { box.Press(52); });
    driver.Expect(DialogMatch::Template("SAVESTACKEXE"), [&](DialogView& box) {
        const TreeView tree{GetDlgItem(GetDlgItem(box.Window(), IDC_TOGO_FRAME), IDC_TOGO_TREE)};
        ASSERT_TRUE(tree.tree);
        const auto tops = tree.Children(nullptr);
        ASSERT_EQ(tops.size(), 2u);
        char text[260] = {};
        tree.Item(tops[0], text);
        EXPECT_EQ(std::string(text), stackPath);
        std::vector<int> kinds;
        HTREEITEM bell = nullptr, gone = nullptr;
        for (HTREEITEM child : tree.Children(tops[0])) {
            const TVITEMA item = tree.Item(child, text);
            kinds.push_back(item.iImage);
            if (std::string(text).find("bell") != std::string::npos)
                bell = child;
            if (std::string(text).find("gone") != std::string::npos)
                gone = child;
        }
        EXPECT_EQ(kinds, (std::vector<int>{2, 1, 4, 5, 2}));
        ASSERT_TRUE(bell && gone);
        EXPECT_EQ(tree.Item(bell).lParam, 15);  // 1536 bytes: "1.5K"
        EXPECT_EQ(tree.State(gone), kToGoMissing);
        EXPECT_EQ(box.Text(IDC_TOGO_TOTAL), "0.0K");
        box.Press(IDC_TOGO_SELECT_ALL);
        PumpPageMessages();
        EXPECT_EQ(tree.State(tops[0]), kToGoChecked);
        EXPECT_EQ(tree.State(bell), kToGoChecked);
        EXPECT_EQ(tree.State(gone), kToGoMissing);
        EXPECT_NE(box.Text(IDC_TOGO_TOTAL), "0.0K");
        box.Press(IDOK);
    });
    EXPECT_TRUE(driver.Run([&] { return DoMenuCommand(page.embed, kSaveAsCommand, 0, nullptr); }));

    // The open stack is as it was: still open, still changed, on the same card and history.
    EXPECT_TRUE(IsStackChanged());
    char current[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof current, current);
    EXPECT_EQ(std::string(current), stackPath);
    EXPECT_EQ(GetCardId(GetCurrentCardRecord()), 2);
    EXPECT_EQ(CardHistoryCount(), historyCount);
    const std::vector<uint8_t> saved = ReadWholeFile(stackPath);
    CloseLinkedPlugin(&page);

    const std::vector<uint8_t> bytes = ReadWholeFile(package);
    const UnpackedPackage u = UnpackStandAlone(bytes);
    ASSERT_EQ(u.error, "");
    EXPECT_EQ(u.library.name, "vic32.dll");
    EXPECT_EQ(u.library.bytes, ReadWholeFile(ProgramFolder() + "vic32.dll"));
    EXPECT_EQ(u.player.name, "Pageloom Player.exe");
    EXPECT_EQ(u.player.bytes, ReadWholeFile(ProgramFolder() + "Pageloom Player.exe"));
    EXPECT_EQ(u.playerLength, bytes.size() - u.playerOffset - 68);
    ASSERT_EQ(u.groups[0].size(), 2u);
    EXPECT_EQ(u.groups[0][0].name, std::string(PathFileName(stackPath)));
    EXPECT_EQ(u.groups[0][0].bytes, saved);
    EXPECT_EQ(u.groups[0][1].name, "second" + tag_ + ".stk");
    EXPECT_EQ(u.groups[0][1].bytes, ReadWholeFile(folder_ + "second" + tag_ + ".stk"));
    std::vector<std::string> files;
    for (const UnpackedFile& f : u.groups[1]) {
        files.push_back(f.name);
        EXPECT_EQ(f.bytes, ReadWholeFile(folder_ + f.name)) << f.name;
    }
    EXPECT_EQ(files, (std::vector<std::string>{"bell" + tag_ + ".wav", "clip" + tag_ + ".avi", "pic" + tag_ + ".bmp"}));
    ASSERT_EQ(u.groups[2].size(), 1u);
    EXPECT_EQ(u.groups[2][0].name, "Pageloom Tools.nba");
    EXPECT_EQ(u.groups[2][0].bytes, ReadWholeFile(module_));

    // Run: the player shows the first card; the launcher's folder is gone afterwards.
    const size_t foldersBefore = TempFolderNames("PLG").size();
    const std::string shot = folder_ + "togo" + tag_ + ".png";
    made_.push_back(shot);
    std::string command = "\"" + package + "\" --screenshot \"" + shot + "\" --screenshot-after 2500 --quit-after 4000";
    STARTUPINFOA start{sizeof start};
    PROCESS_INFORMATION process{};
    // Launcher and player in one job, so that a package that never ends is ended with its player.
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                               folder_.c_str(), &start, &process));
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    if (waited != WAIT_OBJECT_0)
        TerminateJobObject(job, 1);
    CloseHandle(job);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(code, 0u);
    const uint32_t shown = PngPixel(shot, 80, 60);
    for (int shift : {0, 8, 16})  // a 16-bit display widens 5 or 6 bits back to 8
        EXPECT_NEAR(static_cast<int>(shown >> shift & 0xFF), static_cast<int>(kCardColour >> shift & 0xFF), 8)
            << std::hex << shown;
    EXPECT_EQ(TempFolderNames("PLG").size(), foldersBefore);
}

// The same stack as the page's own download: what it names is its site's, and only what the site
// sent goes into a package. The sound, the movie and the linked stack never came: they are listed
// missing (nothing of this machine is read for them), and no module of this machine is listed.
TEST_F(StackToGoPlugin, AStackFromTheWebListsOnlyWhatItsSiteSent) {
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack_, "webtogo" + tag_ + ".stk", &page));
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Caption("Please name this Stack"), [&](DialogView& box) {
        box.SetText(box.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, folder_ + "webtogo" + tag_ + ".exe");
        box.SetListSelection(kFilterCombo, 1);
        const HWND combo = GetDlgItem(box.Window(), kFilterCombo);
        SendMessageA(box.Window(), WM_COMMAND, MAKEWPARAM(kFilterCombo, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Alert(IDS_TOGO_MISSING), [](DialogView& box) { box.Press(52); });
    driver.Expect(DialogMatch::Template("SAVESTACKEXE"), [&](DialogView& box) {
        const TreeView tree{GetDlgItem(GetDlgItem(box.Window(), IDC_TOGO_FRAME), IDC_TOGO_TREE)};
        ASSERT_TRUE(tree.tree);
        const auto tops = tree.Children(nullptr);
        ASSERT_EQ(tops.size(), 2u);
        EXPECT_EQ(tree.State(tops[1]), kToGoMissing) << "the linked stack never came";
        char text[260] = {};
        int named = 0;
        for (HTREEITEM child : tree.Children(tops[0])) {
            const TVITEMA item = tree.Item(child, text);
            EXPECT_NE(item.iImage, kToGoModule) << text;
            const std::string name = text;
            if (name.find("bell") != std::string::npos || name.find("clip") != std::string::npos ||
                name.find("gone") != std::string::npos) {
                EXPECT_EQ(tree.State(child), kToGoMissing) << name;
                ++named;
            }
        }
        EXPECT_EQ(named, 3);
        box.Press(IDCANCEL);
    });
    EXPECT_TRUE(driver.Run([&] { return DoMenuCommand(page.embed, kSaveAsCommand, 0, nullptr); }));
    CloseLinkedPlugin(&page);
}

TEST_F(StackToGoPlugin, MissingLibraryOrPlayerLeavesNoPackage) {
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack_, "togo" + tag_ + ".stk", &page));
    const std::string program = ProgramFolder();
    const FileSpec programSlot = *GetFileSpec(kSlotProgram);
    const bool changed = IsStackChanged(), hasFile = StackHasFile();
    ASSERT_TRUE(hasFile);
    if (changed) {  // saved first, so that no question comes before the tree
        DialogDriver save(15000);
        // Only a display deeper than the stack asks; a palette display converted it on opening.
        if (!IndexedDisplay())
            save.Expect(DialogMatch::Alert(kAlertColorsChanged), [](DialogView& box) { box.Press(53); });
        save.Run([] { return SaveStackCommand(); });
    }
    ASSERT_FALSE(IsStackChanged());
    const std::string fake = folder_ + "prog" + tag_ + "\\";
    CreateDirectoryA(fake.c_str(), nullptr);
    const std::string package = folder_ + "none" + tag_ + ".exe";
    struct Case {
        const char* present;
        int alert;
    };
    for (const Case c : {Case{"Pageloom Player.exe", IDS_TOGO_NO_LIBRARY}, Case{"vic32.dll", IDS_TOGO_NO_PLAYER}}) {
        CopyFileA((program + c.present).c_str(), (fake + c.present).c_str(), FALSE);
        SetFileSpecFromPath(kSlotProgram, (fake + "x.exe").c_str());
        SetFileSpecFromPath(kSlotSaveAs, package.c_str());
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Alert(IDS_TOGO_MISSING), [](DialogView& box) { box.Press(52); });
        driver.Expect(DialogMatch::Template("SAVESTACKEXE"), [](DialogView& box) {
            box.Press(IDC_TOGO_SELECT_ALL);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Alert(c.alert), [](DialogView& box) { box.Press(52); });
        driver.Run([] {
            ShowStackToGoDialog();
            return 0;
        });
        EXPECT_EQ(GetFileAttributesA(package.c_str()), INVALID_FILE_ATTRIBUTES) << c.alert;
        DeleteFileA((fake + c.present).c_str());
        *GetFileSpec(kSlotProgram) = programSlot;
    }
    RemoveDirectoryA(fake.c_str());
    CloseLinkedPlugin(&page);
}

}  // namespace
