// The requests in the plug-in hosted by this program: a small stack opened in a linked page,
// and the block filled and sent as a module sends it.
#pragma once

#include <windows.h>

#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "StackBuilder.h"
#include "actions/NbaModules.h"
#include "core/memory/Handles.h"
#include "host/requests/HostRequests.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace requestpage {

namespace sb = stackbuilder;

// Card 1: the button "Next", the text objects "Alpha" (id 2) and "Beta" (id 3); card 2 plain.
inline sb::Stack PageStack() {
    sb::Stack s;
    s.cardWidth = 200;
    s.cardHeight = 150;
    sb::Card first = sb::PlainCard(1);
    first.objects.push_back(sb::Button(1, {10, 10, 80, 30}, "Next"));
    first.objects.push_back(sb::TextField(2, {10, 40, 150, 80}, "Alpha", "Hello world"));
    first.objects.push_back(sb::TextField(3, {10, 90, 150, 130}, "Beta", "Second"));
    s.cards.push_back(first);
    s.cards.push_back(sb::PlainCard(2));
    return s;
}

// A length-prefixed copy that stays alive for the request.
inline std::vector<uint8_t> Pascal(std::string_view text) {
    std::vector<uint8_t> p(1 + text.size());
    p[0] = static_cast<uint8_t>(text.size());
    std::memcpy(p.data() + 1, text.data(), text.size());
    return p;
}
inline uint32_t Address(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

// The block cleared, the code and parameters set, the request made; the block after it.
inline NbaParamBlock& Request(uint16_t code, uint32_t p50 = 0, uint32_t p54 = 0, uint32_t p58 = 0,
                              uint32_t p62 = 0, uint32_t p66 = 0) {
    ClearNbaParamBlock();
    NbaParamBlock& b = *GetNbaParamBlock();
    b.message = code;
    b.param1 = p50;
    b.param2 = p54;
    b.param3 = p58;
    b.param4 = p62;
    b.handled = p66;
    DispatchCallback(nullptr);
    return b;
}

// A handle the module makes for itself (request 15) holding the bytes: one it may free, resize
// or hand over.
inline Handle ModuleHandle(std::span<const uint8_t> bytes) {
    const auto h = static_cast<Handle>(Request(15, static_cast<uint32_t>(bytes.size())).param1);
    SetHandleBytes(h, bytes);
    return h;
}

class RequestPage {
public:
    explicit RequestPage(const char* stem)
        : name_(std::string(stem) + "-" + ProcessTag() + ".stk") {}
    ~RequestPage() { CloseLinkedPlugin(&page_); }
    bool Open(const sb::Stack& stack = PageStack()) { return OpenInLinkedPlugin(stack, name_, &page_); }

private:
    std::string name_;
    LinkedPluginPage page_;
};

}  // namespace requestpage
