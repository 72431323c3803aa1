// Shared pieces of the card list tests: a stack built with the builder and read into the card
// list, and neighbours that record what the card list asked of the rest of the program.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "StackTestUtil.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/UiOps.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/cards/ObjectScan.h"
#include "stack/StackOpenSession.h"
#include "stack/pictures/PackedPicture.h"
#include "stack/undo/Undo.h"

namespace cardtest {

using namespace stacktest;

// What the card list asked, and the answers it gets.
struct Recorder {
    std::vector<uint32_t> alerts;
    std::deque<int> answers;        // for the alerts in turn; 0 once they run out
    std::vector<uint8_t> offscreen; // a packed DIB handed out as the offscreen; empty: none
    std::vector<PaletteColor> appPalette;
    std::vector<uint16_t> wentTo;
    int refreshes = 0;
    int erases = 0;
    struct Action {
        uint16_t id;
        int byClick, waitAfter;
        uint32_t label;
    };
    std::vector<Action> actions;
    int waitCursors = 0;
};

inline Recorder& Rec() {
    static Recorder recorder;
    return recorder;
}

// The card list's alerts and wait cursor recording.
inline UiOps RecordingUi() {
    UiOps n = GetUiOps();
    n.showAlert = [](uint32_t id) {
        Rec().alerts.push_back(id);
        if (Rec().answers.empty())
            return 0;
        const int answer = Rec().answers.front();
        Rec().answers.pop_front();
        return answer;
    };
    n.wait = [](bool on) { Rec().waitCursors += on ? 1 : 0; };
    return n;
}

// The offscreen and palette the card list sees; the rest of the platform as installed.
inline StackPlatformOps RecordingPlatform() {
    StackPlatformOps n = GetStackPlatformOps();
    n.offscreenPicture = []() -> DibHandle {
        if (Rec().offscreen.empty())
            return 0;
        const Handle h = NewHandle(static_cast<uint32_t>(Rec().offscreen.size()));
        HandleLock lock(h);
        std::memcpy(lock.get(), Rec().offscreen.data(), Rec().offscreen.size());
        return h;
    };
    n.appPaletteColors = []() -> std::span<const PaletteColor> { return Rec().appPalette; };
    return n;
}

// The card list's upcalls recording; the rest as installed.
inline StackUpcalls RecordingUpcalls() {
    StackUpcalls n = GetStackUpcalls();
    n.goToCardId = [](uint16_t id, int, int, int) {
        Rec().wentTo.push_back(id);
        SetCurrentCardId(id);
    };
    n.refreshCurrentCard = [](int) { ++Rec().refreshes; };
    n.eraseCardBackground = [](int) { ++Rec().erases; };
    n.runCardAction = [](uint16_t id, ActionOrigin origin, int waitAfter, uint32_t label) {
        Rec().actions.push_back({id, origin.ByPerson() ? 1 : 0, waitAfter, label});
        return 1;
    };
    return n;
}

// An 8-bit offscreen of width x (height + 2) rows, bottom row first as GetDIBits gives it: each
// pixel of top-down row r, column c is (r * 7 + c) & 0xFF, the two extra rows below are 0xEE,
// and table entry i is (i, 255 - i, i / 2).
inline std::vector<uint8_t> PatternOffscreen(int width, int height) {
    const int rows = height + 2;
    const DibHandle dib = NewDib(width, rows, 8);
    std::vector<uint8_t> bytes;
    {
        LockedDib locked(dib);
        EXPECT_TRUE(locked);
        const std::span<uint8_t> table = locked.table();
        for (int i = 0; i < 256; ++i) {
            table[i * 4 + 0] = static_cast<uint8_t>(i / 2);     // blue
            table[i * 4 + 1] = static_cast<uint8_t>(255 - i);   // green
            table[i * 4 + 2] = static_cast<uint8_t>(i);         // red
        }
        for (int r = 0; r < rows; ++r) {
            std::span<uint8_t> row = locked.row(rows - 1 - r);
            for (int c = 0; c < width; ++c)
                row[c] = r < height ? static_cast<uint8_t>(r * 7 + c) : 0xEE;
        }
        bytes.assign(locked.bytes().begin(), locked.bytes().end());
    }
    DisposeHandle(dib);
    return bytes;
}

// The top-down card rows PatternOffscreen stands for, in stored (Mac) rows.
inline std::vector<uint8_t> PatternRows(int width, int height) {
    const int rowBytes = MacRowBytes(8, width);
    std::vector<uint8_t> rows(static_cast<size_t>(rowBytes) * height, 0);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            rows[static_cast<size_t>(r) * rowBytes + c] = static_cast<uint8_t>(r * 7 + c);
    return rows;
}

// The picture block of a host-order kind-1 record, split into its parts.
struct PictureParts {
    uint16_t word0 = 0, format = 0, flags = 0;
    uint32_t length = 0, tableSize = 0;
    std::vector<uint8_t> table, packed;
};
inline PictureParts SplitPicture(std::span<const uint8_t> card) {
    PictureParts p;
    const size_t at = kPictureBlockOffset;
    p.word0 = GetU16(card, at + kBlockWord0);
    p.format = GetU16(card, at + kBlockFormat);
    p.flags = GetU16(card, at + kBlockFlags);
    p.length = GetU32(card, at + kBlockLength);
    p.tableSize = GetU32(card, at + kBlockTableSize);
    const size_t pad = (p.flags & kPicturePadFlag) ? 1 : 0;
    if (p.length < kPictureBlockHeaderBytes + p.tableSize + pad || at + p.length > card.size())
        return p;
    const size_t table = at + kPictureBlockHeaderBytes;
    p.table.assign(card.begin() + table, card.begin() + table + p.tableSize);
    p.packed.assign(card.begin() + table + p.tableSize, card.begin() + at + p.length - pad);
    return p;
}

inline std::vector<uint8_t> PName(std::string_view text) {
    std::vector<uint8_t> p(1 + text.size());
    p[0] = static_cast<uint8_t>(text.size());
    std::memcpy(p.data() + 1, text.data(), text.size());
    return p;
}

// The ids of a record's objects in list order, with a '-' before those marked deleted.
inline std::vector<std::string> ObjectTags(Handle card) {
    std::vector<std::string> tags;
    for (const auto& o : CardObjects(HandleToBytes(card)))
        tags.push_back(((GetU16(o, kObjectFlags) & kObjectDeletedFlag) ? "-" : "") + std::to_string(GetU16(o, kObjectId)));
    return tags;
}

// The stack's header and cards read into the card list (its resources left out), the first card
// current.
inline void LoadIntoCardList(const sb::Stack& stack) {
    const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
    SpanByteSource source(bytes);
    StackConversion cv;
    StackFileContents contents;
    ASSERT_TRUE(ReadStackFile(source, cv, contents).ok());
    SetStackHeaderHandle(contents.header);
    contents.header = 0;
    for (size_t i = 0; i < contents.cards.size(); ++i) {
        ASSERT_EQ(AddCardRecord(contents.cards[i], static_cast<int>(i)), 0);
        contents.cards[i] = 0;
    }
    DisposeStackFileContents(contents);
    SetCurrentCardId(GetCardId(GetCardByIndex(1)));
}

// A stack read into the card list, its first card current, the neighbours recording.
class CardSessionTest : public StackFileTest {
protected:
    void SetUp() override {
        StackFileTest::SetUp();
        Rec() = Recorder{};
        installed_ = GetStackUpcalls();
        installedUi_ = GetUiOps();
        installedPlatform_ = GetStackPlatformOps();
        SetStackUpcalls(RecordingUpcalls());
        SetUiOps(RecordingUi());
        SetStackPlatformOps(RecordingPlatform());
        SetAdvancedUser(false);
        ClearStackChanged();
    }
    void TearDown() override {
        DisposeCards();
        SetStackUpcalls(installed_);
        SetUiOps(installedUi_);
        SetStackPlatformOps(installedPlatform_);
        SetAdvancedUser(false);
        StackFileTest::TearDown();
    }

    void Load(const sb::Stack& stack) {
        LoadIntoCardList(stack);
        Rec().alerts.clear();
    }

    // What the program had installed, put back afterwards.
    StackUpcalls installed_{};
    UiOps installedUi_{};
    StackPlatformOps installedPlatform_{};

    // The stack's cards in list order by id, with a '-' before those marked deleted.
    static std::vector<std::string> CardTags() {
        std::vector<std::string> tags;
        for (int i = 1; i <= CountCards(); ++i) {
            const Handle card = GetCardByIndex(i);
            tags.push_back((IsCardDeleted(card) ? "-" : "") + std::to_string(GetCardId(card)));
        }
        return tags;
    }
};

// The record in file order passes the reader's checks: what a save would write can be read.
inline void ExpectSavable(Handle card) {
    std::vector<uint8_t> bytes = HandleToBytes(card);
    EXPECT_EQ(GetU32(bytes, kCardLength), bytes.size());
    StackConversion cv;
    ASSERT_EQ(SwapCardRecordBytes(bytes, ByteOrder::ToFile, cv, nullptr), kStackOk);
    EXPECT_EQ(CheckCardRecord(bytes), nullptr);
}

}  // namespace cardtest
