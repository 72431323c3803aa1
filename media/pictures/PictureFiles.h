// Picture files into bitmaps: the one loader every imported picture goes through, the image
// descriptors of the imaging library, animated GIFs. Table of contents of media/pictures/:
//
//   GraphicFile_win.cpp     LoadGraphicFile: the file's kind, QuickTime first, then vic32;
//                           LoadLivePicture: the live sources, on the user's choice
//   VicLoaders_win.cpp      loading by kind through vic32, the direct 15/16/32-bit BMP reader
//   ImageDescs_win.cpp      AllocImageDesc ... CreateBitmapFromImage, MatchImageToPalette
//   ImagePalette_win.cpp    the palette made from an image (DEFPAL, 220 of its own, 20 static)
//   AnimatedGif_win.cpp     IsAnimatedGif, LoadGifFrames
//   GifScan.cpp             the transparent index of a GIF (GifScan.h), platform-free
//   BmpDirect.cpp           the direct BMP reader's bytes (BmpDirect.h), platform-free
//   GraphicSource_win.cpp   ChooseGraphicSource, AskGraphicFileName
#pragma once

#include <windows.h>

#include <cstdint>

#include "vic32/Vic32.h"

// The picture file (its kind from the extension) as a device bitmap, made under the wait cursor;
// 0 after "Sorry, Pageloom could not load this file" when it cannot be read. With makePalette a
// palette made from the image is handed out (and stored with the current card's picture),
// otherwise the current card's picture's palette: the caller deletes it. A file named as a live
// source (".vid", ".cam", ".tw") opens no device: 0, and nothing is said.
HBITMAP LoadGraphicFile(const char* path, HWND window, HPALETTE* paletteOut, int makePalette);
// The picture of a live source the user chose (kGraphicFromVideo, kGraphicFromCamera,
// kGraphicFromTwain): the Video Digitizer, the camera's chooser or a scan, then as above.
HBITMAP LoadLivePicture(int source, HWND window, HPALETTE* paletteOut, int makePalette);
// The picture of a ChooseGraphicSource choice: the file at path, or the live source.
HBITMAP LoadChosenGraphic(int source, const char* path, HWND window, HPALETTE* paletteOut, int makePalette);

// A ".gif" that starts "GIF89" and holds two or more images (QuickTime counts them).
bool IsAnimatedGif(const char* path);
// The transparent colour index of the GIF (-1 when none or unreadable) and its frames decoded by
// QuickTime into a movable global block of packed-DIB handles (the caller frees each and the
// block). 1 on success.
int LoadGifFrames(const char* path, HGLOBAL* frames, int* count, int* transparentIndex);

// Image descriptors of vic32: allocated zeroed (0, or 1 when out of memory), filled by the
// library, freed with what they hold.
int AllocImageDesc(VicImage** desc);
// The descriptor over the caller's packed DIB (which must outlive it): 0 or a vic32 error.
int SetupImageDesc(VicImage* desc, uint8_t* dib, uint32_t bytes);
// The image reduced to an 8-bit image matched to the palette (error diffusion): 0 or an error.
int MatchImageToPalette(VicImage* desc, HPALETTE palette);
// The image as a packed DIB in a new movable global block; the descriptor is freed either way.
int ImageDescToDib(VicImage* desc, HGLOBAL* dibOut);
// freeimage when it holds an image, then the descriptor itself. Null is allowed.
void FreeImageDesc(VicImage* desc);
// A device bitmap of the image for the dc (CreateDIBitmap, CBM_INIT): 0, or -14 when it fails.
int CreateBitmapFromImage(HDC dc, const VicImage* desc, HBITMAP* bitmapOut);
