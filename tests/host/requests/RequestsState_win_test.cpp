// The requests' own state and the block around nested requests: the update mode and the
// suppression, a button whose module makes requests of its own inside request 43, handles
// handed in and out (a module frees and resizes only its own), and what the stack tells about
// itself.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "actions/NbaModules.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "format/ResFile.h"
#include "tests/host/requests/RequestFixture_win.h"
#include "tests/support/TestModule_win.h"

namespace {

using namespace requesttest;

using RequestsState = RequestTest;

// The request list the test module makes (tools/nbamodules/RequestList_win.h): per request its
// code and five fields, [58] optionally pointing to a text after the entries.
std::vector<uint8_t> RequestList(std::vector<std::pair<uint16_t, const char*>> requests) {
    std::vector<uint8_t> data = {'R', 'E', 'Q', 'L', static_cast<uint8_t>(requests.size()), 0};
    std::vector<uint8_t> texts;
    const size_t textsAt = data.size() + requests.size() * 24;
    for (const auto& [code, text] : requests) {
        uint8_t entry[24] = {};
        std::memcpy(entry, &code, 2);
        if (text) {
            entry[2] = 4;
            const uint32_t at = static_cast<uint32_t>(textsAt + texts.size());
            std::memcpy(entry + 4 + 8, &at, 4);
            texts.insert(texts.end(), text, text + std::strlen(text) + 1);
        }
        data.insert(data.end(), entry, entry + 24);
    }
    data.insert(data.end(), texts.begin(), texts.end());
    return data;
}

TEST_F(RequestsState, NestedRequestsOfAModuleLeaveTheCallersBlockAndTheUpdateModeLastsOneUpdate) {
    const std::string log = UseTestModule("requests-nested", 78);
    ASSERT_FALSE(log.empty());

    sb::Stack s = RequestStack();
    sb::Object runner = sb::Button(20, {70, 2, 90, 12}, "Runner");
    runner.words.push_back({kButtonActionFlags, kActNba});
    sb::Chunk chunk;
    chunk.kind = kTagNba;
    chunk.words.push_back({kChunkValue, 78});
    chunk.payload = RequestList({{14, nullptr}, {24, "Own"}, {26, "Own"}});
    runner.chunks.push_back(chunk);
    s.cards[1].objects.push_back(runner);
    Load(s);
    SetCurrentCardId(2);

    Block() = {};
    Block().param3 = Ptr("runner");
    Block().param4 = 0x11111111;
    Block().handled = 0x22222222;
    Block().nbaId = 5;
    Request(43);
    EXPECT_EQ(Block().param3, Ptr("runner"));
    EXPECT_EQ(Block().param4, 0x11111111u);
    EXPECT_EQ(Block().handled, 0x22222222u);
    EXPECT_EQ(Block().nbaId, 5);
    // The module's own requests ran and saw their results: three cards, "Own" found, hidden.
    std::ifstream in(log);
    std::stringstream all;
    all << in.rdbuf();
    in.close();
    EXPECT_NE(all.str().find("request code=14 p1=3 "), std::string::npos) << all.str();
    EXPECT_NE(all.str().find("request code=24 p1="), std::string::npos) << all.str();
    EXPECT_EQ(all.str().find("request code=24 p1=0 "), std::string::npos) << all.str();
    uint32_t own = 0;
    ASSERT_TRUE(FindObjectInCard(kObjectButton, 7, GetCardByIndex(2), &own));
    EXPECT_TRUE(GetHandleWord(GetCardByIndex(2), own + kObjectFlags) & kObjectHidden);

    // Mode 2 lasts for one update; other modes give 1.
    Block() = {};
    Block().param1 = 2;
    Request(152);
    EXPECT_EQ(RequestUpdateMode(), 2);
    Block() = {};
    Block().param1 = 7;
    Block().param4 = 14;
    Block().handled = 16;
    Request(38);
    EXPECT_EQ(RequestUpdateMode(), 1);
    Block() = {};
    Block().param1 = 2;
    Request(152);
    Block().param1 = 3;
    Request(152);
    EXPECT_EQ(RequestUpdateMode(), 1);
    Request(170);
    EXPECT_TRUE(RequestUpdatesSuppressed());
    Block() = {};
    Block().param1 = 7;
    Request(27);
    EXPECT_FALSE(GetHandleWord(GetCardByIndex(2), own + kObjectFlags) & kObjectHidden) << "the record still changes";
    Request(171);
    EXPECT_FALSE(RequestUpdatesSuppressed());

    EndStackNBAs(false);
    CloseResFile(GetStackResFile());
    SetStackResFile(0);
    FreeFolderTable();
    SetEnvironmentVariableA("NBA_TEST_LOG", nullptr);
    DeleteFileA(log.c_str());
}

TEST_F(RequestsState, HandlesHandedInMustBeLiveAndTheStackTellsItsState) {
    Load(RequestStack());
    Block() = {};
    Block().param1 = 10;
    const Handle h = static_cast<Handle>(Request(15).param1);
    ASSERT_TRUE(IsValidHandle(h));
    Block().param1 = static_cast<uint32_t>(h);
    auto* p = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(Request(16).param1));
    ASSERT_NE(p, nullptr);
    p[9] = 0x5A;
    Block().param1 = static_cast<uint32_t>(h);
    EXPECT_EQ(Request(112).param1 & 0xFF, 1u) << "one lock";
    Block().param1 = static_cast<uint32_t>(h);
    Request(17);
    Block().param1 = static_cast<uint32_t>(h);
    Block().param2 = 20;
    EXPECT_EQ(Request(110).param1, 0u);
    Block().param1 = static_cast<uint32_t>(h);
    EXPECT_EQ(Request(111).param1, 20u);
    EXPECT_EQ(HandleToBytes(h)[9], 0x5A);
    Block().param1 = static_cast<uint32_t>(h);
    EXPECT_NE(Request(108).param1, 0u);
    Block().param1 = static_cast<uint32_t>(h);
    Request(107);
    EXPECT_FALSE(IsValidHandle(h));
    // A handle that is no longer, or never was: nothing, and no answer.
    for (uint32_t bad : {static_cast<uint32_t>(h), 0u, 40000u, 0xFFFFFFFFu}) {
        for (int code : {17, 107})
            Request(code);
        for (int code : {16, 108, 111, 112, 114}) {
            Block().param1 = bad;
            EXPECT_EQ(Request(code).param1, 0u) << code << " " << bad;
        }
        Block().param1 = bad;
        Block().param2 = 4;
        EXPECT_EQ(Request(110).param1, 0xFFFFFFFFu);
    }

