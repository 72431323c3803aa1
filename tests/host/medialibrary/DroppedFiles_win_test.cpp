// Files dropped on the hosted plug-in's card window through real drop records: each kind turns
// into the actions of what lies under the drop (or of the card), text goes into the field under
// it, shortcuts are followed (a cycle is not), and a non-advanced user's card takes nothing.
#include <windows.h>
#include <objbase.h>
#include <richedit.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/ToolNumbers.h"
#include "core/ui/Alerts.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/menus/MenuCommands.h"
#include "host/player/CardNavigation.h"
#include "host/window/PeriodicTick.h"
#include "media/animation/AnimPlayback.h"
#include "media/animation/AnimRecord.h"
#include "objects/ObjectServices.h"
#include "paint/Selections.h"
#include "resources/graphics_ids.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/cards/ObjectFile.h"
#include "format/StackReader.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "stack/save/SaveDialogs.h"
#include "tests/host/medialibrary/DropTesting_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

namespace sb = stackbuilder;

constexpr uint16_t kButtonId = 10, kFieldId = 20, kGraphicId = 30;
constexpr int kNewCardCommand = 155;
const POINT kOnButton{40, 20}, kOnCard{180, 100};

ActionBlock ButtonActions() {
    ActionBlock block{};
    Handle card = 0;
    uint32_t offset = 0;
    EXPECT_TRUE(FindObject(kObjectButton, kButtonId, &card, &offset));
    LoadActionBlock(card, offset, &block);
    return block;
}

ActionBlock CardClickActions() {
    ActionBlock block{};
    Handle card = GetCurrentCardRecord();
    uint16_t id = 0;
    {
        HandleLock lock(card);
        std::memcpy(&id, lock.get() + kCardAction3, 2);
    }
    EXPECT_NE(id, 0);
    ScopedHandle record(LoadActionResource(id));
    LoadActionBlock(record.get(), 0, &block);
    return block;
}

std::string Slot(int slot) {
    char path[MAX_PATH] = {};
    GetFileSpecPath(slot, sizeof path, path);
    return path;
}

HWND FieldWindow() {
    for (LayerHandle layer = GetLayerListHead(); layer;) {
        LayerLock<ObjectLayer> common(layer);
        LayerHandle next = common ? common->next : 0;
        if (common && common->kind == kObjectText) {
            LayerLock<FieldLayer> field(layer);
            return field->window;
        }
        layer = next;
    }
    return nullptr;
}

// A 24-bit bottom-up BMP of one colour inside a white border (a lasso fits what differs from it).
std::string WriteBmp(const std::string& path, int width, int height, COLORREF colour, int border) {
    const int rowBytes = (width * 3 + 3) & ~3;
    std::string file(54 + static_cast<size_t>(rowBytes) * height, '\0');
    const auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file[at + i] = static_cast<char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = 54 + static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * 3;
            const bool edge = x < border || y < border || x >= width - border || y >= height - border;
            const COLORREF c = edge ? RGB(255, 255, 255) : colour;
            file[at] = static_cast<char>(GetBValue(c));
            file[at + 1] = static_cast<char>(GetGValue(c));
            file[at + 2] = static_cast<char>(GetRValue(c));
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    return path;
}

// Whether the saved stack's first card holds the button with an action chunk of that tag, as
// the reader reads the file.
bool SavedButtonHasChunk(const char* path, uint16_t id, uint16_t tag) {
    std::vector<uint8_t> data;
    if (FILE* f = std::fopen(path, "rb")) {
        uint8_t buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            data.insert(data.end(), buffer, buffer + n);
        std::fclose(f);
    }
    SpanByteSource source(data);
    StackConversion cv;
    StackFileContents contents;
    bool found = false;
    if (ReadStackFile(source, cv, contents).ok() && !contents.cards.empty()) {
        uint32_t offset = 0, chunk = 0;
        found = FindObjectInCard(kObjectButton, id, contents.cards[0], &offset) &&
                FindObjectChunk(contents.cards[0], offset, tag, &chunk);
    }
    DisposeStackFileContents(contents);
    return found;
}

