// MINIMAL action services (see ActionServices.h).
#include "actions/ActionServices.h"

void FreeButtonEditCopy() {}
