// The Media Browser in the hosted plug-in: command 403 finds the library beside the program by
// the registry value (the root itself selects the first category and writes it back), lists
// the category's files with full names, sorts them on their file times, previews them, toggles
// and hides; items dropped from it onto a button set its sound action, and off the page they
// become desktop shortcuts. Shut-down leaves neither window nor class behind.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "host/downloads/DownloadStreams.h"
#include "host/medialibrary/MediaBrowser.h"
#include "host/menus/MenuCommands.h"
#include "media/library/MediaLibServices.h"
#include "stack/cards/CardList.h"
#include "authoring/cards/MediaLibDrop.h"
#include "format/StackReader.h"
#include "stack/save/SaveDialogs.h"
#include "tests/host/medialibrary/DropTesting_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tools/stackbuilder/StackBuilder.h"

namespace {

namespace sb = stackbuilder;

constexpr char kKey[] = "Software\\Quillmark\\Pageloom";
const std::string kLongName = "A sound with a name of forty characters.wav";  // 43 with the extension

void SetFolderValue(const char* value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "Media Folder", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(key);
}

std::string FolderValue() {
    char value[MAX_PATH] = {};
    return ReadMediaFolderValue(value, sizeof value) ? value : "";
}

void SetYear(const std::string& path, WORD year) {
    SYSTEMTIME time{year, 6, 0, 15, 12, 0, 0, 0};
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &file);
    CloseHandle(h);
}

HWND List() { return GetDlgItem(GetMediaLibWindow(), kMediaLibListId); }

std::vector<std::string> Column(int column) {
    std::vector<std::string> cells;
    const int count = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(List(), LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        cells.push_back(text);
    }
    return cells;
}