// The graphic layers other than the stack's own, and their ids.
std::vector<LayerHandle> NewGraphicLayers() {
    std::vector<LayerHandle> found;
    for (LayerHandle layer = GetLayerListHead(); layer;) {
        LayerLock<ObjectLayer> common(layer);
        if (!common)
            break;
        if (common->kind == kObjectGraphic && common->id != kGraphicId)
            found.push_back(layer);
        layer = common->next;
    }
    return found;
}

std::string FieldText(HWND field) {
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(field)) + 1, 0);
    GetWindowTextA(field, text.data(), static_cast<int>(text.size()));
    return std::string(text.data());
}

class DroppedFilesInPlugin : public LinkedPluginTest {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        folder_ = MakeTestFolder("drops");
        sb::Stack stack;
        stack.cardWidth = 240;
        stack.cardHeight = 160;
        sb::Card card = sb::PlainCard(1);
        card.objects.push_back(sb::Button(kButtonId, {10, 10, 90, 40}, "Play"));
        card.objects.push_back(sb::TextField(kFieldId, {10, 60, 200, 100}, "Words", "HelloWorld"));
        card.objects.push_back(sb::Graphic(kGraphicId, {150, 10, 190, 50}, "Pic"));
        stack.cards = {card};
        ASSERT_TRUE(Open(stack));
        SetAdvancedUser(true);
        SetToolNumberQuietly(kBrowseTool);  // whatever an earlier test left
    }
    void TearDown() override {
        LinkedPluginTest::TearDown();
        RemoveTestFolder(folder_);
        CoUninitialize();
    }
    std::string File(const std::string& name, const std::string& bytes) { return WriteTestFile(folder_, name, bytes); }

    std::string folder_;
};

TEST_F(DroppedFilesInPlugin, KindsBecomeActionsOfWhatLiesUnderTheDrop) {
    const std::string sound = File("chime.wav", "RIFF....WAVE");
    const std::string other = File("other.stk", "not read at the drop");
    const std::string picture = File("pic.bmp", "BM");
    const std::string link1 = MakeShortcut(folder_ + "\\one.lnk", sound);
    const std::string link2 = MakeShortcut(folder_ + "\\two.lnk", link1);
    HWND card = GetMainWindow();

    // A sound on empty card: the card's click action; only the first file counts.
    ASSERT_EQ(GetCurrentTool(), static_cast<uint32_t>(kBrowseTool));
    EXPECT_EQ(DropFiles(card, {sound, other}, kOnCard), 0);
    EXPECT_EQ(GetCurrentTool(), static_cast<uint32_t>(kBrowseTool)) << "the borrowed object tool is given back";
    ActionBlock block = CardClickActions();
    EXPECT_EQ(block.soundParameter, 128);
    EXPECT_EQ(block.soundIsFile, 1u);
    EXPECT_EQ(block.destination, 0);
    EXPECT_EQ(Slot(kSlotMediaFolder2), sound);
    DisposeActionBlockData(&block);

    // A stack on empty card: to its first card, transition 1 at speed 8.
    DropFiles(card, {other}, kOnCard);
    block = CardClickActions();
    EXPECT_EQ(block.destination, -6);
    EXPECT_EQ(block.transition, 1);
    EXPECT_EQ(block.transitionSpeed, 8);
    EXPECT_EQ(Slot(kSlotTargetStack), other);
    DisposeActionBlockData(&block);

    // A shortcut to a shortcut to the sound, on the button: the button plays the sound.
    block = ButtonActions();
    EXPECT_EQ(block.soundIsFile, 0u);
    DisposeActionBlockData(&block);
    SetFileSpecFromPath(kSlotMediaFolder2, "");
    DropFiles(card, {link2}, kOnButton);
    block = ButtonActions();
    EXPECT_EQ(block.soundIsFile, 1u);
    EXPECT_EQ(block.soundParameter, 128);
    EXPECT_EQ(Slot(kSlotMediaFolder2), sound);
    DisposeActionBlockData(&block);

    // A picture on a button changes nothing, nor does a cycle of shortcuts.
    const std::string cycleA = folder_ + "\\cycleA.lnk", cycleB = folder_ + "\\cycleB.lnk";
    MakeShortcut(cycleA, sound);
    MakeShortcut(cycleB, cycleA);
    MakeShortcut(cycleA, cycleB);
    DropFiles(card, {other}, kOnButton);  // the button now goes to the other stack
    DropFiles(card, {picture}, kOnButton);
    DropFiles(card, {cycleA}, kOnButton);
    block = ButtonActions();
    EXPECT_EQ(block.destination, -6);
    EXPECT_EQ(block.soundIsFile, 1u);
    DisposeActionBlockData(&block);

    // A picture dropped with Alt on empty card asks what to do.
    {
        DialogDriver driver(15000);
        bool asked = false;
        driver.Expect(DialogMatch::Template("DROPOPTS"), [&](DialogView& box) {
            asked = box.IsChecked(200) && box.FocusId() == 200;
            box.Press(IDCANCEL);
        });
        HoldKey(VK_MENU, true);
        driver.Run([&] { return DropFiles(card, {picture}, kOnCard); });
        HoldKey(VK_MENU, false);
        EXPECT_TRUE(asked);
    }

    // A sound dropped on the text field's own window: the field's actions, in a new 'Actn'.
    DropFiles(FieldWindow(), {sound}, POINT{5, 5});
    Handle holder = 0;
    uint32_t fieldOffset = 0;
    ASSERT_TRUE(FindObject(kObjectText, kFieldId, &holder, &fieldOffset));
    uint16_t actionId = 0;
    {
        HandleLock lock(holder);
        std::memcpy(&actionId, lock.get() + fieldOffset + kTextAction, 2);
    }
    ASSERT_NE(actionId, 0);
    {
        ScopedHandle record(LoadActionResource(actionId));
        block = ActionBlock{};
        LoadActionBlock(record.get(), 0, &block);
        EXPECT_EQ(block.soundIsFile, 1u);
        DisposeActionBlockData(&block);
    }

    // A non-advanced user's card takes no drop.
    SetAdvancedUser(false);
    const std::string quiet = File("quiet.wav", "RIFF....WAVE");
    EXPECT_NE(DropFiles(card, {quiet}, kOnButton), 0);
    EXPECT_EQ(Slot(kSlotMediaFolder2), sound);
}

