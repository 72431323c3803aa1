// MINIMAL until field editing comes: ending a field's editing saves nothing. The current field
// name is plain state here until field editing takes it.
#include "objects/text/TextFields.h"

namespace {

std::string g_fieldName;

}  // namespace

void EndTextEditing(LayerHandle) {}

void SetCurrentFieldName(const std::string& name) { g_fieldName = name; }

const std::string& GetCurrentFieldName() { return g_fieldName; }
