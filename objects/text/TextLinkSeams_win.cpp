// MINIMAL until text links and field editing come: a typed address is only kept as the last one
// offered, no link is followed at a point, and ending a field's editing saves nothing. The
// current field name is plain state here until field editing takes it.
#include "objects/text/TextFields.h"

namespace {

OfferedUrlLink g_offered;
std::string g_fieldName;

}  // namespace

void AddUrlLink(Handle word, uint16_t fieldId) {
    HandleLock lock(word);
    g_offered.word.assign(lock ? reinterpret_cast<const char*>(lock.get()) : "", lock ? GetHandleSize(word) : 0);
    g_offered.fieldId = fieldId;
    ++g_offered.count;
}

void FollowLinkAtPoint(HWND, int, int) {}

void EndTextEditing(LayerHandle) {}

const OfferedUrlLink& LastOfferedUrlLink() { return g_offered; }

void SetCurrentFieldName(const std::string& name) { g_fieldName = name; }

const std::string& GetCurrentFieldName() { return g_fieldName; }
