// MINIMAL media facade until the manager keeps its movie and sound lists: every call gives the
// result it gives without a manager.
#include "media/MediaManager.h"

int MediaIsPlaying() { return 0; }
void MediaPlaySound(HWND, const char*, int, Handle, int, uint32_t) {}
void MediaSetSoundVolume(int) {}
void MediaStopSounds(int) {}
void PlaySoundResource(int16_t, uint32_t, int) {}
void PlaySoundFromFile(uint32_t, int) {}
void StopSounds(int) {}
void StopAllSounds(int) {}
bool StopIfStopAllSoundsName(std::string_view) { return false; }
Handle MediaImportMidiFile(const char*) { return 0; }
int MediaExportMidiFile(Handle, const char*) { return 16; }