TEST_F(DroppedFilesInPlugin, RichTextDroppedMidFieldKeepsTheTextOnBothSides) {
    const std::string rich = File("insert.txt", "{\\rtf1\\ansi {\\b Brave}}");
    HWND field = FieldWindow();
    ASSERT_NE(field, nullptr);
    ASSERT_EQ(FieldText(field), "HelloWorld");
    // The point of the sixth character, in card coordinates.
    const LRESULT at = SendMessageA(field, EM_POSFROMCHAR, 5, 0);
    POINT point{static_cast<short>(LOWORD(at)) + 1, static_cast<short>(HIWORD(at)) + 2};
    MapWindowPoints(field, GetMainWindow(), &point, 1);
    EXPECT_EQ(DropFiles(GetMainWindow(), {rich}, point), 0);
    std::string text = FieldText(field);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    EXPECT_EQ(text, "HelloBraveWorld");

    // Plain text mid-field goes in at the caret as well.
    const std::string plain = File("more.txt", "Big");
    const LRESULT end = SendMessageA(field, EM_POSFROMCHAR, 10, 0);
    POINT endPoint{static_cast<short>(LOWORD(end)) + 1, static_cast<short>(HIWORD(end)) + 2};
    MapWindowPoints(field, GetMainWindow(), &endPoint, 1);
    DropFiles(GetMainWindow(), {plain}, endPoint);
    EXPECT_NE(FieldText(field).find("HelloBraveBigWorld"), std::string::npos) << FieldText(field);
}

