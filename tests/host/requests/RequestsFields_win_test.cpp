// Requests of text fields in the hosted plug-in: a field's text and window read by name, its
// text replaced (the handle consumed, the record and the window changed), the active field set,
// read back and moved on, a field scrolled, and text found and selected by the find request.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/memory/Handles.h"
#include "layers/ObjectLayer.h"
#include "objects/text/TextFields.h"
#include "resources/resource_ids.h"
#include "stack/cards/CardList.h"
#include "tests/host/requests/RequestTestPage_win.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using namespace requestpage;

constexpr uint32_t kTextKind = 1;

std::string TextOf(Handle h) {
    const std::vector<uint8_t> bytes = HandleToBytes(h);
    std::string text(bytes.begin(), bytes.end());
    while (!text.empty() && text.back() == 0)
        text.pop_back();
    return text;
}

uint16_t ActiveFieldId() {
    LayerLock<ObjectLayer> lock(GetActiveTextField());
    return lock ? lock->id : 0;
}

// Request 58 by name: the text, and the window in [66].
std::string FieldText(uint32_t name, HWND* window = nullptr) {
    const NbaParamBlock read = Request(58, 0, kTextKind, name);
    const std::string text = TextOf(static_cast<Handle>(read.param1));
    DisposeHandle(static_cast<Handle>(read.param1));
    if (read.param2)
        DisposeHandle(static_cast<Handle>(read.param2));
    if (window)
        *window = reinterpret_cast<HWND>(static_cast<uintptr_t>(read.handled));
    return text;
}

Handle TextHandle(const std::string& text) {
    return ModuleHandle(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

TEST(RequestsFields, TextActiveFieldScrollAndFind) {
    RequestPage page("requests-fields");
    ASSERT_TRUE(page.Open());
    const char alpha[] = "alpha";  // NUL-terminated, case ignored
    const std::vector<uint8_t> beta = Pascal(" Beta ");
    const std::vector<uint8_t> gamma = Pascal("Gamma");

    // 58: the text and the window of the field on the current card; nothing for no field.
    HWND alphaWindow = nullptr;
    EXPECT_EQ(FieldText(Address(alpha), &alphaWindow), "Hello world");
    ASSERT_TRUE(IsTextFieldWindow(alphaWindow));
    const NbaParamBlock none = Request(58, 0, kTextKind, Address(gamma.data()), 77, 77);
    EXPECT_EQ(none.param1, 0u);
    EXPECT_EQ(none.param2, 0u);
    EXPECT_EQ(none.handled, 77u) << "a reference that finds nothing does nothing more";

    // 59: the text handle in [54] replaces the text and becomes the host's; a handle that is
    // none of ours replaces nothing.
    const Handle given = TextHandle("A new text");
    Request(59, 0, static_cast<uint32_t>(given), Address(beta.data()), 0, 0);
    EXPECT_FALSE(IsValidHandle(given));
    HWND betaWindow = nullptr;
    EXPECT_EQ(FieldText(Address(beta.data()), &betaWindow), "A new text");
    ASSERT_TRUE(IsTextFieldWindow(betaWindow));
    char shown[64] = {};
    GetWindowTextA(betaWindow, shown, sizeof shown);
    EXPECT_STREQ(shown, "A new text");
    Request(59, 0, 0x7FFF0002u, Address(beta.data()));
    EXPECT_EQ(FieldText(Address(beta.data())), "A new text");
    const Handle unused = TextHandle("never stored");
    Request(59, 0, static_cast<uint32_t>(unused), Address(gamma.data()));
    EXPECT_TRUE(IsValidHandle(unused)) << "no field: the handle stays the caller's";
    DisposeHandle(unused);

    // 109, 186, 187: the active field set by name, read back, moved to the next one.
    Request(109, 0, 0, Address(alpha));
    EXPECT_EQ(ActiveFieldId(), 2);
    const NbaParamBlock active = Request(186);
    const auto* name = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(active.param1));
    ASSERT_TRUE(name);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(name + 1), name[0]), "Alpha");
    EXPECT_EQ(static_cast<Handle>(active.param2), GetCurrentCardRecord());
    EXPECT_EQ(active.param3, 2u);
    Request(187);
    EXPECT_EQ(ActiveFieldId(), 3);
    Request(187);
    EXPECT_EQ(ActiveFieldId(), 3) << "no text object after the last";

    // 44: the field's window (made again by the redraw of 59) scrolled to line 0 answers its
    // first visible line.
    EXPECT_EQ(FieldText(Address(alpha), &alphaWindow), "Hello world");
    EXPECT_EQ(Request(44, 99, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(alphaWindow)), 0, 0, 0).param1, 0u);
    EXPECT_EQ(Request(44, 99, 0x1234, 0, 0, 0).param1, 99u) << "not a field window: nothing";

    // 8: found from the current card on, selected in its field, which becomes active; the
    // option bits choose the fields and case, bit 16 keeps the text searched before.
    const std::vector<uint8_t> word = Pascal("world");
    EXPECT_EQ(FieldText(Address(beta.data()), &betaWindow), "A new text");
    const NbaParamBlock found = Request(8, Address(word.data()), 2 | 4 | 16 | 1);
    EXPECT_EQ(found.param2, 1u);
    EXPECT_EQ(found.param3, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(alphaWindow)));
    EXPECT_EQ(found.param4, 6u);
    EXPECT_EQ(ActiveFieldId(), 2);
    int32_t start = -1, end = -1;
    TextGetSel(alphaWindow, &start, &end);
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 11);
    const std::vector<uint8_t> other = Pascal("NEW");
    EXPECT_EQ(Request(8, Address(other.data()), 16).param4, 6u) << "the text kept";
    const NbaParamBlock editable = Request(8, Address(other.data()), 4);
    EXPECT_EQ(editable.param2, 1u);
    EXPECT_EQ(editable.param3, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(betaWindow)));
    EXPECT_EQ(editable.param4, 2u) << "case ignored without bit 1";
    EXPECT_EQ(ActiveFieldId(), 3);
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2201), [](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_ALERT_TEXT), "No match found.");
        box.Press(IDC_ALERT_BUTTON1);
    });
    EXPECT_EQ(driver.Run([&] { return Request(8, Address(other.data()), 1).param2; }), 0u) << "\"new\" is not \"NEW\"";
}

}  // namespace
