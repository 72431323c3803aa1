// The stand-in's video effects: its effect list (the ten effects the plug-in offers and one it
// does not), sequences that blend "srcA" into "srcB" frame by frame (a cross-fade for "dslv",
// a wipe from one side for every other effect, its side a parameter of the description) and
// the parameter dialog (QtStandInEffects_win.cpp) that chooses that side.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quicktime/QtAtoms.h"
#include "quicktime/QtEffects.h"

inline constexpr uint32_t kStandInSideAtom = QtAtomType("side");  // 0 left, 1 right, 2 top, 3 bottom
inline constexpr uint32_t kStandInWhatAtom = QtAtomType("what");

struct StandInEffect {
    uint32_t code;
    const char* name;
};
std::span<const StandInEffect> StandInEffects();
// The effect list container: "name" and "type" atoms, ids 1, 2, ...
std::vector<uint8_t> StandInEffectList();

// One frame: fraction 0 is all A, 1 all B. Worlds of the same size; false otherwise.
bool ComposeEffectFrame(uint32_t code, uint32_t side, double fraction, const QtPixelWorld& a, const QtPixelWorld& b,
                        std::vector<uint8_t>* out);

// How frames reach the port: (port, BGRA rows top first, width, height). The Windows part
// installs a drawing one; without it frames are only kept (StandInLastFrame).
using StandInFramePresenter = void (*)(QtWord port, const uint8_t* pixels, int width, int height);
void SetStandInFramePresenter(StandInFramePresenter presenter);
// The parameter dialog: (description, owner, side in and out) -> accepted.
using StandInParameterDialog = bool (*)(std::span<const uint8_t> description, QtWord owner, uint32_t* side);
void SetStandInParameterDialog(StandInParameterDialog dialog);
// The library's window and dialog for both (QtStandInEffects_win.cpp), installed when it loads.
void InstallStandInWindowsProcs();

// For tests: the last frame composed and the sequences open.
const std::vector<uint8_t>& StandInLastFrame();
int StandInOpenSequences();
