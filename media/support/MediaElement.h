// The media elements as the manager and the window wrappers see them: the base every medium on
// the card shares (MediaElement, whose 16 operations the manager's lists, waits and redraws call
// alike), the drawable part of movies (MediaDrawable: placing the movie, its still picture) and
// the QuickTime part of those played through QuickTime. The element classes themselves (movies,
// sounds, pictures, AVI windows) live in media/elements and media/.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "quicktime/QtTypes.h"
#include "format/StackFile.h"

// Element flags come from the media action record (kMediaFlag..., StackFile.h); the element's
// state is kept by the element.
inline constexpr uint32_t kMediaStateOwnWindow = 0x200;
inline constexpr uint32_t kMediaStateControllerType = 0x400;  // 'ctyp' user data
inline constexpr uint32_t kMediaStateSpriteOnly = 0x800;
inline constexpr uint32_t kMediaStateInspected = 0x1000;
inline constexpr uint32_t kMediaStateSoundOnly = 0x2000;
inline constexpr uint32_t kMediaStateDone = 0x8000;

inline constexpr int kMediaPathChars = 260;

// The media action record is a movie chunk of an action block (StackFile.h): the object id
// (kObjectId) and rectangle (kObjectRect) of the common header, the flags above (kChunkValue),
// the volume (kChunkOptionWord), then the movie's packed file reference (kChunkHeaderBytes).
inline constexpr size_t kMediaRecordMinBytes = kChunkOptionWord + 2;  // what Measure writes and the constructors read

// Show commands of Show.
inline constexpr int kMediaHide = 0;
inline constexpr int kMediaShow = 5;

class Window;

class MediaElement {
public:
    MediaElement() = default;
    MediaElement(const MediaElement&) = delete;
    MediaElement& operator=(const MediaElement&) = delete;
    // The operations in slot order; the base behaviour is "nothing" or 0.
    virtual ~MediaElement() = default;
    // 1 on success. target: the manager or a window wrapper the element's window is a child of.
    virtual int Open(const Window& target, int mode) = 0;
    // 1 when the medium is done.
    virtual int Idle() = 0;
    virtual int PrepareStill() { return 0; }
    // The options dialog's answer.
    virtual int ShowOptions() { return 0; }
    // 0, or the error that kept the medium from playing.
    virtual int Play() { return 0; }
    virtual void Close() {}
    virtual void DrawStill(HDC /*surface*/) {}
    virtual void SetVolume(int /*volume*/) {}
    virtual int GetVolume() { return 0; }
    virtual void SetControllerVisible(int /*visible*/) {}
    // Fills the media action record (kMediaRecordMinBytes at least); 1 on success.
    virtual int Measure(std::span<uint8_t> /*record*/) { return 0; }
    virtual void Update() {}
    virtual void Resize(int /*width*/, int /*height*/) {}
    // kMediaHide or kMediaShow.
    virtual void Show(int /*command*/) {}
    virtual void BringToTop() {}

    char path[kMediaPathChars] = {};
    uint32_t flags = 0;
    uint32_t state = 0;
    int16_t objectId = -1;
    int16_t volume = 255;
    RECT rect{};  // in the card window
};

// The second base of movie elements: placing the movie on the card and its still picture.
class MediaDrawable {
public:
    MediaDrawable() = default;
    MediaDrawable(const MediaDrawable&) = delete;
    MediaDrawable& operator=(const MediaDrawable&) = delete;
    virtual ~MediaDrawable();
    // The user places a new movie's rectangle; 1 on success.
    virtual int PrepareStill() { return 0; }
    // The movie options dialog; its last answer.
    virtual int OptionsDialog(int /*fromPlay*/, int /*unused*/) { return 0; }
    // The element's rectangle becomes the movie's natural bounds.
    virtual void GetNaturalBounds() {}
    // A new bitmap of the current frame (the caller deletes it), or none.
    virtual HBITMAP DrawToDC(HDC /*dc*/, HPALETTE /*palette*/) { return nullptr; }
    // The natural bounds taken again; the still picture, of the old size, goes.
    void RemeasureWithoutStill();

    HBITMAP still = nullptr;  // the still picture; deleted with the drawable
};

class QTWindow;

// What QTWindow's procedure reads of a QuickTime element.
enum : int16_t { kQTModeMovie = 1, kQTModeSound = 2, kQTModeMidi = 6 };

class QTElement : public MediaElement {
public:
    QTElement() = default;
    ~QTElement() override;
    int Idle() override;
    void Close() override;
    void SetVolume(int volume) override;
    int GetVolume() override;
    void SetControllerVisible(int visible) override;
    void Update() override;
    void Resize(int width, int height) override;
    void Show(int command) override;
    void BringToTop() override;

    uint8_t temporaryFile[kMediaPathChars] = {};  // length-prefixed; empty when none
    QtMovie movie = nullptr;
    QtMovieController controller = nullptr;
    int16_t mode = kQTModeMovie;
    QTWindow* window = nullptr;
    // The controller's clip by the card objects over a movie; none when not clipped. Only movie
    // elements clip; it sits here because QTWindow's procedure reads it of any QuickTime element.
    QtRgnHandle clip = nullptr;
};