TEST_F(DroppedFilesInPlugin, SavedObjectsArePlacedAndAnAnimatedGifBecomesTheButtonsAnimation) {
    HWND card = GetMainWindow();
    // The stack's own graphic saved to a file, then dropped: a new object centred on the drop.
    const std::string saved = folder_ + "\\Pic.grfc";
    ASSERT_NE(WriteObjectFile(ObjectDragBlock{kObjectGraphic, kGraphicId, 0}, saved.c_str()), 0);
    ASSERT_TRUE(NewGraphicLayers().empty());
    EXPECT_EQ(DropFiles(card, {saved}, POINT{120, 120}), 0);
    const std::vector<LayerHandle> placed = NewGraphicLayers();
    ASSERT_EQ(placed.size(), 1u);
    uint16_t newId = 0;
    {
        LayerLock<ObjectLayer> layer(placed[0]);
        newId = layer->id;
        EXPECT_EQ(layer->bounds.left, 100);
        EXPECT_EQ(layer->bounds.top, 100);
        EXPECT_EQ(layer->bounds.right, 140);
        EXPECT_EQ(layer->bounds.bottom, 140);
    }
    Handle holder = 0;
    uint32_t offset = 0;
    ASSERT_TRUE(FindObject(kObjectGraphic, newId, &holder, &offset));
    {
        HandleLock lock(holder);
        int16_t rect[4] = {};
        std::memcpy(rect, lock.get() + offset + kObjectRect, sizeof rect);
        EXPECT_EQ(rect[0], 100);
        EXPECT_EQ(rect[1], 100);
        EXPECT_EQ(rect[2], 140);
        EXPECT_EQ(rect[3], 140);
    }
    ASSERT_TRUE(FindObject(kObjectGraphic, kGraphicId, &holder, &offset)) << "the original stays";

    // A saved button and a saved text object: each a new object of its kind, centred likewise.
    for (const uint16_t kind : {kObjectButton, kObjectText}) {
        const uint16_t id = kind == kObjectButton ? kButtonId : kFieldId;
        const std::string file = folder_ + (kind == kObjectButton ? "\\Play.bttn" : "\\Words.tfld");
        ASSERT_NE(WriteObjectFile(ObjectDragBlock{kind, id, 0}, file.c_str()), 0) << kind;
        EXPECT_EQ(DropFiles(card, {file}, POINT{200, 130}), 0);
        RECT bounds{};
        int count = 0;
        for (LayerHandle layer = GetLayerListHead(); layer;) {
            LayerLock<ObjectLayer> common(layer);
            if (!common)
                break;
            if (common->kind == kind && common->id != id) {
                bounds = common->bounds;
                ++count;
            }
            layer = common->next;
        }
        EXPECT_EQ(count, 1) << kind;
        EXPECT_EQ((bounds.left + bounds.right) / 2, 200) << kind;
        EXPECT_EQ((bounds.top + bounds.bottom) / 2, 130) << kind;
    }
    // The same button with a wrong magic is not placed.
    std::vector<uint8_t> bad = ReadObjectFileBytes((folder_ + "\\Play.bttn").c_str());
    ASSERT_GT(bad.size(), 32u);
    bad[0] = 'X';
    const std::string badPath = WriteTestFile(folder_, "Bad.bttn", std::string(bad.begin(), bad.end()));
    const auto buttons = [] {
        int count = 0;
        for (LayerHandle layer = GetLayerListHead(); layer;) {
            LayerLock<ObjectLayer> common(layer);
            if (!common)
                break;
            count += common->kind == kObjectButton;
            layer = common->next;
        }
        return count;
    };
    const int before = buttons();
    DropFiles(card, {badPath}, POINT{60, 130});
    EXPECT_EQ(buttons(), before);

    // A GIF of three images on the button: the editor opens on its frames; a click makes the
    // path, OK keeps it, and the animation is saved in the button's actions.
    const Bytes frames = ThreeFrameGif();
    const std::string gif = WriteTestFile(folder_, "spin.gif", std::string(frames.begin(), frames.end()));
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("ANIMPROMPT"), [card](DialogView&) {
        PostMessageA(card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 120));
        PostMessageA(card, WM_LBUTTONUP, 0, MAKELPARAM(150, 120));
        PostMessageA(card, WM_KEYDOWN, 'Q', 1);
    });
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) { box.Press(IDOK); });
    EXPECT_EQ(driver.Run([&] { return static_cast<int>(DropFiles(card, {gif}, kOnButton)); }), 0);
    ActionBlock block = ButtonActions();
    ASSERT_NE(block.animationData, 0u) << "the animation chunk is written on the button";
    {
        HandleLock lock(block.animationData);
        Handle sprite = 0;
        ASSERT_EQ(LoadAnimRecord(lock.get(), GetHandleSize(block.animationData), &sprite), 0);
        EXPECT_EQ(GetFilmFrameCount(GetSpriteFilm(sprite)), 3u);
    }
    DisposeActionBlockData(&block);

    // Saved, the button's record in the file carries the animation chunk.
    char current[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof current, current);
    EXPECT_FALSE(SavedButtonHasChunk(current, kButtonId, kTagAnimation));
    ASSERT_TRUE(SaveOpenStack(page.embed));
    char savedStack[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof savedStack, savedStack);
    EXPECT_TRUE(SavedButtonHasChunk(savedStack, kButtonId, kTagAnimation));
    EXPECT_FALSE(SavedButtonHasChunk(current, kButtonId, kTagAnimation)) << "the downloaded copy stays the site's";

    // Another GIF on the same button asks first; Cancel keeps the one it has.
    DialogDriver asking(15000);
    asking.Expect(DialogMatch::Alert(2354), [](DialogView& box) {
        EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"OK", "Cancel"}));
        box.Press(53);
    });
    asking.Run([&] { return static_cast<int>(DropFiles(card, {gif}, kOnButton)); });
    block = ButtonActions();
    EXPECT_NE(block.animationData, 0u);
    DisposeActionBlockData(&block);

    // On empty card: the card's click action animates.
    DialogDriver onCard(20000);
    onCard.Expect(DialogMatch::Template("ANIMPROMPT"), [card](DialogView&) {
        PostMessageA(card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 130));
        PostMessageA(card, WM_LBUTTONUP, 0, MAKELPARAM(90, 130));
        PostMessageA(card, WM_KEYDOWN, 'Q', 1);
    });
    onCard.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) { box.Press(IDOK); });
    onCard.Run([&] { return static_cast<int>(DropFiles(card, {gif}, POINT{60, 130})); });
    block = CardClickActions();
    EXPECT_NE(block.animationData, 0u) << "the animation chunk is written in the card's actions";
    DisposeActionBlockData(&block);
}

