// Pixels: device-independent bitmaps to and from GDI, the stack file's picture codecs and pixel
// layouts, the card offscreen and the card picture's GDI side, offscreen pixel maps and the fill
// patterns. What lies below (the DIB handles themselves) is graphics/dib/Dib.h.
//
//   PackBits.cpp                PackBits-style run streams over whole images (PackBits.h)
//   Lzrw.cpp                    the LZRW1 coder (Lzrw.h)
//   LzrwRows.cpp                LZRW1 row records (LzrwRows.h)
//   DibPalette.cpp              colour tables from Mac colour tables and picture records
//                               (DibPalette.h; DibPalette_win.cpp, DibPaletteFromDib_win.cpp:
//                               from the current palettes and from a DIB)
//   PixelDepth.cpp              pixel layouts between Windows and the stack file, 8-bit reduction
//                               (PixelDepth.h; PixelDepth_win.cpp: through the display,
//                               PixelDepthGdi.h)
//   CardPicture.cpp             a card record's picture holder and colour table (CardPicture.h;
//                               CardPicture_win.cpp: its palette, CardPictureGdi.h)
//   PackedPictureHeader.cpp     the header of packed pictures (PackedPictureHeader.h)
//   ShortRectSwap.cpp           rectangles between the file's and the machine's order
//   Dib_win.cpp                 GDI bitmaps to and from DIBs (DibGdi.h)
//   BitmapCopy_win.cpp          CutOutBitmap (device contexts and selections: core/ui/GdiGuards.h)
//   GraphicsErrors_win.cpp      the error box of the graphics code (GraphicsErrors.h)
//   CardOffscreen_win.cpp       the card offscreen (CardOffscreen.h)
//   OffscreenDib_win.cpp        the card offscreen as a DIB (OffscreenDib.h)
//   PixMap_win.cpp              offscreen pixel maps (PixMap.h; PackedPictureLoad_win.cpp: their
//                               packed pictures)
//   FillPatterns_win.cpp        the 16 fill-pattern bitmaps (FillPatterns.h)
#pragma once
