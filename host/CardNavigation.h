// Moving between cards, and the card actions kept as stack resources.
#pragma once

#include <cstdint>

// Performs the stack's action resource `id` with two arguments and a label; 0 for id 0.
int PerformActionResource(uint16_t id, int a, int b, const char* label);

// Sets the frame window's title from the stack name and the card number; `force` sets it even
// when the number is not shown.
void UpdateCardTitle(bool force);
