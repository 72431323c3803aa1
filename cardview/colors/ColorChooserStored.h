// The colour index the erase dialogs share (9999 for none) and the eraser's size.
#pragma once

#include <cstdint>

inline constexpr uint16_t kNoStoredColor = 9999;

uint16_t GetStoredColorIndex();
void SetStoredColorIndex(uint16_t index);
void ClearStoredColorIndex();
// The eraser's width and height in card pixels.
void GetEraserSize(int* width, int* height);