// A GIF dropped on the card, with a new card asked for while its animation is edited: the new
// card waits for the editor, so the animation is the card's it was dropped on; made afterwards,
// the new card is blank and the first card keeps its picture.
TEST_F(DroppedFilesInPlugin, AGifWhoseCardIsAskedToBeLeftUnderTheAnimationEditorStaysWithItsCard) {
    HWND card = page.embed;
    const uint16_t first = GetCurrentCardId();
    const auto pixel = [] {
        HDC dc = AcquireOffscreenDC(nullptr);
        const COLORREF c = dc ? GetPixel(dc, 220, 150) & 0xFFFFFF : CLR_INVALID;
        if (dc)
            ReleaseOffscreenDC(dc);
        return c;
    };
    {
        // The first card's picture: a black corner, away from the objects and the drop.
        HDC dc = AcquireOffscreenDC(nullptr);
        ASSERT_TRUE(dc);
        const RECT corner{200, 120, 240, 160};
        FillRect(dc, &corner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseOffscreenDC(dc);
        NoteCardPicturePainted();  // as the paint tools note what they paint
        MarkCardChanged();
    }
    ASSERT_EQ(pixel(), 0u);
    const Bytes frames = ThreeFrameGif();
    const std::string gif = File("left.gif", std::string(frames.begin(), frames.end()));
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("ANIMPROMPT"), [card](DialogView&) {
        PostMessageA(card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 130));
        PostMessageA(card, WM_LBUTTONUP, 0, MAKELPARAM(90, 130));
        PostMessageA(card, WM_KEYDOWN, 'Q', 1);
    });
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [&](DialogView& box) {
        DoMenuCommand(page.embed, kNewCardCommand);
        box.Press(IDOK);
    });
    driver.Run([&] { return static_cast<int>(DropFiles(card, {gif}, POINT{60, 130})); });
    EXPECT_EQ(GetCurrentCardId(), first) << "the new card waits for the editor";
    EXPECT_EQ(pixel(), 0u) << "the card shown is not erased under the editor";
    EXPECT_NE(GetHandleWord(FindCardById(first), kCardAction3), 0) << "the animation is the dropped-on card's";
    // The card window's tick makes the new card now.
    PeriodicTick(card);
    EXPECT_EQ(HeldWorkCount(), 0);
    const uint16_t made = GetCurrentCardId();
    EXPECT_NE(made, first) << "the new card, once the editor ended";
    EXPECT_EQ(pixel(), 0xFFFFFFu) << "the new card is blank";
    GoToCardId(first);
    EXPECT_EQ(pixel(), 0u) << "the first card keeps its picture";
    EXPECT_NE(GetHandleWord(FindCardById(first), kCardAction3), 0);
}

