// The colour index the erase dialogs share, and the eraser's size.
#include "cardview/colors/ColorChooserStored.h"

namespace {
uint16_t g_stored = kNoStoredColor;
constexpr int kEraserWidth = 16;
constexpr int kEraserHeight = 8;
}  // namespace

uint16_t GetStoredColorIndex() { return g_stored; }

void SetStoredColorIndex(uint16_t index) { g_stored = index; }

void ClearStoredColorIndex() { g_stored = kNoStoredColor; }

void GetEraserSize(int* width, int* height) {
    if (width)
        *width = kEraserWidth;
    if (height)
        *height = kEraserHeight;
}
