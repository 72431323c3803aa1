// The card picture to and from picture files: a picture imported as the card's background
// (BackgroundImport_win.cpp), the card as shown written to a picture file (SaveGfile_win.cpp).
#pragma once

#include <windows.h>

inline constexpr uint32_t kAlertPictureSizeDiffers = 2240;
inline constexpr uint32_t kAlertCannotSaveAtThisDepth = 2345;

// The picture file (path, or asked for when null) becomes the card's picture: stretched over
// the card when the person agrees to alert 2240 (a picture of another size), else centred;
// undoable (kind 36). 1 when imported.
int ImportBackgroundPicture(HWND window, const char* path);

// The card as shown (the picture, and the objects while they are shown) written to a picture
// file of the path's kind; 1 on success, else 0 after an error box or alert 2345.
int SaveGfile(const char* path, HWND window);
// The Export Screen command: the save dialog asks for the file, SaveGfile writes it. 0 when
// cancelled.
int SaveCardPictureToFile(HWND window);
