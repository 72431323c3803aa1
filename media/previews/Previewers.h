// The previews of files in the open dialogs: a movie or sound through QuickTime
// (QTMoviePreview) or in an MCIWnd window (AVIPreview), a picture file of several images run as
// a movie (QTImagePreview), and any other picture or a metafile drawn as a still
// (PicturePreview, over a QTPictureFile). The media manager keeps the one current previewer.
//
//   MoviePreviews_win.cpp    the three movie previewers and the placement by mode
//   PicturePreview_win.cpp   the still previewer
//   QTPictureFile_win.cpp    picture files through a QuickTime graphics importer
#pragma once

#include <windows.h>

#include "media/elements/AVIElement.h"
#include "media/elements/QTElements.h"
#include "media/support/DibHolder.h"
#include "media/support/MediaElement.h"
#include "media/support/MediaWindows.h"
#include "quicktime/QtTypes.h"

// Placement modes of ShowPreview.
inline constexpr int kPreviewTopLeft = 1;     // a movie at the top left, not scaled
inline constexpr int kPreviewFit = 2;         // scaled down to fit, centred
inline constexpr int kPreviewBottomLeft = 3;  // left edge at 0, bottom on the control's bottom

// What the manager keeps of a preview. The element part, where there is one, is the class's
// other base.
class Previewer {
public:
    Previewer() = default;
    Previewer(const Previewer&) = delete;
    Previewer& operator=(const Previewer&) = delete;
    virtual ~Previewer() = default;
    // Shows the file in the control the window wraps; fileType is its file kind.
    virtual void ShowPreview(const Window& window, int fileType, int mode) = 0;
};

// A rectangle placed in the window by mode: 2 fitted, 3 bottom-aligned, else centred.
void PlacePreviewRect(RECT* rect, HWND window, int mode);

class QTMoviePreview : public QTElement, public Previewer {
public:
    explicit QTMoviePreview(const char* file);
    int Open(const Window& target, int mode) override;
    void ShowPreview(const Window& window, int fileType, int mode) override;
};

class AVIPreview : public AVIElement, public Previewer {
public:
    explicit AVIPreview(const char* file);
    void ShowPreview(const Window& window, int fileType, int mode) override;
};

class QTImagePreview : public QTImageElement, public Previewer {
public:
    explicit QTImagePreview(const char* file);
    void ShowPreview(const Window& window, int fileType, int mode) override;
};

// A picture file opened through a QuickTime graphics importer.
class QTPictureFile {
public:
    explicit QTPictureFile(const char* file);
    ~QTPictureFile();
    QTPictureFile(const QTPictureFile&) = delete;
    QTPictureFile& operator=(const QTPictureFile&) = delete;

    // The importer and its natural bounds, which with a window are fitted into it and given
    // back to the importer. False when no importer takes the file.
    bool Open(HWND fitInto);
    // A DIB section of the rectangle's size for the card window's dc, the picture drawn into
    // it; the holder describes the section (the caller frees both). Null on failure.
    HBITMAP DrawToBitmap(DibHolder* holder);
    // A metafile file drawn onto white at its box fitted into the window; the rectangle is set
    // only for a placeable metafile, so the other kinds give no bitmap.
    HBITMAP DrawMetafile(HWND fitInto);
    void Close();

    char path[kMediaPathChars] = {};
    RECT rect{};
    QtGraphicsImporter importer = nullptr;
};

class PicturePreview : public Previewer {
public:
    explicit PicturePreview(const char* file);
    ~PicturePreview() override;
    void ShowPreview(const Window& window, int fileType, int mode) override;

    QTPictureFile picture;
    HBITMAP bitmap = nullptr;
};