    // The stack: handles, the lock and Mac Roman flags, the change flags and their addresses.
    Request(18);
    EXPECT_EQ(static_cast<Handle>(Block().param1), GetStackHeaderHandle());
    EXPECT_EQ(static_cast<Handle>(Block().param2), GetCardListHandle());
    // The stack's own handles are read, never freed, resized or taken as a field's new text.
    const std::vector<uint8_t> header = HandleToBytes(GetStackHeaderHandle());
    const std::vector<uint8_t> cards = HandleToBytes(GetCardListHandle());
    for (const Handle host : {GetStackHeaderHandle(), GetCardListHandle(), GetCardByIndex(2)}) {
        Block() = {};
        Block().param1 = static_cast<uint32_t>(host);
        Block().param2 = 4;
        EXPECT_EQ(Request(110).param1, 0xFFFFFFFFu) << host;
        Block().param1 = static_cast<uint32_t>(host);
        Request(107);
        EXPECT_TRUE(IsValidHandle(host)) << host;
    }
    const auto fieldText = [] {
        Block() = {};
        Block().param1 = (2u << 16) | 8;  // "Words" on card 2
        Request(58);
        if (IsValidHandle(static_cast<Handle>(Block().param2)))
            DisposeHandle(static_cast<Handle>(Block().param2));  // its styles
        return static_cast<Handle>(Block().param1);
    };
    const Handle given = fieldText();
    ASSERT_TRUE(IsValidHandle(given)) << "the field's text, now the module's";
    Block() = {};
    Block().param1 = (2u << 16) | 8;
    Block().param2 = static_cast<uint32_t>(given);
    Block().handled = static_cast<uint32_t>(GetStackHeaderHandle());  // handed over as the styles
    Request(59);
    EXPECT_FALSE(IsValidHandle(given)) << "the text handed over is taken";
    EXPECT_TRUE(IsValidHandle(GetStackHeaderHandle())) << "the header is not the module's to hand over";
    EXPECT_EQ(HandleToBytes(GetStackHeaderHandle()), header);
    EXPECT_EQ(HandleToBytes(GetCardListHandle()), cards);
    const Handle again = fieldText();
    Block() = {};
    Block().param1 = static_cast<uint32_t>(again);
    Request(107);
    EXPECT_FALSE(IsValidHandle(again)) << "a handle the module was given is its to free";

    EXPECT_EQ(Request(11).param1, 0u);
    SetHandleWord(GetStackHeaderHandle(), kHeaderLocked, 1);
    SetHandleWord(GetStackHeaderHandle(), kHeaderFlags, kStackMacRomanText);
    EXPECT_EQ(Request(11).param1, 1u);
    EXPECT_EQ(Request(163).param1, 1u);
    ClearStackChanged();
    EXPECT_EQ(Request(72).param1, 0u);
    Request(70);
    Request(72);
    EXPECT_EQ(Block().param1, 1u);
    EXPECT_EQ(*reinterpret_cast<const int32_t*>(static_cast<uintptr_t>(Block().param2)), 1);
    ClearStackChanged();
}

}  // namespace
