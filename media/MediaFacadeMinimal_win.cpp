// MINIMAL media facade until the manager keeps its movie and sound lists: every call gives the
// result it gives without a manager.
#include "media/MediaManager.h"

int MediaOpenMovie(std::span<const uint8_t>, int16_t, HDC, int) { return 0; }
void MediaMovieCommand(int) {}
int MediaIsMovieDone(int16_t) { return 1; }
int MediaAllMoviesDone() { return 1; }
void MediaIdleControllers() {}
void MediaRemoveFinished(int, int) {}
int MediaShowAll() { return 16; }
void MediaUpdateAll() {}
void MediaOnMCIWndNotify(HWND) {}
bool IsAVIFile(const char*) { return false; }
int MovieFrameOpen(std::span<const uint8_t>, MovieFrameSource**, int16_t*) { return 16; }
void MovieFrameTask(MovieFrameSource*) {}
int MovieFrameGetImage(MovieFrameSource*, HDC, HBITMAP*) { return 0; }
void MovieFrameStop(MovieFrameSource*) {}
void MovieFrameRewind(MovieFrameSource*) {}
void MovieFrameClose(MovieFrameSource*) {}