TEST_F(DroppedFilesInPlugin, PicturesAreCroppedOrPlacedAndProgramsAndMoviesBecomeActions) {
    HWND card = GetMainWindow();
    const std::string picture = WriteBmp(folder_ + "\\sky.bmp", 80, 60, RGB(40, 90, 200), 6);
    ASSERT_EQ(GetCurrentTool(), static_cast<uint32_t>(kBrowseTool));
    const auto clear = [card] {
        DropRectSelection(card);
        FreeMaskSelection();
    };

    // Plain: cropped first, the cut-out floats as clip art.
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
            EXPECT_EQ(box.Caption(), "Clip Art");
            HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
            DragThrough(view, {{10, 10}, {30, 25}, {50, 40}, {50, 40}});
            box.Press(IDOK);
        });
        EXPECT_EQ(driver.Run([&] { return static_cast<int>(DropFiles(card, {picture}, kOnCard)); }), 0);
        ASSERT_TRUE(IsRectSelectionActive());
        RECT cut{};
        CopyRectSelection(&cut);
        EXPECT_EQ(cut.right - cut.left, 40);
        EXPECT_EQ(cut.bottom - cut.top, 30);
        EXPECT_EQ(GetCurrentTool(), static_cast<uint32_t>(kRectSelectTool)) << "the selection keeps its tool";
        clear();
    }
    // Shift: the whole picture lassoed as clip art, no dialog; Ctrl: as a graphic object.
    {
        DialogDriver none(5000);
        HoldKey(VK_SHIFT, true);
        none.Run([&] { return static_cast<int>(DropFiles(card, {picture}, kOnCard)); });
        HoldKey(VK_SHIFT, false);
        HBITMAP mask = nullptr;
        EXPECT_TRUE(GetMaskSelection(nullptr, &mask, nullptr, nullptr, nullptr));
        BITMAP shape{};
        if (mask)
            GetObjectA(mask, sizeof shape, &shape);
        EXPECT_EQ(shape.bmWidth, 68) << "the lasso fits the picture inside its border";
        EXPECT_EQ(shape.bmHeight, 48);
        EXPECT_FALSE(IsGraphicSelection());
        clear();
        HoldKey(VK_CONTROL, true);
        none.Run([&] { return static_cast<int>(DropFiles(card, {picture}, kOnCard)); });
        HoldKey(VK_CONTROL, false);
        EXPECT_TRUE(GetMaskSelection(nullptr, nullptr, nullptr, nullptr, nullptr));
        EXPECT_TRUE(IsGraphicSelection());
        clear();
        EXPECT_EQ(none.DialogsSeen(), 0);
    }
    // Alt: the options. Lasso; crop; background.
    const auto withOption = [&](int option, const std::string& file, std::function<void(DialogDriver&)> more) {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Template("DROPOPTS"), [option](DialogView& box) {
            box.SetChecked(200, false);
            box.SetChecked(option, true);
            box.Press(IDOK);
        });
        if (more)
            more(driver);
        HoldKey(VK_MENU, true);
        driver.Run([&] { return static_cast<int>(DropFiles(card, {file}, kOnCard)); });
        HoldKey(VK_MENU, false);
    };
    withOption(200, picture, nullptr);
    EXPECT_TRUE(GetMaskSelection(nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_FALSE(IsGraphicSelection());
    clear();
    withOption(201, picture, [](DialogDriver& driver) {
        driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
            HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
            DragThrough(view, {{0, 0}, {20, 20}, {20, 20}});
            box.Press(IDOK);
        });
    });
    ASSERT_TRUE(IsRectSelectionActive());
    RECT cut{};
    CopyRectSelection(&cut);
    EXPECT_EQ(cut.right - cut.left, 20);
    clear();
    const std::string background = WriteBmp(folder_ + "\\whole.bmp", 240, 160, RGB(0, 200, 0), 0);
    withOption(202, background, nullptr);
    UpdateWindow(card);
    const COLORREF shown = WindowPixel(card, 200, 150);
    EXPECT_GT(GetGValue(shown), 150) << std::hex << shown;
    EXPECT_LT(GetRValue(shown), 60) << std::hex << shown;

    // A program on the button: launched, no document; a movie on the card: measured.
    const std::string program = File("tool.exe", "MZ");
    SetFileSpecFromPath(kSlotLaunchDocument, "C:\\old.doc");
    DropFiles(card, {program}, kOnButton);
    ActionBlock block = ButtonActions();
    EXPECT_EQ(block.destination, 0);
    EXPECT_EQ(block.launchOption & 0x4001, 0x0001);
    EXPECT_EQ(Slot(kSlotLaunchProgram), program);
    EXPECT_EQ(Slot(kSlotLaunchDocument), "");
    DisposeActionBlockData(&block);
    const Bytes avi = RleAvi();
    const std::string movie = WriteTestFile(folder_, "four.avi", std::string(avi.begin(), avi.end()));
    DropFiles(card, {movie}, kOnCard);
    block = CardClickActions();
    EXPECT_EQ(block.movieSet, 1u);
    EXPECT_EQ(block.movieRect.right - block.movieRect.left, kAviWidth);
    EXPECT_EQ(block.movieRect.bottom - block.movieRect.top, kAviHeight);
    EXPECT_EQ(Slot(kSlotMediaFolder14), movie);
    DisposeActionBlockData(&block);

    // Graphic object: the text windows hide, the crop dialog makes one to place; the drop is
    // not counted as taken, so nothing else is either.
    withOption(203, picture, [](DialogDriver& driver) {
        driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
            EXPECT_EQ(box.Caption(), "Graphic Objects");
            HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
            DragThrough(view, {{5, 5}, {45, 35}, {45, 35}});
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) { box.Press(IDOK); });
    });
    EXPECT_TRUE(IsPlacedGraphicShown());
    EXPECT_FALSE(IsWindowVisible(FieldWindow()));
    // While it is being placed, nothing dropped is taken.
    const std::string sound = File("chime.wav", "RIFF....WAVE");
    EXPECT_NE(DropFiles(card, {sound}, kOnCard), 0);
    EXPECT_NE(Slot(kSlotMediaFolder2), sound);
}

TEST_F(DroppedFilesInPlugin, NothingIsTakenWhileANewButtonIsPlaced) {
    DialogDriver make(15000);
    make.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) { box.Press(IDOK); });
    make.Run([&] { return DoMenuCommand(page.embed, 306, 0, nullptr) ? 1 : 0; });
    ASSERT_TRUE(IsPlacingButton());
    const std::string sound = File("chime.wav", "RIFF....WAVE");
    EXPECT_NE(DropFiles(GetMainWindow(), {sound}, kOnCard), 0);
    EXPECT_NE(Slot(kSlotMediaFolder2), sound);
    CancelPlacedButton(GetMainWindow());
    EXPECT_EQ(DropFiles(GetMainWindow(), {sound}, kOnCard), 0);
    EXPECT_EQ(Slot(kSlotMediaFolder2), sound);
}

}  // namespace
