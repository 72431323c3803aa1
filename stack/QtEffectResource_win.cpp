// Hands the 'QTFX' resource access to the effect transitions when the module loads.
#include "graphics/QtEffect.h"
#include "stack/QtEffectResource.h"

namespace {

const bool g_installed = [] {
    SetQtEffectStorage({LoadQTEffectRecord, WriteQTEffectRecord});
    return true;
}();

}  // namespace
