// Authoring whole cards and what travels between cards, stacks and files: what this folder
// offers. It lies under the other authoring folders (they record their edits for undo here)
// and includes none of them.
//
//   CardImport.h        every card of another stack copied in behind the current card
//   ReadyMade.h         the ready-made cards under "RdyMCard", imported the same way
//   ReadyMadeMenu.h     the "Ready Made Cards" submenu and its commands
//   ObjectFile.h        one card object saved to a file of its own and read back
//   ObjectFileBmp.h     a paint selection dropped off the card, saved as a .bmp file
//   MediaLibDrop.h      objects dragged off the card into object files, and onto the media
//                       library's list
//   CardPictureFiles.h  a picture file as the card's background, the card saved as a picture
//   ClipboardPaste.h    Paste from the clipboard into selections, objects and text
//   UndoObjects.h       the object recorders the object tools call
//   UndoPerform.h       Undo itself
//   UndoMenu.h          the Undo menu item's text
//   UndoServices.h      what undo asks of the Windows build, filled into the stack's upcalls
#pragma once

#include "authoring/cards/CardImport.h"
#include "authoring/cards/CardPictureFiles.h"
#include "authoring/cards/ClipboardPaste.h"
#include "authoring/cards/MediaLibDrop.h"
#include "authoring/cards/ObjectFile.h"
#include "authoring/cards/ObjectFileBmp.h"
#include "authoring/cards/ReadyMade.h"
#include "authoring/cards/ReadyMadeMenu.h"
#include "authoring/cards/UndoMenu.h"
#include "authoring/cards/UndoObjects.h"
#include "authoring/cards/UndoPerform.h"
#include "authoring/cards/UndoServices.h"
