// The program's Open dialog: Explorer style with a hook, and for movies, pictures and sounds
// the preview part "OPENPREVIEWDLG" under it.
#pragma once

#include <windows.h>

#include <string>

#include "core/files/FileLayer.h"

// File types that get the preview part (the request's word): movies, sounds and pictures.
inline constexpr int kMoviePreview = 13, kSoundPreview = 26, kPicturePreview = 10;
bool OpenDialogShowsPreview(int fileType);

// Where the author's files are, for a file dialog that has no folder of its own: the open
// stack's folder, or Documents for a stack from the web (its file is the download cache's copy,
// in the temporary folder) or for no stack.
std::string AuthorsFolder();

// The Open dialog started in the folder of `start`, its file name filled in (a start with no
// folder that is there, or one in the download cache's folder, starts in AuthorsFolder() with
// no name); request.titleStringId gives the title (for strings 2413-2418 start's file name is
// appended), request.word the file type asked for; request.slot is not read. True when a file
// was chosen: *chosen is then `start` with the chosen path and name, the file type from the
// extension in `kind` and the chosen filter index in `flag`.
bool ChooseOpenFile(HWND owner, const FileRequest& request, const FileSpec& start, FileSpec* chosen);
// The same started from request.slot's entry (kNoSlot: an empty start). The slot is left as it
// is: a caller that remembers the choice puts it there itself.
bool GetOpenFileWithPreview(HWND owner, const FileRequest& request, FileSpec* chosen);

// The locate search's dialog (SetLocateFileDialog): the Open dialog with previews over the
// program's main window.
bool AskForFile(const FileRequest& request, const FileSpec& start, FileSpec* chosen);

// A path the system's ANSI file calls take for one a dialog gave in full: itself when the code
// page holds every character and it fits the 259 characters of a slot, else its short (8.3) form
// when that does; empty when neither (the file cannot be reached by this program).
std::string AnsiPathFor(const wchar_t* path);
