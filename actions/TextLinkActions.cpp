// A typed web address becomes a link with an internet action (TextLinkActions.h).
#include "actions/TextLinkActions.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "actions/ActionBlock.h"
#include "core/files/FileSlots.h"
#include "objects/text/TextLinks.h"
#include "format/StackFile.h"

namespace {
constexpr size_t kLongestAddress = 255;  // what the current-address buffer holds
}  // namespace

void AddUrlLink(Handle word, uint16_t fieldId) {
    std::string text;
    {
        HandleLock lock(word);
        if (!lock)
            return;
        text.assign(reinterpret_cast<const char*>(lock.get()), GetHandleSize(word));
    }
    if (const size_t end = text.find('\0'); end != std::string::npos)
        text.resize(end);
    if (text.empty() || LinkTextExists(text))
        return;
    // No stack path may go with the action.
    SetFileSpecFromPath(kSlotTargetStack, "");
    const Handle link = NewLinkResource(word, fieldId);
    if (!link)
        return;
    uint16_t linkId = 0;
    uint32_t offset = 0;
    const Handle action = CopyLinkRecord(link, &linkId, &offset);
    if (action) {
        char* url = NewUrlBuffer();
        const size_t n = std::min<size_t>(text.size(), kLongestAddress);
        std::memcpy(url, text.data(), n);
        url[n] = 0;
        ActionBlock block{};
        block.objectId = GetHandleWord(action, kObjectId);
        block.urlSet = 1;
        // The block's address goes out as chunk 61 with the address bit; the buffer is used up.
        if (SaveActionBlock(action, offset, 0, block) && SetHandleWord(link, kLinkHasButton, 1) &&
            AppendHandle(action, link) == 0)
            UpdateLinkRecord(link);
        FreeUrlBuffer();
        DisposeHandle(action);
    }
    DisposeHandle(link);
}
