// What the player asks of the host above it (the palettes, dialogs and windows it does not
// see): host/wiring/WireUpper_win.cpp fills it when the layers are wired. Until then the
// defaults do nothing.
#pragma once

struct PlayerUpcalls {
    // A card was entered: the navigation palette's card list follows the current card.
    void (*cardEntered)();
};

const PlayerUpcalls& GetPlayerUpcalls();
void SetPlayerUpcalls(const PlayerUpcalls& upcalls);
