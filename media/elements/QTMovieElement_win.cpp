// The QuickTime movie on the card: made from a media action record or a path, opened into its
// window with a controller clipped by the card objects lying over it, played, and measured.
#include <cstring>

#include "core/files/FileSlots.h"
#include "core/ui/Alerts.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibGdi.h"
#include "media/elements/QTElements.h"
#include "media/support/DibHolder.h"
#include "media/support/MediaWindows.h"
#include "media/support/PackedDib.h"
#include "quicktime/QtCalls.h"

namespace {

constexpr int kNoPictureWidth = 200;
constexpr int kMeasuredNoPictureWidth = 220;
constexpr uint32_t kMeasuredFlags = kMediaFlagController | kMediaFlagOverObjects | kMediaFlagApplyVolume;

template <typename T>
T ReadField(std::span<const uint8_t> record, uint32_t at) {
    T value{};
    if (record.size() >= at + sizeof(T))
        std::memcpy(&value, record.data() + at, sizeof(T));
    return value;
}

template <typename T>
void WriteField(std::span<uint8_t> record, uint32_t at, T value) {
    if (record.size() >= at + sizeof(T))
        std::memcpy(record.data() + at, &value, sizeof(T));
}

QtRect AtOrigin(const RECT& r) {
    return QtRect{0, 0, static_cast<int16_t>(r.bottom - r.top), static_cast<int16_t>(r.right - r.left)};
}

// The layer mask under the rectangle as a QuickTime region: the movie shows where no card
// object lies. None when the mask cannot be cut.
QtRgnHandle LayerMaskRegion(const RECT& r) {
    HBITMAP mask = GetLayerMaskBitmap();
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (!mask || width <= 0 || height <= 0)
        return nullptr;
    HBITMAP cut = CreateBitmap(width, height, 1, 1, nullptr);
    HDC source = CreateCompatibleDC(nullptr);
    HDC target = CreateCompatibleDC(nullptr);
    HGDIOBJ oldSource = SelectObject(source, mask);
    HGDIOBJ oldTarget = SelectObject(target, cut);
    PatBlt(target, 0, 0, width, height, WHITENESS);
    BitBlt(target, 0, 0, width, height, source, r.left, r.top, SRCCOPY);
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DibHolder holder;
    const bool read = DibHolderFromBitmap(&holder, cut, 1, target);
    DeleteDC(target);
    DeleteObject(cut);
    if (!read)
        return nullptr;
    QtRgnHandle region = nullptr;
    if (const Handle bits = DibToQTBitMap(holder)) {
        if (const QtBitMap* map = LockQTBitMap(bits)) {
            region = NewRgn();
            if (region && BitMapToRegion(region, map) != kQtNoErr) {
                DisposeRgn(region);
                region = nullptr;
            }
            UnlockHandle(bits);
        }
        DisposeHandle(bits);
    }
    DibFree(&holder);
    return region;
}

}  // namespace

HWND MovieCardWindow(const QTElement& element) {
    if (element.window && element.window->ParentWindow())
        return element.window->ParentWindow();
    return GetCardWindow();
}

QTMovieElement::QTMovieElement(std::span<const uint8_t> record, const char* file) {
    CopyPathText(file ? file : "", path, sizeof path);
    objectId = ReadField<int16_t>(record, kObjectId);
    rect = RECT{ReadField<int16_t>(record, kObjectRect), ReadField<int16_t>(record, kObjectRect + 2),
                ReadField<int16_t>(record, kObjectRect + 4), ReadField<int16_t>(record, kObjectRect + 6)};
    flags = ReadField<uint32_t>(record, kChunkValue);
    volume = ReadField<int16_t>(record, kChunkOptionWord);
    mode = kQTModeMovie;
}

QTMovieElement::QTMovieElement(const char* file) {
    if (file)
        CopyPathText(file, path, sizeof path);
    objectId = 0;
    volume = 255;
    mode = kQTModeMovie;
}

int QTMovieElement::Open(const Window& target, int) {
    delete window;
    window = new QTWindow(this, target);
    if (!OpenAndInspectMovie(*this))
        return 0;
    if (IsControllerVisible(*this))
        Resize(rect.right - rect.left, rect.bottom - rect.top + kQTControllerHeight);
    return MakeController(target);
}

