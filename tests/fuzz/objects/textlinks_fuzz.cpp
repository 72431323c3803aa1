// Arbitrary bytes as a text link ('Hlnk' in memory order): its text and actions lie within the
// record, the actions load as a click would load them, the link rebuilt with its text and actions
// (as the links dialog rewrites it) reads back the same, and its text is matched in a field's
// text taken from the same bytes as a click and a copy match it.
#include <algorithm>

#include "actions/ActionBlock.h"
#include "core/memory/Handles.h"
#include "objects/text/TextLinks.h"
#include "stack/cards/ActionResource.h"
#include "format/StackFile.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 15;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    const std::span<const uint8_t> record(data, size);
    const std::optional<LinkFields> link = ReadLinkFields(record);
    if (!link) {
        FuzzCheck(size < kLinkHeaderBytes);
        return 0;
    }
    const auto* text = reinterpret_cast<const uint8_t*>(link->text.data());
    FuzzCheck(link->text.empty() || (text >= data + kLinkText && text + link->text.size() <= data + size));
    FuzzCheck(!link->hasActions || uint64_t{link->actionOffset} + kEmptyActionRecordBytes <= size);
    std::span<const uint8_t> actions;
    if (link->hasActions) {
        actions = record.subspan(link->actionOffset);
        if (Handle held = NewHandleFromBytes(record)) {
            ActionBlock block;
            LoadActionBlock(held, link->actionOffset, &block);
            DisposeActionBlockData(&block);
            FreeUrlBuffer();
            DisposeHandle(held);
        }
    }
    const std::vector<uint8_t> rebuilt = BuildLinkRecord(link->id, link->fieldId, link->text, link->hasActions, actions);
    const std::optional<LinkFields> again = ReadLinkFields(rebuilt);
    FuzzCheck(again && again->id == link->id && again->fieldId == link->fieldId && again->hasActions == link->hasActions);
    FuzzCheck(again->text == link->text.substr(0, 0xFFFE));
    FuzzCheck(!again->hasActions || std::equal(actions.begin(), actions.end(), rebuilt.begin() + again->actionOffset,
                                               rebuilt.end()));
    uint8_t name[32];
    LinkResourceName(link->text, name);
    FuzzCheck(name[0] == std::min(link->text.size(), kLinkNameMax));

    // The field's text: what follows the link's text in the input.
    const size_t rest = link->text.empty() ? kLinkText : static_cast<size_t>(text - data) + link->text.size();
    const std::string_view field(reinterpret_cast<const char*>(data) + rest, size - rest);
    // As a copied card's links are matched: letters folded, as a whole word.
    SearchLinkText(link->text, field, false, true);
    const int32_t n = static_cast<int32_t>(link->text.size());
    const int32_t p = static_cast<int32_t>(link->id % (field.size() + 1));
    const int32_t from = std::max(p - n, 0);
    const std::string_view window = field.substr(static_cast<size_t>(from), static_cast<size_t>(2 * n));
    for (bool readOnly : {false, true})
        if (const std::optional<LinkRange> range = MatchLinkInWindow(window, from, link->text, readOnly, p, p, p)) {
            FuzzCheck(range->end - range->start == n && range->start >= from &&
                      static_cast<size_t>(range->end) <= static_cast<size_t>(from) + window.size());
            IsWholeWordIn(field, static_cast<size_t>(range->start), static_cast<size_t>(range->end));
        }
    return 0;
}
