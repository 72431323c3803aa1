// The program's Open dialog: Explorer style with a hook, and for movies, pictures and sounds
// the preview part "OPENPREVIEWDLG" under it.
#pragma once

#include <windows.h>

#include "core/files/FileLayer.h"

// File types that get the preview part (the request's word): movies, sounds and pictures.
inline constexpr int kMoviePreview = 13, kSoundPreview = 26, kPicturePreview = 10;
bool OpenDialogShowsPreview(int fileType);

// request.slot gives the starting folder and receives the choice (path, name, its file type
// from the extension in `kind`, the chosen filter index in `flag`); request.titleStringId the
// title (for strings 2413-2418 the slot's file name is appended); request.word the file type
// asked for. True when a file was chosen.
bool GetOpenFileWithPreview(HWND owner, const FileRequest& request);

// The locate search's dialog (SetLocateFileDialog): the Open dialog with previews over the
// program's main window, started in the request's folder; the answer lands in slot 0.
bool AskForFile(const FileRequest& request);
