// The "Ready Made Cards" submenu built from a real folder tree beside the program, and a listed
// stack chosen by its command: imported behind the current card with the report shown.
#include "core/system/PluginModule.h"
#include "resources/info_ids.h"
#include "stack/StackUpcalls.h"
#include "authoring/cards/CardImport.h"
#include "authoring/AuthoringUpcalls.h"
#include "authoring/cards/ReadyMade.h"
#include "authoring/cards/ReadyMadeMenu.h"
#include "tests/stack/SaveTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace savetest;

std::string TempRoot() {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string root = std::string(temp) + "loom-rdym-" + ProcessTag();
    CreateDirectoryA(root.c_str(), nullptr);
    return root;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    const HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + "\\" + name);
            else
                DeleteFileA((path + "\\" + name).c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

std::vector<uint16_t> g_wentTo;

class ReadyMadeTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SaveSessionTest::SetUp();
        SetAppInstance(GetModuleHandleA(nullptr));  // the templates and strings are linked in
        root_ = TempRoot();
        folder_ = root_ + "\\RdyMCard";
        CreateDirectoryA(folder_.c_str(), nullptr);
        SetFileSpecFromPath(kSlotProgram, (root_ + "\\nploom.dll").c_str());
        savedEdit_ = GetAuthoringUpcalls();
        AuthoringUpcalls n = savedEdit_;
        n.stackIsFresh = [] { return false; };
        // The card gone to is noted instead of shown; the count is reported as in the plug-in.
        n.showImportedCards = [](uint16_t id, const char* fileName, int count) {
            g_wentTo.push_back(id);
            if (count)
                ShowImportCount(fileName, count);
        };
        SetAuthoringUpcalls(n);
        g_wentTo.clear();
    }
    void TearDown() override {
        SetAuthoringUpcalls(savedEdit_);
        FreeReadyMadeList();
        RemoveTree(root_);
        SaveSessionTest::TearDown();
    }
    // A stack file on the disk (for the folder walk) and in the memory files (for the reader).
    void PutStack(const std::string& relative, const sb::Stack& stack) {
        const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
        const std::string path = folder_ + "\\" + relative;
        ASSERT_TRUE(sb::WriteFile(path, bytes)) << path;
        PutMemoryFile(path, bytes);
    }
    static std::string ItemText(HMENU menu, int position) {
        char text[256] = {};
        GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        return text;
    }
    std::string root_, folder_;
    AuthoringUpcalls savedEdit_{};
};

sb::Stack ThreeCards() {
    sb::Stack s;
    s.cards = {sb::PlainCard(1), sb::PlainCard(2), sb::PlainCard(9)};
    s.cards[0].objects.push_back(sb::Button(1, {5, 5, 50, 25}, "One"));
    s.cards[1].objects.push_back(sb::Button(1, {5, 5, 50, 25}, "Two"));
    return s;
}

TEST_F(ReadyMadeTest, SubmenusMirrorTheFoldersAndIdsGoDepthFirst) {
    HMENU empty = CreatePopupMenu();
    BuildReadyMadeMenuIn(empty);
    EXPECT_EQ(GetMenuItemCount(empty), 0) << "no stacks, no separator";
    DestroyMenu(empty);

    CreateDirectoryA((folder_ + "\\Sub").c_str(), nullptr);
    CreateDirectoryA((folder_ + "\\Deep").c_str(), nullptr);
    CreateDirectoryA((folder_ + "\\Deep\\Inner").c_str(), nullptr);
    CreateDirectoryA((folder_ + "\\Notes").c_str(), nullptr);
    ASSERT_TRUE(sb::WriteFile(folder_ + "\\Notes\\read.txt", std::vector<uint8_t>{1}));
    PutStack("Sub\\b.stk", ThreeCards());
    PutStack("a.stk", ThreeCards());
    HMENU menu = CreatePopupMenu();
    BuildReadyMadeMenuIn(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(ItemText(menu, 1), "Deep");
    const HMENU deep = GetSubMenu(menu, 1);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(GetMenuItemCount(deep), 0) << "a folder of only an empty folder: an empty submenu";
    EXPECT_EQ(ItemText(menu, 2), "Sub");
    const HMENU sub = GetSubMenu(menu, 2);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(GetMenuItemID(sub, 0), 503u);
    EXPECT_EQ(ItemText(menu, 3), "a.stk");
    EXPECT_EQ(GetMenuItemID(menu, 3), 504u);
    EXPECT_EQ(FindReadyMadePath(504), folder_ + "\\a.stk");
    DestroyMenu(menu);

    // Past 97 stacks the ids would run other commands: the 98th is not listed.
    RemoveTree(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (int i = 0; i < 98; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "s%03d.stk", i);
        ASSERT_TRUE(sb::WriteFile(folder_ + "\\" + name, std::vector<uint8_t>{0}));
    }
    menu = CreatePopupMenu();
    BuildReadyMadeMenuIn(menu);
    EXPECT_EQ(GetMenuItemCount(menu), 1 + 97);
    EXPECT_EQ(GetMenuItemID(menu, 97), 599u);
    EXPECT_EQ(CountReadyMadeEntries(), 97);
    DestroyMenu(menu);
}

TEST_F(ReadyMadeTest, ChosenStackLandsBehindTheCurrentCardWithTheReport) {
    sb::Stack open;
    open.cards = {sb::PlainCard(1), sb::PlainCard(2)};
    open.cards[0].objects.push_back(sb::Button(1, {1, 1, 30, 30}, "Mine"));
    open.nextObjectId = 2;
    Open("C:\\S\\open.stk", sb::BuildStack(open).bytes);
    PutStack("three.stk", ThreeCards());
    BuildReadyMadeMenu(nullptr);

    DialogDriver driver;
    driver.Expect(DialogMatch::Template("RMCOUNT"), [](DialogView& box) {
        EXPECT_EQ(box.Text(RMCOUNT_TEXT), "You have imported 3 cards from the stack three.stk");
        box.Press(IDOK);
    });
    driver.Run([] {
        HandleReadyMadeCardMenu(503);
        return 0;
    });
    std::vector<uint16_t> ids;
    for (int i = 1; i <= CountCards(); ++i)
        ids.push_back(GetCardId(GetCardByIndex(i)));
    EXPECT_EQ(ids, (std::vector<uint16_t>{1, 3, 4, 9, 2}));
    EXPECT_EQ(g_wentTo, (std::vector<uint16_t>{3}));

    // An id that lists nothing does nothing.
    HandleReadyMadeCardMenu(598);
    EXPECT_EQ(CountCards(), 5);
}

}  // namespace
