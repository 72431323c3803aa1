// Field contents in the plug-in: a Mac Roman stack whose background field holds one entry for
// each of two cards, in bold red 24-pixel runs of a Mac face; each card shows its own text and
// style, and text typed on the second card reaches its entry (with fresh runs and a font table
// entry for the face) when the current card is saved without being left.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "layers/LayerList.h"
#include "objects/fonts/FontTable_win.h"
#include "objects/text/FieldContents_win.h"
#include "objects/text/TextFields.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
constexpr uint16_t kField = 30, kGenevaNumber = 5;
constexpr sb::Rect kFieldRect = {10, 10, 200, 90};

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) { b[at] = v >> 8, b[at + 1] = v & 0xFF; }

// A scrap of bold red 24-pixel runs of the Geneva entry starting at the given characters.
std::vector<uint8_t> BoldRedScrap(std::initializer_list<int> starts) {
    std::vector<uint8_t> scrap(2 + 20 * starts.size());
    Put16(scrap, 0, static_cast<uint16_t>(starts.size()));
    size_t at = 2;
    for (int start : starts) {
        Put16(scrap, at + 2, static_cast<uint16_t>(start));
        Put16(scrap, at + 4, 28), Put16(scrap, at + 6, 22), Put16(scrap, at + 8, kGenevaNumber);
        scrap[at + 10] = 1;
        Put16(scrap, at + 12, 24), Put16(scrap, at + 14, 0xFF00);
        at += 20;
    }
    return scrap;
}

sb::TextSubRecord Entry(uint16_t card, const std::string& text) {
    sb::TextSubRecord s;
    s.word0 = 99;
    s.word2 = card;
    s.path.assign(text.begin(), text.end());
    s.body = BoldRedScrap({0});
    if ((s.path.size() + s.body.size()) & 1) {
        s.long4 = 0x200;
        s.body.push_back(0);
    }
    return s;
}

sb::Stack TwoCardStack() {
    sb::Stack stack;
    stack.cardWidth = 240;
    stack.cardHeight = 120;
    stack.flags = 0x10;  // texts in Mac Roman
    sb::Card holder = sb::PictureCard(1, sb::SolidPicture(240, 120, 8, 0));
    sb::Object field = sb::TextField(kField, kFieldRect, "Notes", "");
    field.flags = 0x10;
    field.subRecords = {Entry(1, "First card"), Entry(2, "Caf\x8E two")};  // 0x8E: e acute
    holder.objects.push_back(field);
    stack.cards = {holder, sb::SharedCard(2, 1)};
    std::vector<uint8_t> fonts(92 * 2);
    const std::string face = "Geneva";
    fonts[0] = static_cast<uint8_t>(face.size());
    std::copy(face.begin(), face.end(), fonts.begin() + 1);
    Put16(fonts, 64, kGenevaNumber);
    Put16(fonts, 66, 1);
    stack.resources.push_back({.type = "FntL", .id = 128, .data = fonts});
    return stack;
}

