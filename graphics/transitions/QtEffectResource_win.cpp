// Hands the 'QTFX' resource access to the effect transitions when the module loads.
#include "graphics/transitions/QtEffect.h"
#include "graphics/transitions/QtEffectResource.h"

namespace {

const bool g_installed = [] {
    SetQtEffectStorage({LoadQTEffectRecord, WriteQTEffectRecord});
    return true;
}();

}  // namespace
