// MINIMAL until the video sources are built: the choice is cancelled.
#include "media/video/VideoAction.h"

int EditVideoAction(HWND, ActionBlock* block, int* chosen, int* hadVideo, uint16_t) {
    if (chosen) *chosen = 0;
    if (hadVideo) *hadVideo = block && (block->movieSet || block->videodiscStart[0]) ? 1 : 0;
    return 0;
}