CHARFORMAT2A FormatAt(HWND field, int at) {
    TextSetSel(field, at, at + 1, false);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(field, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

// The field's text marked as typed, then stored as leaving the card would; false without its
// layer.
bool SaveTypedField() {
    {
        LayerLock<FieldLayer> layer(FindLayer(kObjectText, kField));
        if (!layer)
            return false;
        layer->modified = 1;
    }
    SaveCurrentFieldContents();
    return true;
}

class FieldContents : public LinkedPluginTest {};

TEST_F(FieldContents, EachCardShowsItsStyledTextAndTypedTextIsSaved) {
    ASSERT_TRUE(Open(TwoCardStack()));
    const std::string arial = MapperFace("arial");
    auto field = [&] { return GetDlgItem(page.embed, kField); };
    ASSERT_TRUE(field());
    EXPECT_EQ(TextGetRange(field(), 0, -1, -1), "First card");
    CHARFORMAT2A format = FormatAt(field(), 3);
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    EXPECT_EQ(format.crTextColor & 0xFFFFFF, RGB(255, 0, 0));
    EXPECT_EQ(std::string(format.szFaceName), arial);

    GetStackUpcalls().goToCardId(2, 0, 0, 0);
    PumpPageMessages();
    ASSERT_EQ(GetCurrentCardId(), 2);
    ASSERT_TRUE(field());
    EXPECT_EQ(TextGetRange(field(), 0, -1, -1), "Caf\xE9 two");
    EXPECT_EQ(FormatAt(field(), 0).crTextColor & 0xFFFFFF, RGB(255, 0, 0));

    // Typed at the end in italic, then saved with the card not left.
    TextSetSel(field(), 8, 8, false);
    TextReplaceSel(field(), " more");
    TextSetSel(field(), 8, 13, false);
    TextSetStyle(field(), 2, TextScope::Selection);
    TextSetFontName(field(), "Courier New", TextScope::Selection);
    ASSERT_TRUE(SaveTypedField());
    const std::vector<uint8_t> object = OpenStackObject(1, kObjectText, kField);
    const auto mine = FindFieldTextEntry(object, 2, 0);
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->cardId, 2);
    const auto text = FieldEntryText(object, *mine);
    EXPECT_EQ(std::string(text.begin(), text.end()), "Caf\x8E two more");
    const std::vector<StyleRun> runs = ReadStyleScrap(FieldEntryScrap(object, *mine), mine->textLength);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].face & 1, 1);
    EXPECT_EQ(runs[0].red, 0xFF00);
    EXPECT_EQ(runs[0].size, 24);
    EXPECT_EQ(runs[1].start, 8);
    EXPECT_EQ(runs[1].face & 2, 2);
    FontEntry entry;
    ASSERT_TRUE(FindFontTableEntry(FontTableBytes(), static_cast<uint16_t>(runs[1].fontNumber), &entry));
    EXPECT_EQ(entry.face, std::string(FormatAt(field(), 10).szFaceName));
    // Card 1's entry is untouched.
    const auto first = FindFieldTextEntry(object, 1, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->cardId, 1);
    EXPECT_EQ(FieldEntryText(object, *first).size(), 10u);
}

// A new disk-based text object's record made from a field's layer (its first run becomes the
// base style and the style block, slot 3's file its spec entry); its text file, moved, is
// found through the locate prompt and shown in that style; cancelling the prompt leaves the
// field empty.
// A stack recognised as Mac-made by its colour table (a first entry of white) with header flag
// 0x10 clear: its field shows the Mac Roman text converted, as the button names on the card are,
// and text typed there is stored back in Mac Roman.
TEST_F(FieldContents, AStackMadeOnAMacByItsColourTableShowsAndStoresItsFieldTextConverted) {
    sb::Stack stack;
    stack.cardWidth = 240;
    stack.cardHeight = 120;
    sb::Picture picture = sb::SolidPicture(240, 120, 8, 0);
    picture.macColors = true;  // entry 0 of the grey ramp, white, as 0xFFFF
    sb::Card card = sb::PictureCard(1, picture);
    sb::Object field = sb::TextField(kField, kFieldRect, "Notes", "");
    field.subRecords = {Entry(1, "na\x95ve \xA5 bullet")};  // Mac Roman: i diaeresis, bullet
    card.objects.push_back(field);
    card.objects.push_back(sb::Button(31, {10, 95, 80, 115}, "Caf\x8E"));
    stack.cards = {card};
    ASSERT_TRUE(Open(stack));
    ASSERT_EQ(GetU16(HandleToBytes(GetStackHeaderHandle()), kHeaderFlags) & kStackMacRomanText, 0);
    EXPECT_TRUE(OpenStackTextIsMacRoman());
    const HWND window = GetDlgItem(page.embed, kField);
    ASSERT_TRUE(window);
    EXPECT_EQ(TextGetRange(window, 0, -1, -1), "na\xEFve \x95 bullet");
    const std::vector<uint8_t> button = OpenStackObject(1, kObjectButton, 31);
    ASSERT_GT(button.size(), size_t{kButtonName} + 5);
    EXPECT_EQ(std::string(button.begin() + kButtonName + 1, button.begin() + kButtonName + 5), "Caf\xE9");

    TextSetSel(window, 14, 14, false);
    TextReplaceSel(window, "\xE9");  // e acute, 0x8E in Mac Roman
    ASSERT_TRUE(SaveTypedField());
    const std::vector<uint8_t> object = OpenStackObject(1, kObjectText, kField);
    const auto entry = FindFieldTextEntry(object, 1, 0);
    ASSERT_TRUE(entry);
    const auto text = FieldEntryText(object, *entry);
    EXPECT_EQ(std::string(text.begin(), text.end()), "na\x95ve \xA5 bullet\x8E");
}

