// The stack font table on the Windows side: loading and saving 'FntL' 128, and stored font
// numbers made into the faces Windows gives (a Mac face through its Windows name).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "objects/fonts/FontTable.h"

void InitFontTable();
// The opened stack's 'FntL' 128 replaces the table; none resets it.
void LoadFontTable();
// A copy of the table as 'FntL' 128, without the write alert; the writer's result.
int SaveFontTable();
// A missing number draws in Arial; the height is always -|size| pixels.
void CreateFontFromStyle(uint16_t number, LOGFONTA* font, int size);
std::string FontFaceOfNumber(uint16_t number, int size);
