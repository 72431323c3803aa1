// Inside the picture import: the steps of LoadGraphicFile that live in files of their own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "vic32/Vic32.h"

// VicLoaders_win.cpp: the whole file (at most 256 MB), empty when it cannot be read.
std::vector<uint8_t> ReadPictureFile(const char* path);

// VicLoaders_win.cpp: the file loaded by kind into the empty descriptor (0 or a vic32 error);
// GIF, PICT, PNG, PSD and kinds above 10 fail at once.
int LoadImageByKind(const char* path, int kind, VicImage* desc);

// ImagePalette_win.cpp: a 256-entry palette for the image: 16 "DEFPAL" colours, 220 of the
// image's own, the 20 static colours, all PC_RESERVED; on displays deeper than 8 bits the
// application palette takes the same colours. Null on failure.
HPALETTE MakeImagePalette(const VicImage& image);
