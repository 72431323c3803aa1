// The card picture's paint count. Whatever paints the card picture in the offscreen for good (a
// selection laid down, a colour replaced, a picture imported or filled in, an undo, a module's
// drawing, the picture's colours changed) notes it; a redraw notes the picture shown. While no
// paint came since, storing the card's edits leaves its picture as it is (on a palette display
// the offscreen shows the picture fitted to the display, which is no edit of it).
#pragma once

void NoteCardPicturePainted();
void NoteCardPictureShown();
bool CardPicturePainted();
