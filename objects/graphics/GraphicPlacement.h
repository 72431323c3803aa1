// The graphic object being placed or edited: the picture (and lasso mask) from the cropping
// dialog or a paint selection, where it goes on the card, and the settings the appearance
// dialog gives it (the dialog keeps the copy of the object's action block itself). The one of
// the system, GetGraphicPlacement, is the new graphic being cropped and placed: the placing
// trackers (objects/graphics) follow it between the mouse's messages, and the cropping and
// appearance dialogs (authoring/graphics) are handed it with the call that opens them. An
// existing object's appearance is edited in a placement of its own.
#pragma once

#include <windows.h>

#include <cstdint>

#include "layers/ObjectLayer.h"

// How a picture is cut out: by a rectangle, or by a lasso through a mask. A graphic object's
// frame follows the same kinds.
enum CropKind : char { kCropRectangle = 'R', kCropLasso = 'L' };

struct GraphicPlacement {
    HBITMAP picture;   // device bitmap being placed; owned here
    HBITMAP mask;      // one-bit mask of a lasso cut-out, else null
    HBITMAP outline;   // the mask's frame outline, else null
    CropKind cropKind;
    char purpose;      // 'A', 'C', 'G' or 'H': who asked for the crop
    RECT source;       // within the picture
    RECT placed;       // on the card (card-window coordinates)
    POINT lassoAt;     // a lasso object's card position
    COLORREF holeColor;  // fills the hole a lasso leaves in the card picture
    // Appearance settings.
    uint8_t name[16];  // length-prefixed, at most 15 characters
    uint16_t frameWidth;
    uint16_t frameColorIndex;
    uint16_t objectFlags;
    uint16_t actionId;
    uint16_t cursorId;
    uint16_t transparency;  // percent
    uint16_t pictureFlags;
    uint16_t newObjectId;
    LayerHandle editedLayer;  // the existing object the appearance dialog edits, else null
    // Placing.
    int resizeHandle;
    POINT anchor;
    bool placing;
    bool shown;
    bool fromSelection;
    HBITMAP undoPicture;  // the cropping dialog's undo step
    // Cropping and placing.
    bool cropDialogOpen;  // placing is not cancelled under the cropping dialog
    bool rectShown;       // a rectangle crop is shown (source is the crop rectangle)
    RECT resizeAnchor;    // the placement rectangle when a resize began
    char file[MAX_PATH];  // the picture file the crop took its picture from; a disk-based object names it
    COLORREF lassoColor;  // the picture's colour under the first lasso point
    HBITMAP heldMask;     // a lasso from a paint selection: the lifted area, for the hole fill
};

GraphicPlacement& GetGraphicPlacement();
// Deletes the bitmaps it owns and zeroes it.
void ClearGraphicPlacement();

// The cropping view's cursors, loaded at start-up by LoadCropCursors (ObjectServices.h): "LASSO"
// for the lasso, "CROSS" for the rectangle; the arrow when they could not be loaded.
HCURSOR GetCropCursor(CropKind kind);
