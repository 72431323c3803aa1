// The stand-in's file specifications: a native path kept whole in the FSSpec's counted name.
#pragma once

#include <string>

#include "quicktime/QtTypes.h"
#include "quicktime/QuickTime.h"

inline constexpr QtErr kQtBadFileName = -37;

// The path an FSSpec names; empty when it names none (no spec, a zero or overlong count).
std::string StandInFSSpecPath(const QtFSSpec* file);
