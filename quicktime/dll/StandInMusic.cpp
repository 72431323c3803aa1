// Music: MIDI files and music tracks, until the shared readers come.
#include "quicktime/dll/StandInMidi.h"

int32_t StandInMidiToMovieFile(std::span<const uint8_t>, std::vector<uint8_t>*) { return kStandInCannotOpen; }
int32_t StandInMovieToMidiFile(const StandInMovie&, std::vector<uint8_t>*) { return kStandInCannotOpen; }
void AddStandInMusic(std::span<const uint8_t>, const MovieFileInfo&, StandInMovie*) {}
