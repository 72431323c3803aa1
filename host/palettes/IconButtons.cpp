// Where an owner-drawn button's icon and caption go.
#include "host/palettes/IconButtons.h"

IconButtonLayout LayOutIconButton(ButtonBox work, ButtonSize icon, ButtonSize text, uint32_t style) {
    IconButtonLayout at;
    const int width = work.right - work.left, height = work.bottom - work.top;
    const bool hasText = text.width > 0;
    switch (style & kButtonCentre) {
    case kButtonLeft:
        at.textX = work.left;
        at.iconX = work.left + text.width + (hasText ? 1 : 0);
        break;
    case kButtonRight:
        at.textX = work.right - text.width;
        at.iconX = at.textX - icon.width - (hasText ? 1 : 0);
        break;
    case kButtonCentre: {
        const int group = icon.width + (hasText ? 1 + text.width : 0);
        at.iconX = work.left + (width - group) / 2;
        at.textX = at.iconX + icon.width + 1;
        break;
    }
    default:
        at.textX = work.left;
        at.iconX = work.right - icon.width;
        break;
    }
    switch (style & kButtonVCentre) {
    case kButtonTop:
        at.iconY = at.textY = work.top;
        break;
    case kButtonBottom:
        at.iconY = work.bottom - icon.height;
        at.textY = work.bottom - text.height;
        break;
    case kButtonVCentre: {
        // The icon in the middle, the caption centred below it.
        at.iconX = work.left + (width - icon.width) / 2;
        at.textX = work.left + (width - text.width) / 2;
        const int group = icon.height + (hasText ? 1 + text.height : 0);
        at.iconY = work.top + (height - group) / 2;
        at.textY = at.iconY + icon.height + 1;
        if (at.textY + text.height > work.bottom - 4)
            at.textY = work.bottom - 4 - text.height;
        break;
    }
    default:
        at.iconY = work.top + (height - icon.height) / 2;
        at.textY = work.top + (height - text.height) / 2;
        break;
    }
    return at;
}

int IconButtonIconId(int iconId, bool selected, bool disabled) {
    if (iconId < 0)
        return -iconId;
    return iconId + (selected ? 1 : disabled ? 2 : 0);
}
