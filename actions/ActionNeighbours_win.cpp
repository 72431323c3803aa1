// The performer's neighbours (see ActionNeighbours.h): a slot left empty answers as the
// program would without that neighbour.
#include "actions/ActionNeighbours.h"

namespace {

ActionNeighbours Defaults() {
    ActionNeighbours n = {};
    n.buttonStarting = [](uint16_t, uint32_t) {};
    n.playSound = [](int, int16_t, uint32_t, int) {};
    n.openMovie = [](std::span<const uint8_t>, int16_t) { return 0; };
    n.idleMovieDone = [](int16_t) { return 1; };
    n.removeFinishedMedia = [] {};
    n.videodiscAction = [](HWND, std::span<const uint8_t>) {};
    n.settleVideodisc = [] {};
    n.runLogo = [](HWND, Handle, int, Rect32*) { return 0; };
    n.openUrl = [](const char*) { return false; };
    n.launchProgram = [](uint16_t) { return 0; };
    n.toggleStackMenuBar = [](bool) { return false; };
    n.leaveCard = [](bool) {};
    n.moveToDestination = [](int16_t, int, int, int) {};
    n.transitionLook = [](COLORREF, POINT) {};
    n.freeEffectState = [] {};
    return n;
}

ActionNeighbours g_neighbours = Defaults();

template <class Slot>
void Take(Slot& slot, Slot given) {
    if (given)
        slot = given;
}

}  // namespace

void SetActionNeighbours(const ActionNeighbours& given) {
    ActionNeighbours n = Defaults();
    Take(n.buttonStarting, given.buttonStarting);
    Take(n.playSound, given.playSound);
    Take(n.openMovie, given.openMovie);
    Take(n.idleMovieDone, given.idleMovieDone);
    Take(n.removeFinishedMedia, given.removeFinishedMedia);
    Take(n.videodiscAction, given.videodiscAction);
    Take(n.settleVideodisc, given.settleVideodisc);
    Take(n.runLogo, given.runLogo);
    Take(n.openUrl, given.openUrl);
    Take(n.launchProgram, given.launchProgram);
    Take(n.toggleStackMenuBar, given.toggleStackMenuBar);
    Take(n.leaveCard, given.leaveCard);
    Take(n.moveToDestination, given.moveToDestination);
    Take(n.transitionLook, given.transitionLook);
    Take(n.freeEffectState, given.freeEffectState);
    g_neighbours = n;
}

const ActionNeighbours& Neighbours() { return g_neighbours; }