void QTMovieElement::GetNaturalBounds() {
    QtRect box{};
    if (movie)
        GetMovieBox(movie, &box);
    rect = RECT{box.left, box.top, box.right, box.bottom};
    if (IsRectEmpty(&rect)) {
        // Nothing to see: it plays as a sound under an empty bar.
        ShowAlert(kAlertNoPictures);
        state |= kMediaStateSoundOnly;
        rect = RECT{0, 0, kNoPictureWidth, 0};
    }
    CentreRectInWindow(&rect, MovieCardWindow(*this));
}

int QTMovieElement::MakeController(const Window& target) {
    if (!movie)
        return 0;
    const bool visible = IsControllerVisible(*this);
    const int bar = visible ? kQTControllerHeight : 0;
    if (IsRectEmpty(&rect)) {
        GetNaturalBounds();
        if (window)
            window->Move(RECT{rect.left, rect.top, rect.right, rect.bottom + bar}, true);
    }
    const QtRect box = AtOrigin(rect);
    if (controller)
        DisposeMovieController(controller);
    controller = NewMovieController(movie, &box, kMcTopLeftMovie | kMcScaleMovieToFit | (visible ? 0 : kMcNotVisible));
    if (!controller)
        return 0;
    MCDoAction(controller, kMcActionPlay, 0);
    MCDoAction(controller, kMcActionSetKeysEnabled, 1);
    if (flags & kMediaFlagLoop)
        MCDoAction(controller, kMcActionSetLooping, 1);
    QtRect noGrowBox{};
    MCDoAction(controller, kMcActionSetGrowBoxBounds, reinterpret_cast<QtWord>(&noGrowBox));
    if ((flags & kMediaFlagOverObjects) || target.window != GetCardWindow() || (state & kMediaStateSoundOnly))
        return 1;
    RECT covered = rect;
    covered.bottom += bar;
    if (!AnyLayerIntersects(covered))
        return 1;
    if (QtRgnHandle region = LayerMaskRegion(covered)) {
        MCSetClip(controller, region, region);
        if (clip)
            DisposeRgn(clip);
        clip = region;
    }
    return 1;
}

int QTMovieElement::Play() {
    if (!movie || !controller)
        return 0;
    if (state & kMediaStateSpriteOnly) {
        Show(kMediaShow);
        return 0;
    }
    GoToBeginningOfMovie(movie);
    if (state & kMediaStateDone) {
        state &= ~kMediaStateDone;
        if (flags & kMediaFlagEraseWhenDone)
            Show(kMediaShow);
    }
    if (!GetMovieActive(movie))
        SetMovieActive(movie, true);
    if (flags & kMediaFlagApplyVolume)
        SetVolume(volume);
    MCDoAction(controller, kMcActionPlay, static_cast<QtWord>(GetMoviePreferredRate(movie)));
    Show(kMediaShow);
    BringToTop();
    return 0;
}

int QTMovieElement::Measure(std::span<uint8_t> record) {
    if (record.size() < kMediaRecordMinBytes || !OpenAndInspectMovie(*this))
        return 0;
    QtRect box{};
    GetMovieBox(movie, &box);
    rect = RECT{box.left, box.top, box.right, box.bottom};
    uint32_t recordFlags = ReadField<uint32_t>(record, kChunkValue);
    if (IsRectEmpty(&rect)) {
        recordFlags |= kMediaStateSoundOnly;
        rect = RECT{0, 0, kMeasuredNoPictureWidth, 0};
    }
    CentreRectInWindow(&rect, MovieCardWindow(*this));
    const int16_t sides[] = {int16_t(rect.left), int16_t(rect.top), int16_t(rect.right), int16_t(rect.bottom)};
    for (int i = 0; i < 4; ++i)
        WriteField<int16_t>(record, kObjectRect + 2 * i, sides[i]);
    WriteField<uint32_t>(record, kChunkValue, recordFlags | kMeasuredFlags);
    WriteField<int16_t>(record, kChunkOptionWord, 255);
    return 1;
}

int QTMovieElement::ShowOptions() { return OptionsDialog(1, 0); }

void QTMovieElement::DrawStill(HDC surface) {
    if (!(flags & kMediaFlagFirstFrame) || (state & kMediaStateDone))
        return;
    HBITMAP frame = DrawToDC(surface, nullptr);
    if (!frame)
        return;
    ImageRectToDC(surface, frame, rect.left, rect.top, rect.right, rect.bottom, 0, 0);
    if (!(flags & kMediaFlagOverObjects))
        DrawLayersInRect(surface, rect, 0, false);
    DeleteObject(frame);
}