int IndexOf(const std::string& name) {
    const std::vector<std::string> names = Column(0);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

void ClickColumn(int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = List();
    click.hdr.idFrom = kMediaLibListId;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = column;
    SendMessageA(GetMediaLibWindow(), WM_NOTIFY, kMediaLibListId, reinterpret_cast<LPARAM>(&click));
}

void Select(const std::string& name) {
    const int index = IndexOf(name);
    ASSERT_GE(index, 0) << name;
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    LVITEMA item{};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    PumpPageMessages();
}

uint32_t PreviewKind() {
    MediaLibLock record;
    return record ? record->previewKind : 0;
}

std::string MenuText(HMENU menu) {
    char text[64] = {};
    GetMenuStringA(menu, kMediaLibCommand, text, sizeof text, MF_BYCOMMAND);
    return text;
}

LayerHandle LayerOf(uint16_t kind) {
    for (LayerHandle layer = GetLayerListHead(); layer;) {
        LayerLock<ObjectLayer> lock(layer);
        if (!lock)
            break;
        if (lock->kind == kind)
            return layer;
        layer = lock->next;
    }
    return 0;
}

std::vector<uint8_t> StackOf(int cards) {
    sb::Stack stack;
    stack.cardWidth = 64;
    stack.cardHeight = 48;
    stack.depth = 8;
    for (int i = 1; i <= cards; ++i)
        stack.cards.push_back(sb::PictureCard(static_cast<uint16_t>(i), sb::SolidPicture(64, 48, 8, static_cast<uint32_t>(i))));
    return sb::BuildStack(stack).bytes;
}

std::string FileText(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[256];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

// Whether the saved stack's first card holds the button with an action chunk of that tag, as
// the reader reads the file.
bool SavedButtonHasChunk(const std::string& path, uint16_t id, uint16_t tag) {
    const std::string bytes = FileText(path);
    const std::vector<uint8_t> data(bytes.begin(), bytes.end());
    SpanByteSource source(data);
    StackConversion cv;
    StackFileContents contents;
    bool found = false;
    const StackReadResult read = ReadStackFile(source, cv, contents);
    if (read.ok() && !contents.cards.empty()) {
        uint32_t offset = 0, chunk = 0;
        const bool button = FindObjectInCard(kObjectButton, id, contents.cards[0], &offset);
        found = button && FindObjectChunk(contents.cards[0], offset, tag, &chunk);
    }
    DisposeStackFileContents(contents);
    return found;
}

std::string Bytes(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class MediaBrowserInPlugin : public LinkedPluginTest {};

TEST_F(MediaBrowserInPlugin, OpensListsSortsPreviewsAndDrops) {
    CoInitialize(nullptr);
    const std::string program = MakeTestFolder("medialib");
    const std::string root = program + "\\Media Library";
    const std::string sounds = root + "\\Sounds", art = root + "\\Art";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(sounds.c_str(), nullptr);
    CreateDirectoryA(art.c_str(), nullptr);
    const std::string old = WriteTestFile(art, "old.wav", "RIFF....WAVE");
    const std::string young = WriteTestFile(art, "young.wav", "RIFF....WAVE");
    SetYear(old, 1999);
    SetYear(young, 2001);
    WriteTestFile(art, kLongName, "RIFF....WAVE");
    WriteTestFile(art, "three.stk", Bytes(StackOf(3)));
    WriteTestFile(art, "one.stk", Bytes(StackOf(1)));
    WriteTestFile(art, "notes.txt", "Some words");
    WriteTestFile(art, "tool.exe", "MZ");
    std::string broken = Bytes(StackOf(3));
    broken.resize(broken.size() / 2);  // cut in the middle of its cards
    WriteTestFile(art, "broken.stk", broken);
    WriteTestFile(art, "nothing.xyz", "no kind at all");
    WriteTestFile(sounds, "bell.wav", "RIFF....WAVE");
    // Shortcuts to a text and to a picture outside the library.
    MakeShortcut(art + "\\words.lnk", art + "\\notes.txt");
    MakeShortcut(art + "\\photo.lnk", WriteTestFile(program, "photo.bmp", "BM not much of a picture"));
    SetFolderValue("Media Library");

    sb::Stack stack;
    stack.cardWidth = 240;
    stack.cardHeight = 160;
    sb::Card card = sb::PlainCard(1);
    card.objects.push_back(sb::Button(10, {10, 10, 90, 40}, "Play"));
    sb::Object graphic = sb::Graphic(11, {100, 10, 140, 50}, "Pic");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(40, 40, 8, 3));
    card.objects.push_back(graphic);
    card.objects.push_back(sb::TextField(12, {10, 60, 150, 100}, "Note", "Quiet words"));
    stack.cards = {card};
    ASSERT_TRUE(Open(stack));
    SetAdvancedUser(true);
    SetFileSpecFromPath(kSlotProgram, (program + "\\nploom.dll").c_str());

    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kMediaLibCommand, "Media");
    UpdateMediaLibMenuItem(menu);
    EXPECT_EQ(MenuText(menu), "Show Media Window\tCtrl+D");

    // The value names the root: the first category (sorted) is taken and written back.
    ASSERT_TRUE(DoMenuCommand(page.embed, kMediaLibCommand));
    HWND browser = GetMediaLibWindow();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(IsWindowVisible(browser));
    EXPECT_EQ(GetWindow(browser, GW_OWNER), GetAncestor(page.embed, GA_ROOT));
    EXPECT_EQ(FolderValue(), "Media Library\\Art");
    UpdateMediaLibMenuItem(menu);
    EXPECT_EQ(MenuText(menu), "Hide Media Window\tCtrl+D");

    // Every file of a kind, with its full name; nothing of no kind.
    EXPECT_EQ(Column(0).size(), 10u);
    EXPECT_GE(IndexOf(kLongName), 0);
    EXPECT_EQ(IndexOf("nothing.xyz"), -1);

    // Date: up, then down, across 1999 and 2001 (whose two-digit years sort the other way).
    ClickColumn(2);
    ClickColumn(2);
    EXPECT_LT(IndexOf("young.wav"), IndexOf("old.wav"));
    ClickColumn(2);
    EXPECT_LT(IndexOf("old.wav"), IndexOf("young.wav"));

    // Previews: a sound, a three-card stack at card 1, a one-card stack, the long name.
    CheckDlgButton(GetDlgItem(browser, kMediaLibStatusId), kMediaLibPreviewBoxId, BST_CHECKED);
    SendMessageA(browser, WM_COMMAND, kMediaLibPreviewBoxId, 0);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(browser, kMediaLibPaneId)));
    Select("three.stk");
    {
        MediaLibLock record;
        EXPECT_EQ(record->previewKind, static_cast<uint32_t>(kMediaStack));
        EXPECT_EQ(record->cardCount, 3u);
        EXPECT_EQ(record->previewObject, 1u);
    }
    ChooseMediaLibPreviewCard(browser, 3);
    {
        MediaLibLock record;
        EXPECT_EQ(record->previewObject, 3u);
    }
    Select("one.stk");
    {
        MediaLibLock record;
        EXPECT_EQ(record->cardCount, 1u);
    }
    Select("tool.exe");
    EXPECT_EQ(PreviewKind(), 0u) << "a program shows the title picture";
    Select("broken.stk");
    EXPECT_EQ(PreviewKind(), 0u) << "a stack the reader refuses shows the title picture";
    // A shortcut shows the title picture, not its own bytes as its target's kind (and raises no
    // "could not load" box for a picture).
    for (const char* shortcut : {"words.lnk", "photo.lnk"}) {
        DialogDriver quiet(2000);
        quiet.Run([&] {
            Select(shortcut);
            return 0;
        });
        EXPECT_EQ(quiet.DialogsSeen(), 0) << shortcut;
        EXPECT_EQ(PreviewKind(), 0u) << shortcut;
    }
    Select("notes.txt");
    EXPECT_EQ(PreviewKind(), static_cast<uint32_t>(kMediaText));
    HWND rich = GetDlgItem(GetDlgItem(browser, kMediaLibPaneId), kMediaLibRichEditId);
    char shown[32] = {};
    GetWindowTextA(rich, shown, sizeof shown);
    EXPECT_STREQ(shown, "Some words");
    Select(kLongName);
    ScopedHandle longPath(GetMediaLibItemPath(-1));
    ASSERT_NE(longPath.get(), 0);
    {
        HandleLock lock(longPath.get());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(lock.get())), art + "\\" + kLongName);
    }

    // The long-named sound dragged onto the button: its sound action, stored as chunk 82. Under
    // an editor the card takes no drop: the drag is ended and the button keeps what it had.
    Select(kLongName);
    POINT onButton{40, 20};
    ClientToScreen(GetMainWindow(), &onButton);
    Handle cardRecord = 0;
    uint32_t offset = 0;
    ASSERT_TRUE(FindObject(kObjectButton, 10, &cardRecord, &offset));
    {
        const EditorGuard editing;
        SetMediaLibDropPoint(onButton);
        SendMessageA(GetMainWindow(), WM_DROPFILES, 0, kDropFromMediaLib);
        const POINT left = GetMediaLibDropPoint(nullptr, POINT{-1, -1});
        EXPECT_TRUE(left.x == 0 && left.y == 0) << "the refused drag is ended";
        uint32_t none = 0;
        EXPECT_FALSE(FindObjectChunk(cardRecord, offset, 82, &none));
    }
    Select(kLongName);
    SetMediaLibDropPoint(onButton);
    SendMessageA(GetMainWindow(), WM_DROPFILES, 0, kDropFromMediaLib);
    ASSERT_TRUE(FindObject(kObjectButton, 10, &cardRecord, &offset));
    ActionBlock block{};
    LoadActionBlock(cardRecord, offset, &block);
    EXPECT_EQ(block.soundIsFile, 1u);
    DisposeActionBlockData(&block);
    uint32_t chunk = 0;
    EXPECT_TRUE(FindObjectChunk(cardRecord, offset, 82, &chunk));
    char slot[MAX_PATH] = {};
    GetFileSpecPath(kSlotMediaFolder2, sizeof slot, slot);
    EXPECT_EQ(std::string(slot), art + "\\" + kLongName);
    char current[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof current, current);  // the copy the plug-in opened
    EXPECT_FALSE(SavedButtonHasChunk(current, 10, 82));
    ASSERT_TRUE(SaveOpenStack(page.embed, true)) << "the sound lies in the library, not beside the stack";
    char saved[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof saved, saved);
    EXPECT_TRUE(SavedButtonHasChunk(saved, 10, 82)) << "saved, the button keeps its sound file";
    EXPECT_FALSE(SavedButtonHasChunk(current, 10, 82)) << "the downloaded copy stays the site's";

    // Released off every window of ours: a shortcut on the desktop for the selected file.
    char desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE);
    const std::string shortcut = std::string(desktop) + "\\old.LNK";
    DeleteFileA(shortcut.c_str());
    Select("old.wav");
    RECT screen{};
    GetWindowRect(GetDesktopWindow(), &screen);
    POINT away{screen.right - 2, screen.bottom - 2};
    ASSERT_EQ(MediaLibDropPlace(browser, away), 2);
    BeginMediaLibItemDrag(browser);
    ScreenToClient(browser, &away);
    OnMediaLibMouse(browser, WM_LBUTTONUP, away);
    EXPECT_EQ(GetFileAttributesA(shortcut.c_str()) != INVALID_FILE_ATTRIBUTES, true) << shortcut;
    char target[MAX_PATH] = {};
    EXPECT_TRUE(ResolveShortcut(shortcut.c_str(), target, sizeof target));
    EXPECT_EQ(std::string(target), old);
    DeleteFileA(shortcut.c_str());
    // Over the page outside the card window, or over the browser itself, nothing takes it.
    RECT pageRect{}, cardRect{};
    GetWindowRect(GetAncestor(page.embed, GA_ROOT), &pageRect);
    GetWindowRect(GetMainWindow(), &cardRect);
    EXPECT_EQ(MediaLibDropPlace(browser, onButton), 1);
    if (pageRect.bottom > cardRect.bottom + 4)
        EXPECT_EQ(MediaLibDropPlace(browser, POINT{cardRect.left + 2, pageRect.bottom - 8}), 0);
    else
        ADD_FAILURE() << "the page has no room below the card";
    RECT own{};
    GetWindowRect(browser, &own);
    EXPECT_EQ(MediaLibDropPlace(browser, POINT{own.left + 10, own.top + 40}), 0);

    // A button and a graphic dragged off the card onto the list: saved there and listed by kind;
    // the saved button previews as a button, not as the title picture.
    RECT list{};
    GetWindowRect(List(), &list);
    POINT overList{(list.left + list.right) / 2, (list.top + list.bottom) / 2};
    ScreenToClient(GetMainWindow(), &overList);
    Select("old.wav");
    const COLORREF title = WindowPixel(GetDlgItem(browser, kMediaLibPaneId), 10, 10);
    ASSERT_TRUE(DropObjectToMediaLib(LayerOf(kObjectButton), overList));
    ASSERT_TRUE(DropObjectToMediaLib(LayerOf(kObjectGraphic), overList));
    const int button = IndexOf("Play.bttn"), picture = IndexOf("Pic.grfc");
    ASSERT_GE(button, 0);
    ASSERT_GE(picture, 0);
    EXPECT_EQ(Column(1)[static_cast<size_t>(button)], "Button");
    EXPECT_EQ(Column(1)[static_cast<size_t>(picture)], "Graphic");
    EXPECT_EQ(MediaCodeForFile((art + "\\Pic.grfc").c_str()), kMediaGraphic);
    Select("Play.bttn");
    EXPECT_EQ(PreviewKind(), static_cast<uint32_t>(kMediaButton));
    EXPECT_NE(WindowPixel(GetDlgItem(browser, kMediaLibPaneId), 10, 10), title);
    Select("Pic.grfc");
    EXPECT_EQ(PreviewKind(), static_cast<uint32_t>(kMediaGraphic));
    // A saved text object previews in a field that takes no clicks or typing.
    ASSERT_TRUE(DropObjectToMediaLib(LayerOf(kObjectText), overList));
    Select("Note.tfld");
    EXPECT_EQ(PreviewKind(), static_cast<uint32_t>(kMediaTextObject));
    HWND note = nullptr;
    {
        MediaLibLock record;
        note = reinterpret_cast<HWND>(record->previewObject);
    }
    ASSERT_TRUE(IsWindow(note));
    EXPECT_TRUE(IsMediaLibTextItem(note));
    char words[32] = {};
    GetWindowTextA(note, words, sizeof words);
    EXPECT_STREQ(words, "Quiet words");
    SendMessageA(note, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(note, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    SendMessageA(note, WM_CHAR, 'x', 1);
    GetWindowTextA(note, words, sizeof words);
    EXPECT_STREQ(words, "Quiet words");
    Select("old.wav");
    EXPECT_FALSE(IsWindow(note));

    // Off the library the object is saved beside the stack (since its Save, the file it was
    // saved as) and listed nowhere.
    char stackFolder[MAX_PATH] = {};
    GetFileSpecFolder(kSlotCurrentStack, stackFolder, sizeof stackFolder);
    const std::string besideStack = std::string(stackFolder) + "\\Play.bttn";
    DeleteFileA(besideStack.c_str());
    const size_t listed = Column(0).size();
    EXPECT_TRUE(DropObjectToMediaLib(LayerOf(kObjectButton), POINT{5, 5}));
    EXPECT_EQ(Column(0).size(), listed);
    EXPECT_NE(GetFileAttributesA(besideStack.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(besideStack.c_str());

    // Files dropped from the shell into the list are copied into the category, never over a
    // file of the same name.
    const std::string outside = MakeTestFolder("outside");
    const std::string fresh = WriteTestFile(outside, "fresh.wav", "RIFF....WAVE");
    const std::string clash = WriteTestFile(outside, "old.wav", "RIFF....DIFFERENT");
    const size_t before = Column(0).size();
    DropFiles(List(), {fresh, clash}, POINT{5, 5});
    EXPECT_EQ(Column(0).size(), before + 1);
    EXPECT_GE(IndexOf("fresh.wav"), 0);
    EXPECT_EQ(FileText(old), "RIFF....WAVE");
    RemoveTestFolder(outside);

    // The splitter dragged up to the pane's top stops one border width below it.
    {
        HWND pane = GetDlgItem(browser, kMediaLibPaneId);
        RECT paneRect{}, listRect{};
        GetWindowRect(pane, &paneRect);
        GetWindowRect(List(), &listRect);
        MapWindowPoints(nullptr, browser, reinterpret_cast<POINT*>(&paneRect), 2);
        MapWindowPoints(nullptr, browser, reinterpret_cast<POINT*>(&listRect), 2);
        ASSERT_GT(listRect.top, paneRect.bottom);
        const int gap = listRect.top - paneRect.bottom;
        const LPARAM band = MAKELPARAM(20, (paneRect.bottom + listRect.top) / 2);
        SendMessageA(browser, WM_MOUSEMOVE, 0, band);
        SendMessageA(browser, WM_LBUTTONDOWN, MK_LBUTTON, band);
        HoldKey(VK_LBUTTON, true);
        SendMessageA(browser, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, paneRect.top - 30));
        HoldKey(VK_LBUTTON, false);
        SendMessageA(browser, WM_LBUTTONUP, 0, MAKELPARAM(20, paneRect.top - 30));
        RECT movedPane{}, movedList{};
        GetWindowRect(pane, &movedPane);
        GetWindowRect(List(), &movedList);
        MapWindowPoints(nullptr, browser, reinterpret_cast<POINT*>(&movedPane), 2);
        MapWindowPoints(nullptr, browser, reinterpret_cast<POINT*>(&movedList), 2);
        EXPECT_EQ(movedPane.top, paneRect.top);
        EXPECT_EQ(movedPane.bottom, paneRect.top + GetSystemMetrics(SM_CYBORDER));
        EXPECT_EQ(movedList.top, movedPane.bottom + gap);
        EXPECT_EQ(movedList.bottom, listRect.bottom);
        MediaLibLock record;
        EXPECT_EQ(record->tracking, 0u);
    }

    // A sound previews as the tape deck.
    Select("young.wav");
    EXPECT_EQ(PreviewKind(), static_cast<uint32_t>(kMediaSound));

    // Another category: the folder and the value follow, the list is the category's.
    HWND combo = GetDlgItem(browser, kMediaLibCategoryId);
    SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Sounds"));
    SendMessageA(browser, WM_COMMAND, MAKEWPARAM(kMediaLibCategoryId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(FolderValue(), "Media Library\\Sounds");
    EXPECT_EQ(Column(0), std::vector<std::string>{"bell.wav"});

    // Close in its system menu hides it; the command shows it again with its state.
    SendMessageA(browser, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(browser));
    DoMenuCommand(page.embed, kMediaLibCommand);
    EXPECT_TRUE(IsWindowVisible(browser));
    EXPECT_EQ(GetMediaLibWindow(), browser);
    EXPECT_EQ(Column(0), std::vector<std::string>{"bell.wav"});

    DestroyMenu(menu);
    CloseLinkedPlugin(&page);
    WNDCLASSA left{};
    EXPECT_FALSE(GetClassInfoA(GetAppInstance(), "LM_MediaBrowser", &left));
    EXPECT_FALSE(IsWindow(browser));
    RemoveTestFolder(program);
    CoUninitialize();
}

// A failed search leaves the library to be looked for again: each opening explains where the
// folder goes, and the menu item stays enabled.
TEST_F(MediaBrowserInPlugin, AFailedSearchIsTriedAgainAtTheNextOpening) {
    const std::string program = MakeTestFolder("nolib");
    SetFolderValue("Media Library\\Gone");
    sb::Stack stack;
    stack.cards = {sb::PlainCard(1)};
    ASSERT_TRUE(Open(stack));
    SetFileSpecFromPath(kSlotProgram, (program + "\\nploom.dll").c_str());
    for (int opening = 0; opening < 2; ++opening) {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Alert(kAlertPendingText), [](DialogView& box) { box.Press(52); });
        driver.Run([&] { return DoMenuCommand(page.embed, kMediaLibCommand) ? 1 : 0; });
        EXPECT_EQ(GetMediaLibWindow(), nullptr);
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kMediaLibCommand, "Media");
    UpdateMediaLibMenuItem(menu);
    EXPECT_FALSE(GetMenuState(menu, kMediaLibCommand, MF_BYCOMMAND) & MF_GRAYED);
    DestroyMenu(menu);
    CloseLinkedPlugin(&page);
    RemoveTestFolder(program);
}

TEST(MediaBrowserPlacement, GoesBesideThePageWhereThereIsRoom) {
    EXPECT_EQ(PlaceMediaLibWindow(RECT{300, 100, 900, 600}, 256, 342, 1024, 768).x, 43);
    EXPECT_EQ(PlaceMediaLibWindow(RECT{300, 100, 900, 600}, 256, 342, 1024, 768).y, 100);
    // No room at the left: the right.
    const POINT right = PlaceMediaLibWindow(RECT{100, -20, 600, 500}, 256, 342, 1024, 768);
    EXPECT_EQ(right.x, 601);
    EXPECT_EQ(right.y, 0);
    // Neither side: below, then centred.
    const POINT below = PlaceMediaLibWindow(RECT{0, 10, 1024, 300}, 256, 342, 1024, 768);
    EXPECT_EQ(below.y, 301);
    const POINT centred = PlaceMediaLibWindow(RECT{0, 0, 1024, 768}, 256, 342, 1024, 768);
    EXPECT_EQ(centred.x, (1024 - 256) / 2);
}

}  // namespace
