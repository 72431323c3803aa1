// The card size and colour depth of the open stack: the working depth against the display's,
// converting every card record to a new depth and size, and resizing the objects of a card.
//
//   StackDepth.cpp            the depth rule, ConvertAllCards, the size-change plan
//   StackDepthObjects.cpp     ResizeCardObjects: rectangles of objects and button chunks
//   StackDepthGraphics.cpp    graphic pictures and freeform button masks stretched with them
//   StackDepth_win.cpp        ChangeStackSizeAndDepth with its card window and progress window
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"
#include "stack/StackPlatform.h"  // DisplayDepthForStack

inline constexpr int kAlertReduceColors = 4555;
inline constexpr int kAlertNotEnoughMemoryToConvert = 2308;

// The working depth (core/ui/ScreenDepth.h) and the stack depth: the value last stored in the
// header's depth field.
int GetStackDepth();
void SetStackDepth(int depth);
// What the open stack went through since it was read: the save that follows converts it.
enum StackConversionState : int { kStackUnconverted = 0, kStackFormatConverted = 1, kStackDepthConverted = 2 };
int GetStackConversionState();
void SetStackConversionState(int state);

// Always 1. When the working depth is above the display's (a 32-bit stack on a 24-bit display
// counts as equal), alert 4555 is shown and the stack is converted to the display depth.
int CheckStackDepthAgainstDisplay();
void ConvertStackToDisplayDepth();
// Every card record from oldDepth to newDepth at the card size: records of kinds 0 and 3
// first, then kind 1; each record resized when it was laid out for another size, its picture
// converted, its size words set. The current card is kept; the header gets the card size.
void ConvertAllCards(int oldDepth, int newDepth, int width, int height);
// The objects of a card laid out for its record's size (+20, +22) moved to width x height:
// mode 1 scales every coordinate, mode 0 centres them. 0, or 16 when the record cannot be had.
int ResizeCardObjects(Handle card, int mode, int width, int height);
// One coordinate scaled from an old extent to a new one, truncated toward zero; a coordinate
// of an empty old extent stays as it is.
int16_t ScaleCoordinate(int16_t value, int oldExtent, int newExtent);

// The decisions of a size and depth change before anything is converted.
struct StackSizeChange {
    int oldWidth = 0, oldHeight = 0, oldDepth = 0;
    int newWidth = 0, newHeight = 0, newDepth = 0;  // depths clamped to the display
    bool unchanged = false;
    uint32_t memoryToTry = 0;  // the estimate of the extra memory the change takes
};
// oldDepth and newDepth as given; recordBytes is 128 + the card records.
StackSizeChange PlanStackSizeChange(int oldWidth, int oldHeight, int oldDepth, int newWidth, int newHeight,
                                    int newDepth, int displayDepth, uint32_t recordBytes);

// ---- StackDepthGraphics.cpp ----
// The picture (and mask) of the graphic at offset stretched to its rectangle, each new pixel
// the source pixel it covers; the rows are packed again. Mode 0 (centring) keeps it. The
// record may change size. A graphic whose picture is in a file, or does not read, is left.
void ResizeGraphicPicture(Handle card, uint32_t offset, int oldWidth, int oldHeight, int mode);
// The freeform mask (chunk 130) of the button at offset stretched to the button's rectangle.
void ResizeButtonMask(Handle card, uint32_t offset, int oldWidth, int oldHeight, int mode);
