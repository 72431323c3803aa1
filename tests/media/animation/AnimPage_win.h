// The plug-in on a stack of 160 x 120 cards of one colour each, the card window drawn; what the
// animations hold is released after each test.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "StackBuilder.h"
#include "core/system/PluginModule.h"
#include "media/animation/AnimPlayback.h"
#include "tests/support/LinkedPlugin_win.h"

inline constexpr int kCardW = 160, kCardH = 120;

// A card of one colour: index 1 of a white and that colour.
inline stackbuilder::Card ColourCard(uint16_t id, stackbuilder::Rgb colour) {
    stackbuilder::Card card = stackbuilder::PictureCard(id, stackbuilder::SolidPicture(kCardW, kCardH, 8, 1));
    card.picture->palette = {{255, 255, 255}, colour};
    return card;
}

class AnimPageTest : public LinkedPluginTest {
protected:
    // Cards 1, 2, ... of the colours; false when the page did not open.
    bool OpenCards(std::initializer_list<stackbuilder::Rgb> colours) {
        stackbuilder::Stack stack;
        stack.cardWidth = kCardW;
        stack.cardHeight = kCardH;
        uint16_t id = 0;
        for (const stackbuilder::Rgb& colour : colours)
            stack.cards.push_back(ColourCard(++id, colour));
        if (!Open(stack))
            return false;
        window_ = GetCardWindow();
        UpdateWindow(window_);
        PumpPageMessages();
        return true;
    }
    void TearDown() override {
        ReleaseAnimPlayback();
        LinkedPluginTest::TearDown();
    }
    HWND window_ = nullptr;
};
