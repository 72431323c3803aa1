// The stack of the request tests read into the card list of the wired program, a main window,
// and a request made as a module makes it: through the block and the host callback.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/NbaModules.h"
#include "core/system/PluginModule.h"
#include "host/player/CardHistory.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestArgs.h"
#include "tests/stack/CardTestUtil.h"

namespace requesttest {

using namespace cardtest;

// Card 1 holds the picture and the background's "Next" button; card 2 shares it and has its
// own button and field; card 3 is plain with a graphic object.
inline sb::Stack RequestStack() {
    sb::Stack s;
    s.cards.push_back(sb::PictureCard(1, sb::SolidPicture(64, 48, 8, 3)));
    sb::Object next = sb::Button(5, {40, 30, 60, 40}, "Next");
    next.flags = kObjectBackground;
    s.cards[0].objects.push_back(next);
    s.cards[0].objects.push_back(sb::Button(6, {2, 2, 12, 12}, "Only on one"));
    s.cards[0].name = "First";
    s.cards.push_back(sb::SharedCard(2, 1));
    s.cards[1].name = "Second";
    s.cards[1].objects.push_back(sb::Button(7, {2, 20, 30, 30}, "Own"));
    s.cards[1].objects.push_back(sb::TextField(8, {2, 32, 40, 46}, "Words", "b"));
    s.cards.push_back(sb::PlainCard(3));
    s.cards[2].name = "Third";
    s.cards[2].objects.push_back(sb::Graphic(9, {1, 1, 9, 9}, "Shape"));
    return s;
}

class RequestTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
        SetMainWindow(window_);
        ClearNbaParamBlock();
    }
    void TearDown() override {
        FreeCardHistory();
        SetMainWindow(nullptr);
        DestroyWindow(window_);
        CardSessionTest::TearDown();
    }
    static NbaParamBlock& Block() { return *GetNbaParamBlock(); }
    // Makes the request with the block as it stands; the block afterwards.
    static NbaParamBlock& Request(int code) {
        Block().message = static_cast<uint16_t>(code);
        DispatchCallback(nullptr);
        return Block();
    }
    static std::vector<uint8_t> Bytes(const NbaParamBlock& b) {
        std::vector<uint8_t> v(sizeof b);
        std::memcpy(v.data(), &b, sizeof b);
        return v;
    }
    static uint32_t Ptr(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
    static std::string PText(uint32_t pointer) {
        const auto* p = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(pointer));
        return p ? std::string(reinterpret_cast<const char*>(p + 1), p[0]) : std::string("<null>");
    }
    HWND window_ = nullptr;
};

}  // namespace requesttest