TEST_F(FieldContents, NewDiskTextRecordAndItsFileFoundThroughThePrompt) {
    ASSERT_TRUE(Open(TwoCardStack()));
    ASSERT_TRUE(OpenAgainFromThisMachine(page)) << "a stack of this machine finds its files here";
    HWND field = GetDlgItem(page.embed, kField);
    ASSERT_TRUE(field);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "disktext-" + ProcessTag();
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string moved = folder + "\\story.txt";
    {
        HANDLE file = CreateFileA(moved.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "Once upon a time", 16, &written, nullptr);
        CloseHandle(file);
    }
    const std::string gone = "C:\\gone-" + ProcessTag() + "\\story.txt";
    constexpr uint16_t kNewId = 77;
    const LayerHandle layer = FindLayer(kObjectText, kField);
    ASSERT_TRUE(layer);
    uint16_t flags = 0;
    {
        LayerLock<FieldLayer> lock(layer);
        lock->common.id = kNewId;
        flags = lock->objectFlags;
        lock->objectFlags = kObjectHasPath | kObjectBackground;
        lock->alignment = 1;
    }
    EXPECT_EQ(NewTextObjectRecord(layer, "A story of old times", gone.c_str()), 0);
    {
        LayerLock<FieldLayer> lock(layer);
        lock->common.id = kField;
        lock->objectFlags = flags;
    }
    // Card 1 holds its own background objects: the record goes at the end of its list.
    Handle card = GetCurrentCardRecord();
    uint32_t offset = 0;
    ASSERT_TRUE(FindObjectInCard(kObjectText, kNewId, card, &offset));
    Handle copy = CopyObjectRecord(card, offset);
    const std::vector<uint8_t> record = HandleToBytes(copy);
    DisposeHandle(copy);
    EXPECT_EQ(offset + record.size(), CardObjectsEnd(card)) << "the last object";
    const size_t specBytes = gone.size() + 1 + (gone.size() % 2 == 0) + 6 + std::string("story.txt").size() + 1;
    const size_t body = specBytes + 12;
    EXPECT_EQ(GetU32(record, kObjectLength), 144 + body + body % 2);
    EXPECT_EQ(record.size(), 144 + body + body % 2);
    EXPECT_EQ(GetU16(record, kObjectFlags), kObjectHasPath | kObjectBackground);
    EXPECT_EQ(static_cast<int16_t>(GetU16(record, kTextAlignment)), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[kTextName + 1]), record[kTextName]), "A story of old ") << "15 characters at most";
    EXPECT_EQ(record[kTextBaseFace], 1);
    EXPECT_EQ(GetBE16(record, kTextBaseSize), 24);
    EXPECT_EQ(GetBE16(record, kTextBaseColor), 0xFF00);
    const auto entries = ListFieldTextEntries(record);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].cardId, 1);
    EXPECT_EQ(entries[0].flags, body % 2 ? 0x200u : 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(FieldEntryText(record, entries[0]).data())), gone);
    const StyleRun style = ReadDiskStyle(record);
    EXPECT_EQ(style.face, 1);
    EXPECT_EQ(style.size, 24);
    EXPECT_EQ(style.red, 0xFF00);

    // The stored path is gone: the prompt names the file; the user points at the moved one.
    constexpr int kFilterCombo = 1136;
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Caption("Please find the text file named: story.txt"), [&](DialogView& box) {
        EXPECT_EQ(box.ListCount(kFilterCombo), 1);
        EXPECT_EQ(box.ListItem(kFilterCombo, 0), "Text (*.TXT)");
        box.SetFileName(moved);
        box.Press(IDOK);
    });
    driver.Run([&] { LoadDiskBasedFieldText(field, record, nullptr); });
    EXPECT_EQ(TextGetRange(field, 0, -1, -1), "Once upon a time");
    const CHARFORMAT2A format = FormatAt(field, 5);
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    EXPECT_EQ(format.crTextColor & 0xFFFFFF, RGB(255, 0, 0));

    // Cancelled: nothing is loaded.
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    DialogDriver cancelled(15000);
    cancelled.Expect(DialogMatch::Caption("Please find the text file named: story.txt"),
                     [](DialogView& box) { box.Press(IDCANCEL); });
    cancelled.Run([&] { LoadDiskBasedFieldText(field, record, nullptr); });
    EXPECT_EQ(TextGetRange(field, 0, -1, -1), "");
    DeleteFileA(moved.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
