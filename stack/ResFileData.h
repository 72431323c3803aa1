// The conversion settings under which resource data is read and written: those of the stack
// being opened or saved (Mac Roman texts, screen resolution, its drive for paths).
#pragma once

#include "stack/StackFile.h"

void SetResourceConversion(const StackConversion& cv);
StackConversion& ResourceConversion();
