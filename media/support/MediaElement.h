// The media elements as the window wrappers see them: the base every medium on the card shares
// and the QuickTime part of those played through QuickTime. The element classes themselves
// (movies, sounds, pictures, AVI windows) and the rest of the operations live in media/.
#pragma once

#include <windows.h>

#include <cstdint>

#include "quicktime/QtTypes.h"

// Element flags, from the media action record.
inline constexpr uint32_t kMediaFlagController = 0x1;
inline constexpr uint32_t kMediaFlagKeep = 0x2;
inline constexpr uint32_t kMediaFlagFirstFrame = 0x4;
inline constexpr uint32_t kMediaFlagEraseWhenDone = 0x8;
inline constexpr uint32_t kMediaFlagOverObjects = 0x10;  // not clipped, mouse not passed to the card
inline constexpr uint32_t kMediaFlagLoop = 0x20;
inline constexpr uint32_t kMediaFlagApplyVolume = 0x80;
inline constexpr uint32_t kMediaFlagBackground = 0x100;
inline constexpr uint32_t kMediaFlagOwnController = 0x200;
// Element state, kept by the element.
inline constexpr uint32_t kMediaStateOwnWindow = 0x200;
inline constexpr uint32_t kMediaStateControllerType = 0x400;  // 'ctyp' user data
inline constexpr uint32_t kMediaStateSpriteOnly = 0x800;
inline constexpr uint32_t kMediaStateInspected = 0x1000;
inline constexpr uint32_t kMediaStateSoundOnly = 0x2000;
inline constexpr uint32_t kMediaStateDone = 0x8000;

inline constexpr int kMediaPathChars = 260;

class MediaElement {
public:
    MediaElement() = default;
    MediaElement(const MediaElement&) = delete;
    MediaElement& operator=(const MediaElement&) = delete;
    virtual ~MediaElement() = default;
    // 1 when the medium is done.
    virtual int Idle() = 0;

    char path[kMediaPathChars] = {};
    uint32_t flags = 0;
    uint32_t state = 0;
    int16_t objectId = -1;
    int16_t volume = 255;
    RECT rect{};  // in the card window
};

class QTWindow;

// What QTWindow's procedure reads of a QuickTime element.
enum : int16_t { kQTModeMovie = 1, kQTModeSound = 2, kQTModeMidi = 6 };

class QTElement : public MediaElement {
public:
    uint8_t temporaryFile[kMediaPathChars] = {};  // length-prefixed; empty when none
    QtMovie movie = nullptr;
    QtMovieController controller = nullptr;
    int16_t mode = kQTModeMovie;
    QTWindow* window = nullptr;
    // The controller's clip by the card objects over a movie; none when not clipped.
    QtRgnHandle clip = nullptr;
};
