// MINIMAL until text links come: a typed address is only kept as the last one offered, and no
// link is followed at a point.
#include "objects/text/TextFields.h"

namespace {

OfferedUrlLink g_offered;

}  // namespace

void AddUrlLink(Handle word, uint16_t fieldId) {
    HandleLock lock(word);
    g_offered.word.assign(lock ? reinterpret_cast<const char*>(lock.get()) : "", lock ? GetHandleSize(word) : 0);
    g_offered.fieldId = fieldId;
    ++g_offered.count;
}

void FollowLinkAtPoint(HWND, int, int) {}

const OfferedUrlLink& LastOfferedUrlLink() { return g_offered; }
