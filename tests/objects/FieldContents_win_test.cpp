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
#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "graphics/layers/LayerList.h"
#include "objects/FieldContents_win.h"
#include "objects/fonts/FontTable_win.h"
#include "objects/TextFields.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "stack/open/StackOpenSession.h"
#include "tests/support/LinkedPlugin_win.h"

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

std::string MapperFace(const char* asked) {
    LOGFONTA font = {};
    font.lfHeight = -24;
    lstrcpynA(font.lfFaceName, asked, LF_FACESIZE);
    OwnedGdiObject<HFONT> made(CreateFontIndirectA(&font));
    WindowDC dc(nullptr);
    SelectedObject selected(dc.get(), made.get());
    char face[64] = {};
    GetTextFaceA(dc.get(), sizeof face, face);
    return face;
}

CHARFORMAT2A FormatAt(HWND field, int at) {
    TextSetSel(field, at, at + 1, false);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(field, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

std::vector<uint8_t> FieldObject(uint16_t card) {
    Handle record = FindCardById(card);
    uint32_t offset = 0;
    if (!FindObjectInCard(kObjectText, kField, record, &offset))
        return {};
    Handle copy = CopyObjectRecord(record, offset);
    std::vector<uint8_t> bytes = HandleToBytes(copy);
    DisposeHandle(copy);
    return bytes;
}

TEST(FieldContents, EachCardShowsItsStyledTextAndTypedTextIsSaved) {
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(TwoCardStack(), "contents-" + std::to_string(GetCurrentProcessId()) + ".stk", &page));
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
    {
        LayerLock<FieldLayer> layer(FindLayer(kObjectText, kField));
        ASSERT_TRUE(layer);
        layer->modified = 1;
    }
    SaveCurrentFieldContents();
    const std::vector<uint8_t> object = FieldObject(1);
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
    CloseLinkedPlugin(&page);
}

}  // namespace
